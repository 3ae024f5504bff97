#include "bench/baseline_planet.h"

#include <GL/gl.h>

#include <cmath>

namespace {

typedef float (*BlendFn)(const float* a, const float* b, const float* t);

std::uint32_t fold(std::uint32_t m, std::uint32_t v) {
    return m * v + (m >> 16) * (v >> 16) + (((v >> 17) * ((m & 0xFFFFu) >> 1)) >> 14) +
           ((((v & 0xFFFFu) >> 1) * (m >> 17)) >> 14);
}

std::uint32_t hash(std::uint32_t x, std::uint32_t y, std::uint32_t z) {
    const std::uint32_t h = 0xDCD8E8B9u ^ fold(0xF0A5196Du, x) ^ fold(0x9B8B9725u, y) ^
                            fold(0x92E98A37u, z);
    return fold(0xA3BC49C3u, h) + fold(0xB635C513u, x) + fold(0xC2E4F0D1u, y) +
           fold(0x9E6E5D39u, z);
}

float value(std::uint32_t u) { return static_cast<float>(u) * 0x1p-31f + -1.0f; }

float smooth(const float* a, const float* b, const float* t) {
    const float s = *t * *t;
    float k = -2.0f * *t;
    k = k + 3.0f;
    const float w = s * k;
    float d = *b - *a;
    d = d * w;
    return *a + d;
}

void split(float q, std::uint32_t* cell, float* fraction) {
    const float t = std::trunc(q);
    const float f = (q > 0.0f || q == t) ? t : t - 1.0f;
    if (!(std::fabs(f) < 0x1p63f)) {
        *cell = 0;
        *fraction = 0.0f;
        return;
    }
    *cell = static_cast<std::uint32_t>(static_cast<std::int64_t>(f));
    *fraction = q - f;
}

float noiseWith(const Vec3* p, BlendFn blend) {
    std::uint32_t c[3];
    float f[3];
    split(p->x, &c[0], &f[0]);
    split(p->y, &c[1], &f[1]);
    split(p->z, &c[2], &f[2]);
    float w[8];
    for (std::uint32_t m = 0; m < 8; ++m)
        w[m] = value(hash(c[0] + (m & 1), c[1] + ((m >> 1) & 1), c[2] + ((m >> 2) & 1)));
    for (int i = 0; i < 4; ++i) w[i] = blend(&w[i], &w[i + 4], &f[2]);
    for (int i = 0; i < 2; ++i) w[i] = blend(&w[i], &w[i + 2], &f[1]);
    w[0] = blend(&w[0], &w[1], &f[0]);
    return w[0];
}

Vec3 normalise(Vec3 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    const float inverse = 1.0f / length;
    return {v.x * inverse, v.y * inverse, v.z * inverse};
}

struct Frame {
    Vec3 n, u, w;
};
const Frame kFrames[6] = {
    {{-1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, {{0, -1, 0}, {0, 0, 1}, {1, 0, 0}},
    {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}}, {{0, 0, 1}, {0, 1, 0}, {1, 0, 0}},
    {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},  {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
};

Vec3 pos[203][203];
Vec3 cellNormal[202][202];
Vec3 vertexNormal[201][201];

void send(void (APIENTRY *call)(const GLfloat*), const Vec3& v) {
    const GLfloat value[3] = {v.x, v.y, v.z};
    call(value);
}

int clampIndex(int k) { return k < -100 ? -100 : (k > 100 ? 100 : k); }
int onRing(int k) { return (k == 0 || k == 202) ? 1 : 0; }

}  // namespace

float baselineNoise3(const Vec3* p) { return noiseWith(p, smooth); }

float baselinePlanetRadius(const Vec3& q) {
    const float factor[6] = {1.0f, 0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f};
    const double weight[6] = {0.03125, 0.0625, 0.125, 0.25, 0.5, 1.0};
    double sum = 0.0;
    for (int k = 0; k < 6; ++k) {
        const Vec3 point = {q.x * 150.0f * factor[k], q.y * 150.0f * factor[k],
                            q.z * 150.0f * factor[k]};
        const double s = baselineNoise3(&point);
        sum = k == 0 ? weight[k] * s : sum + weight[k] * s;
    }
    return static_cast<float>(100.0 + 5.0 * sum);
}

namespace {

// Steps 3 to 7 of one face: positions, cell normals, corner cells, vertex normals.
void buildFace(const Frame& f) {
    for (int i = 0; i < 203; ++i) {
        for (int j = 0; j < 203; ++j) {
            const float u = static_cast<float>(clampIndex(i - 101));
            const float w = static_cast<float>(clampIndex(j - 101));
            const float d = static_cast<float>(100 - onRing(i) - onRing(j));
            const Vec3 p = {d * f.n.x + u * f.u.x + w * f.w.x, d * f.n.y + u * f.u.y + w * f.w.y,
                            d * f.n.z + u * f.u.z + w * f.w.z};
            const Vec3 q = normalise(p);
            const float r = baselinePlanetRadius(q);
            pos[j][i] = {q.x * r, q.y * r, q.z * r};
        }
    }
    for (int j = 0; j < 202; ++j) {
        for (int i = 0; i < 202; ++i) {
            const Vec3 loop[4] = {pos[j][i], pos[j + 1][i], pos[j + 1][i + 1], pos[j][i + 1]};
            Vec3 n = {0, 0, 0};
            for (int e = 0; e < 4; ++e) {
                const Vec3& a = loop[e];
                const Vec3& b = loop[(e + 1) % 4];
                const Vec3 t = {(a.y - b.y) * (a.z + b.z), (a.z - b.z) * (a.x + b.x),
                                (a.x - b.x) * (a.y + b.y)};
                n = e == 0 ? t : Vec3{n.x + t.x, n.y + t.y, n.z + t.z};
            }
            cellNormal[j][i] = normalise(n);
        }
    }
    cellNormal[0][0] = cellNormal[0][201] = cellNormal[201][0] = cellNormal[201][201] = {0, 0, 0};
    for (int j = 0; j < 201; ++j) {
        for (int i = 0; i < 201; ++i) {
            const Vec3& a = cellNormal[j][i];
            const Vec3& b = cellNormal[j + 1][i];
            const Vec3& c = cellNormal[j + 1][i + 1];
            const Vec3& d = cellNormal[j][i + 1];
            vertexNormal[j][i] =
                normalise({a.x + b.x + c.x + d.x, a.y + b.y + c.y + d.y, a.z + b.z + c.z + d.z});
        }
    }
}

}  // namespace

std::uint32_t baselineBuildPlanetList() {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    for (const Frame& f : kFrames) {
        buildFace(f);
        for (int k = 0; k < 200; ++k) {
            glBegin(GL_QUAD_STRIP);
            for (int j = 0; j < 201; ++j) {
                send(glNormal3fv, vertexNormal[j][k + 1]);
                send(glVertex3fv, pos[j + 1][k + 2]);
                send(glNormal3fv, vertexNormal[j][k]);
                send(glVertex3fv, pos[j + 1][k + 1]);
            }
            glEnd();
        }
    }
    glEndList();
    return list;
}

void baselineRecordPlanetStream(std::vector<Vec3>& normals, std::vector<Vec3>& vertices) {
    normals.clear();
    vertices.clear();
    for (const Frame& f : kFrames) {
        buildFace(f);
        for (int k = 0; k < 200; ++k) {
            for (int j = 0; j < 201; ++j) {
                normals.push_back(vertexNormal[j][k + 1]);
                vertices.push_back(pos[j + 1][k + 2]);
                normals.push_back(vertexNormal[j][k]);
                vertices.push_back(pos[j + 1][k + 1]);
            }
        }
    }
}
