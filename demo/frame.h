// The demo's frame: three planets under a circling light, the frame-rate read-out,
// and the fly camera steered by the keys and the mouse.
#pragma once

#include <cstdint>

#include "planet/vec3.h"
#include "shell/platform/platform.h"

// Camera and scene state. Angles in radians; the world is right-handed with Z up.
extern float g_camYaw;    // heading from +X towards +Y, kept in [0, 2pi]
extern float g_camPitch;  // elevation, kept within the pitch limit; starts at -pi/2
extern Vec3 g_camPos;
extern Vec3 g_camDir;       // unit view direction, recomputed at the start of every frame
extern float g_lightAngle;  // about the X axis; grows without wrapping
extern std::uint32_t g_planetList;
extern std::uint32_t g_fontBase;  // first of 256 font lists, one per character code

// The pitch limit (89 degrees) and the 32-bit values that a pitch beyond it becomes.
constexpr double kPitchLimit = 1.5533430342749532;
constexpr float kPitchMax = 1.553343f;   // 0x3fc6d3f2
constexpr float kPitchMin = -1.553343f;  // 0xbfc6d3f2

// The onFrame callback: draws one frame, moves the camera for the next, swaps the
// buffers and ticks the shell's frame timer.
void demoFrame();

// The steps of a frame that are plain arithmetic on the camera and the light. Each
// leaves a stored field unchanged where its new value would not be finite.

// g_camDir from g_camYaw and g_camPitch.
void demoUpdateViewDirection();
// Moves g_camPos by the keys held in `keys` (kKeyCount entries) at 100 units per
// second over frameTime seconds: forward and back along g_camDir, sideways
// horizontally by g_camYaw. A frame time that is not finite moves nothing.
void demoMoveCamera(const unsigned char* keys, double frameTime);
// The cursor's offset from the display's centre, each axis from -1 (left, bottom)
// to +1 (right, top), for a display of width x height pixels measured from the
// window rectangle's left and bottom edges. A zero width or height gives 0 on that
// axis.
void demoCursorOffset(POINT cursor, RECT windowRect, std::uint32_t width, std::uint32_t height,
                      float* nx, float* ny);
// Turns the camera by a cursor offset: 70 degrees for an offset of 1, right and up
// for positive offsets; wraps the yaw into [0, 2pi] and holds the pitch within the
// limit. An offset that is not finite counts as 0.
void demoMouseLook(float nx, float ny);
// The light's position for this frame's angle: (0, 250 cos L, 250 sin L, 1).
void demoLightPosition(float angle, float position[4]);
// Advances g_lightAngle at 20 degrees per second; a frame time that is not finite
// advances nothing.
void demoAdvanceLight(double frameTime);
