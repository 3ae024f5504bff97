#include "bench/gl_sink.h"

#include <GL/gl.h>

#include <cstring>

namespace {

std::uint64_t s_calls = 0;
std::uint32_t s_bits = 0;
GLuint s_nextList = 1;

void take(const GLfloat* v) {
    std::uint32_t word[3];
    std::memcpy(word, v, sizeof word);
    s_bits ^= word[0] ^ word[1] ^ word[2];
    ++s_calls;
}

}  // namespace

void glSinkReset() {
    s_calls = 0;
    s_bits = 0;
    s_nextList = 1;
}
std::uint64_t glSinkCalls() { return s_calls; }
std::uint32_t glSinkBits() { return s_bits; }

extern "C" {

GLuint APIENTRY glGenLists(GLsizei range) {
    ++s_calls;
    const GLuint first = s_nextList;
    s_nextList += static_cast<GLuint>(range);
    return first;
}
void APIENTRY glNewList(GLuint list, GLenum mode) {
    ++s_calls;
    s_bits ^= list ^ mode;
}
void APIENTRY glBegin(GLenum mode) {
    ++s_calls;
    s_bits ^= mode;
}
void APIENTRY glNormal3fv(const GLfloat* v) { take(v); }
void APIENTRY glVertex3fv(const GLfloat* v) { take(v); }
void APIENTRY glEnd() { ++s_calls; }
void APIENTRY glEndList() { ++s_calls; }

}  // extern "C"
