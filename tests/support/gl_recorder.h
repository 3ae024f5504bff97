// A recording stand-in for the OpenGL 1.1 and GLU calls that the program makes.
// Linked into a test instead of the system's GL library, every call lands in
// glRecorderCalls() in order; nothing is drawn. glGenLists hands out names from a
// counter, glGetIntegerv(GL_VIEWPORT) answers with glRecorderSetViewport's value.
// Each call takes a number from the sequence that the scripted platform's calls
// share (recordedCallSequence), so GL and platform calls can be ordered together.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum class GlOp : std::uint8_t {
    PixelStorei, Viewport, Finish, GetIntegerv, MatrixMode, LoadIdentity, Perspective,
    GenLists, NewList, Begin, Normal, Vertex, End, EndList, DeleteLists,
    Enable, Disable, Clear, LookAt, Lightfv, CallList, CallLists, ListBase,
    PushMatrix, PopMatrix, Translatef, Rotatef, Color3f, RasterPos2f,
};

// One call. Integer and enum arguments go to i, float arguments to f, in argument
// order; a GLU call's doubles are in glRecorderDoubles()[i[0]], and the text of a
// glCallLists in glRecorderTexts()[i[2]].
struct GlCall {
    GlOp op;
    std::int32_t i[4];
    float f[4];
    std::uint32_t seq;  // place in the sequence shared with the scripted platform
};

const char* glOpName(GlOp op);

void glRecorderReset();  // forgets all calls; list names restart at 1
void glRecorderReserve(std::size_t calls);
void glRecorderSetViewport(int x, int y, int width, int height);
const std::vector<GlCall>& glRecorderCalls();
const std::vector<std::array<double, 9>>& glRecorderDoubles();
const std::vector<std::string>& glRecorderTexts();

// Hands out the next number of the sequence shared by every recorded call, GL or
// platform; it only grows (no reset), so numbers taken before a reset still order.
std::uint32_t recordedCallSequence();

// When set, called with each call once it is recorded (lets a test act on a GL call,
// for instance close the window after a number of frames).
extern void (*g_glRecorderHook)(const GlCall& call);
