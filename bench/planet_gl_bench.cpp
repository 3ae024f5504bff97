// buildPlanetList under the real GL library (Mesa here), list compile included, in
// milliseconds: the optimised builder, the straightforward baseline, and the
// driver's own share: the same stream replayed into a list from memory, with
// nothing computed. Needs a display: run it under scripts/with-xvfb.
#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "bench/baseline_planet.h"
#include "bench/bench_main.h"
#include "planet/mesh.h"
#include "planet/noise_batch.h"

namespace {

std::vector<Vec3> s_normals;
std::vector<Vec3> s_vertices;

template <typename Build>
void compileAndDelete(benchmark::State& state, Build build) {
    for (auto _ : state) {
        const GLuint list = build();
        state.PauseTiming();
        glDeleteLists(list, 1);
        glFinish();
        state.ResumeTiming();
    }
    if (glGetError() != GL_NO_ERROR) state.SkipWithError("GL error");
}

void BM_MesaBuildPlanetList(benchmark::State& state) { compileAndDelete(state, buildPlanetList); }

void BM_MesaBuildPlanetListBaseline(benchmark::State& state) {
    compileAndDelete(state, baselineBuildPlanetList);
}

// What the driver does with the stream: the same calls from memory.
GLuint replay() {
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    std::size_t v = 0;
    for (int strip = 0; strip < 1200; ++strip) {
        glBegin(GL_QUAD_STRIP);
        for (int k = 0; k < 402; ++k, ++v) {
            const GLfloat n[3] = {s_normals[v].x, s_normals[v].y, s_normals[v].z};
            const GLfloat p[3] = {s_vertices[v].x, s_vertices[v].y, s_vertices[v].z};
            glNormal3fv(n);
            glVertex3fv(p);
        }
        glEnd();
    }
    glEndList();
    return list;
}

void BM_MesaListCompileOnly(benchmark::State& state) { compileAndDelete(state, replay); }

}  // namespace

int main(int argc, char** argv) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "planet_gl_bench: no video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("planet_gl_bench", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "planet_gl_bench: no GL context: %s\n", SDL_GetError());
        return 1;
    }
    std::printf("GL: %s, %s; kernel set %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), kernelSetName(kernelSetInUse()));
    baselineRecordPlanetStream(s_normals, s_vertices);

    benchmark::RegisterBenchmark("BM_MesaBuildPlanetListBaseline", BM_MesaBuildPlanetListBaseline)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_MesaBuildPlanetList", BM_MesaBuildPlanetList)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_MesaListCompileOnly", BM_MesaListCompileOnly)->Unit(benchmark::kMillisecond);
    const int status = runBenchmarks(argc, argv, "BM_MesaBuildPlanetListBaseline", "BM_MesaBuildPlanetList");

    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return status;
}
