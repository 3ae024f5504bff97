// reference_demo: the demo written the straightforward way, the yardstick for the
// demo's start-up and exit (bench/startup-bench). A plain SDL window of the
// display's size at (0, 0), no display-mode switch, the planet built point by point
// (bench/baseline_planet.cpp: the same list, bit for bit), the same 256 glyph lists
// for the read-out, and per frame the same GL work as the demo's frame: clear, the
// perspective, the camera, the circling light, the three list calls, "FPS: n.n",
// the mouse look with the cursor put back at the centre, the swap. Escape, the
// window's close and SIGTERM or SIGINT end it; it releases what it made and exits 0.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>

#include "bench/baseline_planet.h"
#include "shell/platform/sdl/glyphs.h"

namespace {

volatile std::sig_atomic_t s_stop = 0;
void onStop(int) { s_stop = 1; }

constexpr double kLookGain = 1.2217304763960306;  // 70 degrees per half display
constexpr double kPitchLimit = 1.553343;
constexpr double kMoveSpeed = 100.0;

}  // namespace

int main(int, char**) {
    std::signal(SIGTERM, onStop);
    std::signal(SIGINT, onStop);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "reference_demo: no video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_DisplayMode mode;
    SDL_GetDesktopDisplayMode(0, &mode);
    // The demo's pixel format: 8 bits a channel, 24 depth bits, double buffered.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("reference", 0, 0, mode.w, mode.h,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    if (!window) {
        std::fprintf(stderr, "reference_demo: no window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "reference_demo: no GL context: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    SDL_ShowCursor(SDL_DISABLE);
    glViewport(0, 0, mode.w, mode.h);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);

    const GLuint planet = baselineBuildPlanetList();
    glEnable(GL_LIGHT0);
    const GLuint font = glGenLists(256);
    sdlLayer::compileGlyphLists(0, 256, font);

    double eye[3] = {0.0, 0.0, 150.0};
    double yaw = 0.0, pitch = -1.5707963705062866, lightAngle = 0.0, fps = 0.0;
    double fpsTime = 0.0, frameTime = 0.0;
    int fpsFrames = 0;
    bool forward = false;
    auto last = std::chrono::steady_clock::now();
    while (!s_stop) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) s_stop = 1;
            if ((event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) &&
                event.key.keysym.scancode == SDL_SCANCODE_UP)
                forward = event.type == SDL_KEYDOWN;
            if (event.type == SDL_KEYDOWN && event.key.keysym.scancode == SDL_SCANCODE_ESCAPE) s_stop = 1;
        }
        if (s_stop) break;

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(50.0, static_cast<double>(mode.w) / mode.h, 1.0, 2000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const double dir[3] = {std::cos(yaw) * std::cos(pitch), std::sin(yaw) * std::cos(pitch),
                               std::sin(pitch)};
        gluLookAt(eye[0], eye[1], eye[2], eye[0] + dir[0], eye[1] + dir[1], eye[2] + dir[2], 0.0, 0.0, 1.0);
        glEnable(GL_LIGHTING);
        const GLfloat light[4] = {0.0f, static_cast<float>(250.0 * std::cos(lightAngle)),
                                  static_cast<float>(250.0 * std::sin(lightAngle)), 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, light);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_CULL_FACE);
        glCallList(planet);
        glPushMatrix();
        glTranslatef(250.0f, 0.0f, 0.0f);
        glRotatef(49.0f, 3.0f, 1.0f, -2.0f);
        glCallList(planet);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(-250.0f, 0.0f, 0.0f);
        glRotatef(134.0f, 2.0f, -1.0f, -3.0f);
        glCallList(planet);
        glPopMatrix();

        char text[100];
        const int length = std::snprintf(text, sizeof text, "FPS: %.1f", fps);
        glListBase(font);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glColor3f(1.0f, 1.0f, 1.0f);
        glRasterPos2f(-0.99f, 0.96f);
        glCallLists(length, GL_UNSIGNED_BYTE, text);

        if (forward)
            for (int i = 0; i < 3; ++i) eye[i] += dir[i] * kMoveSpeed * frameTime;
        int x = 0, y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        yaw -= (2.0 * x / mode.w - 1.0) * kLookGain;
        pitch = std::fmax(-kPitchLimit, std::fmin(kPitchLimit, pitch + (1.0 - 2.0 * y / mode.h) * kLookGain));
        SDL_WarpMouseGlobal(mode.w / 2, mode.h / 2);

        SDL_GL_SwapWindow(window);
        const auto now = std::chrono::steady_clock::now();
        frameTime = std::chrono::duration<double>(now - last).count();
        last = now;
        lightAngle += frameTime * 0.3490658503988659;
        fpsTime += frameTime;
        ++fpsFrames;
        if (fpsTime >= 0.25) {
            fps = fpsFrames / fpsTime;
            fpsTime = 0.0;
            fpsFrames = 0;
        }
    }

    glDeleteLists(planet, 1);
    glDeleteLists(font, 256);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
