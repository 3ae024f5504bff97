#include "tests/planet/stream_hash_sink.h"

#include <GL/gl.h>

#include <cstring>

namespace {

// Call codes folded in before each call's arguments.
enum : std::uint32_t {
    kGenLists = 1, kNewList, kBegin, kNormal, kVertex, kEnd, kEndList,
};

constexpr std::uint64_t kOffset = 0xCBF29CE484222325u;
constexpr std::uint64_t kPrime = 0x100000001B3u;

std::uint64_t s_hash = kOffset;
std::uint64_t s_calls = 0;
GLuint s_nextList = 1;

void fold(std::uint32_t word) {
    s_hash ^= word;
    s_hash *= kPrime;
}

void foldFloats(std::uint32_t code, const GLfloat* v) {
    ++s_calls;
    fold(code);
    for (int c = 0; c < 3; ++c) {
        std::uint32_t bits;
        std::memcpy(&bits, &v[c], sizeof bits);
        fold(bits);
    }
}

}  // namespace

void streamHashReset() {
    s_hash = kOffset;
    s_calls = 0;
    s_nextList = 1;
}
std::uint64_t streamHashValue() { return s_hash; }
std::uint64_t streamHashCalls() { return s_calls; }

extern "C" {

GLuint APIENTRY glGenLists(GLsizei range) {
    ++s_calls;
    fold(kGenLists);
    fold(static_cast<std::uint32_t>(range));
    const GLuint first = s_nextList;
    s_nextList += static_cast<GLuint>(range);
    return first;
}
void APIENTRY glNewList(GLuint list, GLenum mode) {
    ++s_calls;
    fold(kNewList);
    fold(list);
    fold(mode);
}
void APIENTRY glBegin(GLenum mode) {
    ++s_calls;
    fold(kBegin);
    fold(mode);
}
void APIENTRY glNormal3fv(const GLfloat* v) { foldFloats(kNormal, v); }
void APIENTRY glVertex3fv(const GLfloat* v) { foldFloats(kVertex, v); }
void APIENTRY glEnd() {
    ++s_calls;
    fold(kEnd);
}
void APIENTRY glEndList() {
    ++s_calls;
    fold(kEndList);
}

}  // extern "C"
