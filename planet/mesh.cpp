#include "planet/mesh.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

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

// Working grids for one face at a time, [row][column]; too large for the stack.
Vec3 posGrid[kRing][kRing];
Vec3 faceNormalGrid[kCells][kCells];
Vec3 vertexNormalGrid[kVertices][kVertices];

Vec3 normalised(Vec3 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    const float inverse = 1.0f / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

// Ring indices 0 and 202 step one unit in towards the centre.
int ringStep(int k) { return (k == 0 || k == kRing - 1) ? 1 : 0; }

void samplePositions(const FaceFrame& face) {
    for (int i = 0; i < kRing; ++i) {
        for (int j = 0; j < kRing; ++j) {
            const float u = static_cast<float>(std::clamp(i - (kHalf + 1), -kHalf, kHalf));
            const float w = static_cast<float>(std::clamp(j - (kHalf + 1), -kHalf, kHalf));
            const float d = static_cast<float>(kHalf - ringStep(i) - ringStep(j));
            // Whole numbers throughout, so the order of the sums does not matter.
            const Vec3 p = {d * face.n.x + u * face.u.x + w * face.w.x,
                            d * face.n.y + u * face.u.y + w * face.w.y,
                            d * face.n.z + u * face.u.z + w * face.w.z};
            const Vec3 q = normalised(p);
            const float r = planetRadius(q);
            posGrid[j][i] = {q.x * r, q.y * r, q.z * r};
        }
    }
}

// Newell's normal of the loop P0 -> P1 -> P2 -> P3 -> P0.
Vec3 newellNormal(const Vec3 (&loop)[4]) {
    Vec3 n = {0, 0, 0};
    for (int e = 0; e < 4; ++e) {
        const Vec3& a = loop[e];
        const Vec3& b = loop[(e + 1) % 4];
        const float nx = (a.y - b.y) * (a.z + b.z);
        const float ny = (a.z - b.z) * (a.x + b.x);
        const float nz = (a.x - b.x) * (a.y + b.y);
        if (e == 0) {
            n = {nx, ny, nz};
        } else {
            n = {n.x + nx, n.y + ny, n.z + nz};
        }
    }
    return n;
}

bool isCornerCell(int j, int i) {
    return (j == 0 || j == kCells - 1) && (i == 0 || i == kCells - 1);
}

void cellNormals() {
    for (int j = 0; j < kCells; ++j) {
        for (int i = 0; i < kCells; ++i) {
            // The corner cells are degenerate (their points lie on one cube edge) and
            // hold no surface normal.
            if (isCornerCell(j, i)) {
                faceNormalGrid[j][i] = {0, 0, 0};
                continue;
            }
            const Vec3 loop[4] = {posGrid[j][i], posGrid[j + 1][i], posGrid[j + 1][i + 1],
                                  posGrid[j][i + 1]};
            faceNormalGrid[j][i] = normalised(newellNormal(loop));
        }
    }
}

void vertexNormals() {
    for (int j = 0; j < kVertices; ++j) {
        for (int i = 0; i < kVertices; ++i) {
            const Vec3& a = faceNormalGrid[j][i];
            const Vec3& b = faceNormalGrid[j + 1][i];
            const Vec3& c = faceNormalGrid[j + 1][i + 1];
            const Vec3& d = faceNormalGrid[j][i + 1];
            vertexNormalGrid[j][i] = normalised(
                {a.x + b.x + c.x + d.x, a.y + b.y + c.y + d.y, a.z + b.z + c.z + d.z});
        }
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
    constexpr float kFactors[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    constexpr double kWeights[6] = {0.03125, 0.0625, 0.125, 0.25, 0.5, 1.0};
    const Vec3 base = {q.x * 150.0f, q.y * 150.0f, q.z * 150.0f};
    double sum = 0.0;
    for (int k = 0; k < 6; ++k) {
        const Vec3 point = {base.x * kFactors[k], base.y * kFactors[k], base.z * kFactors[k]};
        const double s = noise3(&point, interpSmooth);
        sum = k == 0 ? kWeights[0] * s : sum + kWeights[k] * s;
    }
    return static_cast<float>(100.0 + 5.0 * sum);
}

std::uint32_t buildPlanetList() {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    for (const FaceFrame& face : kFaces) {
        samplePositions(face);
        cellNormals();
        vertexNormals();
        emitStrips();
    }
    glEndList();
    return list;
}
