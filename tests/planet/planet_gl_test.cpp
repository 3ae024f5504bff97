// Compiles the planet list with the real GL library and draws it: run inside a
// private X server (scripts/with-xvfb). Exit status 0 when the planet shows where
// it should and nowhere else.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <cstdio>
#include <vector>

#include "planet/mesh.h"

namespace {

constexpr int kSize = 256;
int g_failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++g_failures;
}

}  // namespace

int main() {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::printf("FAILED: no video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("planet", 0, 0, kSize, kSize,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::printf("FAILED: no GL context: %s\n", SDL_GetError());
        return 1;
    }

    const GLuint list = buildPlanetList();
    check(glIsList(list) == GL_TRUE, "the returned name is a display list");
    check(glGetError() == GL_NO_ERROR, "building raised no GL error");

    glViewport(0, 0, kSize, kSize);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, 1.0, 1.0, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(0, 0, 300, 0, 0, 0, 0, 1, 0);
    const GLfloat light[4] = {0, 0, 400, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glCallList(list);
    glFinish();

    std::vector<unsigned char> pixels(kSize * kSize * 4);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    auto lit = [&](int x, int y) {
        const unsigned char* p = &pixels[(y * kSize + x) * 4];
        return p[0] + p[1] + p[2] > 30;
    };
    // From 300 units the planet (radius about 100) spans about 0.76 of the half-height.
    const int c = kSize / 2;
    check(lit(c, c), "the centre shows the planet");
    check(lit(c + 60, c) && lit(c - 60, c) && lit(c, c + 60) && lit(c, c - 60),
          "points well inside the disc show the planet");
    check(!lit(c + 118, c) && !lit(c, c - 118), "points well outside the disc stay black");
    check(!lit(0, 0) && !lit(kSize - 1, kSize - 1), "the corners stay black");
    int count = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) count += lit(x, y);
    // A disc of radius about 97 pixels: 29,500 pixels.
    check(count > 24000 && count < 34000, "the lit area is the planet's disc");
    std::printf("lit pixels: %d\n", count);

    glDeleteLists(list, 1);
    check(glIsList(list) == GL_FALSE, "the list is gone after deletion");
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return g_failures == 0 ? 0 : 1;
}
