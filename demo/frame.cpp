// The demo's frame renderer and fly camera.
#include "demo/frame.h"

#include <cmath>
#include <cstdio>

#include "demo/input.h"
#include "shell/app.h"
#include "shell/projection.h"
#include "shell/pump.h"
#include "shell/window.h"

float g_camYaw = 0.0f;
float g_camPitch = -1.5707963705062866f;  // -pi/2 as a 32-bit float: straight down
Vec3 g_camPos = {0.0f, 0.0f, 0.0f};
Vec3 g_camDir = {0.0f, 0.0f, 0.0f};
float g_lightAngle = 0.0f;
std::uint32_t g_planetList = 0;
std::uint32_t g_fontBase = 0;

namespace {
constexpr double kNearPlane = 1.0;
constexpr double kFarPlane = 2000.0;
constexpr double kFieldOfView = 50.0;
constexpr double kLightRadius = 250.0;
constexpr double kLightSpeed = 0.3490658503988659;  // 20 degrees per second
constexpr double kMoveSpeed = 100.0;                // units per second
constexpr double kLookGain = 1.2217304763960306;    // 70 degrees per half display
constexpr double kInverseTwoPi = 0.15915494309189535;
constexpr double kTwoPi = 6.283185307179586;
constexpr GLfloat kPlanetOffset = 250.0f;
constexpr std::size_t kTextSize = 100;

constexpr unsigned kKeyW = 0x57;
constexpr unsigned kKeyS = 0x53;
constexpr unsigned kKeyD = 0x44;
constexpr unsigned kKeyA = 0x41;

// Stores a result computed at double precision, unless it (or its 32-bit form)
// is not finite: a NaN or an infinity once stored would never leave the camera.
void storeFinite(float* field, double value) {
    auto narrowed = static_cast<float>(value);
    if (std::isfinite(narrowed)) *field = narrowed;
}

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0.0; }

// 2 * offset / size - 1 in 32-bit floats; 0 for a display without that extent.
float axisOffset(std::int64_t offset, std::uint32_t size) {
    if (size == 0) return 0.0f;
    return 2.0f * static_cast<float>(offset) / static_cast<float>(size) - 1.0f;
}
}  // namespace

void demoUpdateViewDirection() {
    const double yaw = g_camYaw;
    const double pitch = g_camPitch;
    storeFinite(&g_camDir.x, std::cos(yaw) * std::cos(pitch));
    storeFinite(&g_camDir.y, std::sin(yaw) * std::cos(pitch));
    storeFinite(&g_camDir.z, std::sin(pitch));
}

void demoMoveCamera(const unsigned char* keys, double frameTime) {
    const double s = kMoveSpeed * finiteOrZero(frameTime);
    if (keys[VK_UP] || (keys[kKeyW] && !keys[VK_CONTROL])) {
        storeFinite(&g_camPos.x, g_camPos.x + g_camDir.x * s);
        storeFinite(&g_camPos.y, g_camPos.y + g_camDir.y * s);
        storeFinite(&g_camPos.z, g_camPos.z + g_camDir.z * s);
    } else if (keys[VK_DOWN] || keys[kKeyS]) {
        storeFinite(&g_camPos.x, g_camPos.x - g_camDir.x * s);
        storeFinite(&g_camPos.y, g_camPos.y - g_camDir.y * s);
        storeFinite(&g_camPos.z, g_camPos.z - g_camDir.z * s);
    }
    const double yaw = g_camYaw;
    if (keys[VK_RIGHT] || keys[kKeyD]) {
        storeFinite(&g_camPos.x, g_camPos.x + s * std::sin(yaw));
        storeFinite(&g_camPos.y, g_camPos.y - s * std::cos(yaw));
    }
    if (keys[VK_LEFT] || keys[kKeyA]) {
        storeFinite(&g_camPos.x, g_camPos.x - s * std::sin(yaw));
        storeFinite(&g_camPos.y, g_camPos.y + s * std::cos(yaw));
    }
}

