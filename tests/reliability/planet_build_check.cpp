// Builds the planet list once against the GL recorder and checks the stream it sent:
// the program that valgrind's memcheck runs (planet_build_memcheck), so that every
// read of the static grids and of noise3's cache is checked for uninitialised
// memory and every access for bounds. Exit status 0 when the stream is sound.
#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "planet/mesh.h"
#include "planet/noise.h"
#include "tests/support/gl_recorder.h"

namespace {

int g_failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++g_failures;
}

double length(const float* v) {
    return std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
}

}  // namespace

int main() {
    glRecorderReserve(1'000'000);
    const std::uint32_t name = buildPlanetList();

    const auto& calls = glRecorderCalls();
    long strips = 0, badStrips = 0, vertices = 0, normals = 0;
    long badVertices = 0, badNormals = 0, stray = 0;
    long inStrip = -1;
    for (const GlCall& call : calls) {
        switch (call.op) {
        case GlOp::Begin:
            if (inStrip >= 0 || call.i[0] != GL_QUAD_STRIP) ++stray;
            inStrip = 0;
            ++strips;
            break;
        case GlOp::End:
            if (inStrip != 402) ++badStrips;
            inStrip = -1;
            break;
        case GlOp::Vertex: {
            ++vertices;
            if (inStrip >= 0) ++inStrip;
            const double r = length(call.f);
            // Six octaves in [-1, 1] keep the radius within 100 +- 5 * 1.96875.
            if (!(r >= 90.15625 - 1e-3 && r <= 109.84375 + 1e-3)) ++badVertices;
            break;
        }
        case GlOp::Normal:
            ++normals;
            if (!(std::fabs(length(call.f) - 1.0) < 1e-4)) ++badNormals;
            break;
        case GlOp::GenLists:
        case GlOp::NewList:
        case GlOp::EndList:
            break;
        default:
            ++stray;
        }
    }
    std::printf("list %u: %zu calls, %ld strips, %ld vertices, %ld normals\n", name, calls.size(),
                strips, vertices, normals);
    check(name != 0, "a list name was taken");
    check(!calls.empty() && calls.front().op == GlOp::GenLists &&
              calls.back().op == GlOp::EndList,
          "the stream opens with glGenLists and ends with glEndList");
    check(strips == 1200 && badStrips == 0, "1,200 quad strips of 402 vertices each");
    check(vertices == 482400 && normals == 482400, "482,400 vertices, each with its normal");
    check(badVertices == 0, "every vertex lies on the displaced sphere");
    check(badNormals == 0, "every normal is unit length");
    check(stray == 0, "no other call inside the list");
    // The builder takes its noise in batches (noise3Batch), which leave noise3's cache
    // alone; planetRadius still calls noise3 point by point, so the cache's reads and
    // writes come under memcheck here.
    planetRadius({0, 0, 1});
    check(g_noiseCache.valid, "the noise cache was used");
    return g_failures == 0 ? 0 : 1;
}
