#include "planet/mesh.h"

#include <GL/gl.h>

#include <algorithm>

#include "planet/kernels.h"
#include "planet/noise.h"

namespace {

constexpr int kHalf = 100;      // cube half-size, and the largest in-plane coordinate
constexpr int kRing = 203;      // samples per side, with the one-sample border ring
constexpr int kCells = 202;     // cells per side of the ring grid
constexpr int kVertices = 201;  // vertices per side that are drawn
constexpr int kStrips = 200;

struct FaceFrame {
    Vec3 n;  // outward axis
    Vec3 u;  // column axis
    Vec3 w;  // row axis; w x u = n
};

// The faces in the order they are built: the outward normals with each component
// running -1, 0, +1, x slowest.
constexpr FaceFrame kFaces[6] = {
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, -1, 0}, {0, 0, 1}, {1, 0, 0}},
    {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
    {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
};

constexpr int kOctaves = 6;
constexpr float kOctaveFactors[kOctaves] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
constexpr double kOctaveWeights[kOctaves] = {0.03125, 0.0625, 0.125, 0.25, 0.5, 1.0};

// Working grids for one face at a time, [row][column]; too large for the stack.
Vec3 posGrid[kRing][kRing];
Vec3 faceNormalGrid[kCells][kCells];
Vec3 vertexNormalGrid[kVertices][kVertices];

// The batched kernels work on rows of parallel x, y, z arrays: the last two rows
// of positions and of cell normals, indexed by row parity. Each kernel stores its
// row into its grid as well. Beside them, each column's in-plane coordinate and
// depth, the same on every face and every row.
float s_positions[2][3][kRing];
float s_cellNormals[2][3][kCells];
float s_columnU[kRing];
float s_columnDepth[kRing];

SoaRow rowOf(float (&row)[3][kRing]) { return {row[0], row[1], row[2]}; }
SoaRow rowOf(float (&row)[3][kCells]) { return {row[0], row[1], row[2]}; }

// Ring indices 0 and 202 step one unit in towards the centre.
int ringStep(int k) { return (k == 0 || k == kRing - 1) ? 1 : 0; }

// In-plane coordinates: indices 1 to 201 give -100 to +100, the ring repeats the
// edge's value.
float inPlane(int k) { return static_cast<float>(std::clamp(k - (kHalf + 1), -kHalf, kHalf)); }

bool isCornerCell(int j, int i) {
    return (j == 0 || j == kCells - 1) && (i == 0 || i == kCells - 1);
}

// One face, row by row: the positions of sample row j (direction times the radius
// there), then the cells between rows j - 1 and j (Newell's normal of each loop
// [j-1][i] -> [j][i] -> [j][i+1] -> [j-1][i+1], normalised), then the vertices
// between cell rows j - 2 and j - 1 (the normalised sum of their four cells). The
// corner cells are degenerate (their points lie on one cube edge) and hold the
// zero vector instead of a normal.
void buildFace(const FaceFrame& face, const PlanetKernels& kernels) {
    for (int i = 0; i < kRing; ++i) {
        s_columnU[i] = inPlane(i);
        s_columnDepth[i] = static_cast<float>(kHalf - ringStep(i));
    }
    for (int j = 0; j < kRing; ++j) {
        const SampleRow sample = {s_columnU, s_columnDepth, inPlane(j),
                                  static_cast<float>(ringStep(j)), face.n, face.u, face.w};
        const SoaRow positions = rowOf(s_positions[j & 1]);
        kernels.sampleRow(sample, positions, posGrid[j], kRing);
        if (j < 1) continue;

        const int c = j - 1;
        const SoaRow cells = rowOf(s_cellNormals[c & 1]);
        kernels.cellRow(rowOf(s_positions[c & 1]), positions, cells, faceNormalGrid[c], kCells);
        for (int i : {0, kCells - 1}) {
            if (!isCornerCell(c, i)) continue;
            cells.x[i] = cells.y[i] = cells.z[i] = 0.0f;
            faceNormalGrid[c][i] = {0, 0, 0};
        }
        if (c < 1) continue;

        const int v = c - 1;
        kernels.vertexRow(rowOf(s_cellNormals[v & 1]), cells, vertexNormalGrid[v], kVertices);
    }
}

void sendNormal(const Vec3& v) {
    const GLfloat n[3] = {v.x, v.y, v.z};
    glNormal3fv(n);
}

void sendVertex(const Vec3& v) {
    const GLfloat p[3] = {v.x, v.y, v.z};
    glVertex3fv(p);
}

// Each strip walks along the row axis, the higher column first at every row, so
// that its quads run counter-clockwise seen from outside.
void emitStrips() {
    for (int k = 0; k < kStrips; ++k) {
        glBegin(GL_QUAD_STRIP);
        for (int j = 0; j < kVertices; ++j) {
            sendNormal(vertexNormalGrid[j][k + 1]);
            sendVertex(posGrid[j + 1][k + 2]);
            sendNormal(vertexNormalGrid[j][k]);
            sendVertex(posGrid[j + 1][k + 1]);
        }
        glEnd();
    }
}

}  // namespace

float planetRadius(const Vec3& q) {
    const Vec3 base = {q.x * 150.0f, q.y * 150.0f, q.z * 150.0f};
    double sum = 0.0;
    for (int k = 0; k < kOctaves; ++k) {
        const Vec3 point = {base.x * kOctaveFactors[k], base.y * kOctaveFactors[k],
                            base.z * kOctaveFactors[k]};
        const double s = noise3(&point, interpSmooth);
        sum = k == 0 ? kOctaveWeights[0] * s : sum + kOctaveWeights[k] * s;
    }
    return static_cast<float>(100.0 + 5.0 * sum);
}

std::uint32_t buildPlanetList() {
    const PlanetKernels& kernels = planetKernels();
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    for (const FaceFrame& face : kFaces) {
        buildFace(face, kernels);
        emitStrips();
    }
    glEndList();
    return list;
}