void demoCursorOffset(POINT cursor, RECT windowRect, std::uint32_t width, std::uint32_t height,
                      float* nx, float* ny) {
    // In 64 bits: screen coordinates far apart must not overflow the subtraction.
    *nx = axisOffset(std::int64_t{cursor.x} - windowRect.left, width);
    *ny = axisOffset(std::int64_t{windowRect.bottom} - cursor.y, height);
}

void demoMouseLook(float nx, float ny) {
    if (!std::isfinite(nx)) nx = 0.0f;
    if (!std::isfinite(ny)) ny = 0.0f;
    const double yaw = g_camYaw - nx * kLookGain;
    storeFinite(&g_camYaw, yaw - std::floor(yaw * kInverseTwoPi) * kTwoPi);
    storeFinite(&g_camPitch, g_camPitch + ny * kLookGain);
    if (g_camPitch > kPitchLimit) g_camPitch = kPitchMax;
    if (!(g_camPitch >= -kPitchLimit)) g_camPitch = kPitchMin;
}

void demoLightPosition(float angle, float position[4]) {
    position[0] = 0.0f;
    position[1] = static_cast<float>(kLightRadius * std::cos(static_cast<double>(angle)));
    position[2] = static_cast<float>(kLightRadius * std::sin(static_cast<double>(angle)));
    position[3] = 1.0f;
}

void demoAdvanceLight(double frameTime) {
    storeFinite(&g_lightAngle, g_lightAngle + finiteOrZero(frameTime) * kLightSpeed);
}

void demoFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    shellSetPerspective(kNearPlane, kFarPlane, kFieldOfView);

    demoUpdateViewDirection();
    gluLookAt(g_camPos.x, g_camPos.y, g_camPos.z, g_camPos.x + g_camDir.x,
              g_camPos.y + g_camDir.y, g_camPos.z + g_camDir.z, 0.0, 0.0, 1.0);

    // With the view loaded, the light's position is in world coordinates.
    glEnable(GL_LIGHTING);
    GLfloat lightPosition[4];
    demoLightPosition(g_lightAngle, lightPosition);
    glLightfv(GL_LIGHT0, GL_POSITION, lightPosition);
    demoAdvanceLight(g_frameTime);

    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);

    // One terrain, three views of it: translated first so that each copy turns
    // about its own centre.
    glCallList(g_planetList);
    glPushMatrix();
    glTranslatef(kPlanetOffset, 0.0f, 0.0f);
    glRotatef(49.0f, 3.0f, 1.0f, -2.0f);
    glCallList(g_planetList);
    glPopMatrix();
    glPushMatrix();
    glTranslatef(-kPlanetOffset, 0.0f, 0.0f);
    glRotatef(134.0f, 2.0f, -1.0f, -3.0f);
    glCallList(g_planetList);
    glPopMatrix();

    glListBase(g_fontBase);
    char text[kTextSize];
    int length = std::snprintf(text, sizeof text, "FPS: %.1f", g_fps);
    if (length < 0) length = 0;
    if (length >= static_cast<int>(sizeof text)) length = static_cast<int>(sizeof text) - 1;
    shellResetMatrices();
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);  // before the raster position, which takes the colour
    glRasterPos2f(-0.99f, 0.96f);
    glCallLists(length, GL_UNSIGNED_BYTE, text);

    demoMoveCamera(g_keys, g_frameTime);

    POINT cursor = {0, 0};
    RECT windowRect = {0, 0, 0, 0};
    GetCursorPos(&cursor);
    GetWindowRect(g_window, &windowRect);
    float nx = 0.0f;
    float ny = 0.0f;
    demoCursorOffset(cursor, windowRect, g_settings.width, g_settings.height, &nx, &ny);
    demoMouseLook(nx, ny);
    SetCursorPos(static_cast<int>(g_settings.width / 2), static_cast<int>(g_settings.height / 2));

    SwapBuffers(g_deviceContext);
    shellTimerTick();
}
