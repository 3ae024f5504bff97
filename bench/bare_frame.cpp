// bare_frame: the GL work of the demo's frame and nothing else, the yardstick for
// the demo's frame time (bench/frame-bench). The same window (the display's size,
// full screen, the pixel format the demo asks for), the same planet list, and per
// frame the same calls with the same state: clear, perspective, the camera where
// the demo's first frame leaves it, the circling light, depth test and culling,
// the three list calls, the swap. No text, no input, no message pump, no timer
// beyond the light's clock. Runs until SIGTERM or SIGINT.
#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>

#include "planet/mesh.h"

namespace {

volatile std::sig_atomic_t s_stop = 0;
void onStop(int) { s_stop = 1; }

}  // namespace

int main(int, char**) {
    std::signal(SIGTERM, onStop);
    std::signal(SIGINT, onStop);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_frame: no video: %s\n", SDL_GetError());
        return 1;
    }
    SDL_DisplayMode mode;
    SDL_GetDesktopDisplayMode(0, &mode);
    // As the demo's settings ask: 32 colour bits (8 per channel), 24 depth bits,
    // no alpha, stencil or accumulation, double buffered.
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("bare frame", 0, 0, mode.w, mode.h,
                                          SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
    if (!window) {
        std::fprintf(stderr, "bare_frame: no window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_SetWindowDisplayMode(window, &mode);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN);
    SDL_GLContext context = SDL_GL_CreateContext(window);
    if (!context) {
        std::fprintf(stderr, "bare_frame: no GL context: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(0);
    glViewport(0, 0, mode.w, mode.h);

    const GLuint planet = buildPlanetList();
    glEnable(GL_LIGHT0);
    // The demo's camera after its first frame: at (0, 0, 150), yaw 0, the pitch of
    // -pi/2 held at the limit, -1.553343.
    const double pitch = -1.553343f;
    const double eye[3] = {0.0, 0.0, 150.0};
    const float dir[3] = {static_cast<float>(std::cos(pitch)), 0.0f, static_cast<float>(std::sin(pitch))};
    const double aspect = static_cast<double>(mode.w) / mode.h;
    double lightAngle = 0.0;
    auto last = std::chrono::steady_clock::now();

    while (!s_stop) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(50.0, aspect, 1.0, 2000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
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
        SDL_GL_SwapWindow(window);
        const auto now = std::chrono::steady_clock::now();
        lightAngle += std::chrono::duration<double>(now - last).count() * 0.3490658503988659;
        last = now;
    }

    glDeleteLists(planet, 1);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
