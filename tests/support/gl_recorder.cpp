#include "tests/support/gl_recorder.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstring>

void (*g_glRecorderHook)(const GlCall& call) = nullptr;

namespace {
std::vector<GlCall> s_calls;
std::vector<std::array<double, 9>> s_doubles;
std::vector<std::string> s_texts;
GLuint s_nextList = 1;
GLint s_viewport[4] = {0, 0, 0, 0};
std::uint32_t s_sequence = 0;

const char* const kNames[] = {
    "glPixelStorei", "glViewport", "glFinish", "glGetIntegerv", "glMatrixMode",
    "glLoadIdentity", "gluPerspective", "glGenLists", "glNewList", "glBegin",
    "glNormal3fv", "glVertex3fv", "glEnd", "glEndList", "glDeleteLists",
    "glEnable", "glDisable", "glClear", "gluLookAt", "glLightfv", "glCallList",
    "glCallLists", "glListBase", "glPushMatrix", "glPopMatrix", "glTranslatef",
    "glRotatef", "glColor3f", "glRasterPos2f",
};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == static_cast<int>(GlOp::RasterPos2f) + 1);

void record(GlOp op, std::int32_t i0 = 0, std::int32_t i1 = 0, std::int32_t i2 = 0,
            std::int32_t i3 = 0, float f0 = 0, float f1 = 0, float f2 = 0, float f3 = 0) {
    const GlCall call{op, {i0, i1, i2, i3}, {f0, f1, f2, f3}, recordedCallSequence()};
    s_calls.push_back(call);
    if (g_glRecorderHook) g_glRecorderHook(call);  // a copy: the hook may record more
}

std::int32_t recordDoubles(std::array<double, 9> values) {
    s_doubles.push_back(values);
    return static_cast<std::int32_t>(s_doubles.size() - 1);
}
}  // namespace

const char* glOpName(GlOp op) { return kNames[static_cast<int>(op)]; }

std::uint32_t recordedCallSequence() { return s_sequence++; }

void glRecorderReset() {
    s_calls.clear();
    s_doubles.clear();
    s_texts.clear();
    s_nextList = 1;
}
void glRecorderReserve(std::size_t calls) { s_calls.reserve(calls); }
void glRecorderSetViewport(int x, int y, int width, int height) {
    s_viewport[0] = x;
    s_viewport[1] = y;
    s_viewport[2] = width;
    s_viewport[3] = height;
}
const std::vector<GlCall>& glRecorderCalls() { return s_calls; }
const std::vector<std::array<double, 9>>& glRecorderDoubles() { return s_doubles; }
const std::vector<std::string>& glRecorderTexts() { return s_texts; }

extern "C" {

void glPixelStorei(GLenum pname, GLint param) { record(GlOp::PixelStorei, pname, param); }
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    record(GlOp::Viewport, x, y, width, height);
}
void glFinish() { record(GlOp::Finish); }
void glGetIntegerv(GLenum pname, GLint* params) {
    record(GlOp::GetIntegerv, pname);
    if (pname == GL_VIEWPORT) std::memcpy(params, s_viewport, sizeof s_viewport);
}
void glMatrixMode(GLenum mode) { record(GlOp::MatrixMode, mode); }
void glLoadIdentity() { record(GlOp::LoadIdentity); }
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    record(GlOp::Perspective, recordDoubles({fovy, aspect, zNear, zFar}));
}
GLuint glGenLists(GLsizei range) {
    GLuint first = s_nextList;
    s_nextList += static_cast<GLuint>(range);
    record(GlOp::GenLists, range, static_cast<std::int32_t>(first));
    return first;
}
void glNewList(GLuint list, GLenum mode) {
    record(GlOp::NewList, static_cast<std::int32_t>(list), mode);
}
void glBegin(GLenum mode) { record(GlOp::Begin, mode); }
void glNormal3fv(const GLfloat* v) { record(GlOp::Normal, 0, 0, 0, 0, v[0], v[1], v[2]); }
void glVertex3fv(const GLfloat* v) { record(GlOp::Vertex, 0, 0, 0, 0, v[0], v[1], v[2]); }
void glEnd() { record(GlOp::End); }
void glEndList() { record(GlOp::EndList); }
void glDeleteLists(GLuint list, GLsizei range) {
    record(GlOp::DeleteLists, static_cast<std::int32_t>(list), range);
}
void glEnable(GLenum cap) { record(GlOp::Enable, cap); }
void glDisable(GLenum cap) { record(GlOp::Disable, cap); }
void glClear(GLbitfield mask) { record(GlOp::Clear, static_cast<std::int32_t>(mask)); }
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY,
               GLdouble centerZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    record(GlOp::LookAt,
           recordDoubles({eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ}));
}
void glLightfv(GLenum light, GLenum pname, const GLfloat* params) {
    // Only GL_POSITION is used: four values.
    record(GlOp::Lightfv, light, pname, 0, 0, params[0], params[1], params[2], params[3]);
}
void glCallList(GLuint list) { record(GlOp::CallList, static_cast<std::int32_t>(list)); }
void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    std::string text;
    if (type == GL_UNSIGNED_BYTE && n > 0)
        text.assign(static_cast<const char*>(lists), static_cast<std::size_t>(n));
    s_texts.push_back(text);
    record(GlOp::CallLists, n, type, static_cast<std::int32_t>(s_texts.size() - 1));
}
void glListBase(GLuint base) { record(GlOp::ListBase, static_cast<std::int32_t>(base)); }
void glPushMatrix() { record(GlOp::PushMatrix); }
void glPopMatrix() { record(GlOp::PopMatrix); }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { record(GlOp::Translatef, 0, 0, 0, 0, x, y, z); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    record(GlOp::Rotatef, 0, 0, 0, 0, angle, x, y, z);
}
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { record(GlOp::Color3f, 0, 0, 0, 0, r, g, b); }
void glRasterPos2f(GLfloat x, GLfloat y) { record(GlOp::RasterPos2f, 0, 0, 0, 0, x, y); }

}  // extern "C"
