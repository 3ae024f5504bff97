// Projection helpers, against the GL recorder.
#include <GL/gl.h>

#include "shell/projection.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

using ProjectionTest = ShellTest;

std::vector<GlOp> opsOf(const std::vector<GlCall>& calls) {
    std::vector<GlOp> ops;
    for (const GlCall& call : calls) ops.push_back(call.op);
    return ops;
}

// Both helpers end with the model-view matrix selected and loaded with identity.
void expectModelviewIdentityLast() {
    const auto& calls = glRecorderCalls();
    ASSERT_GE(calls.size(), 2u);
    const GlCall& select = calls[calls.size() - 2];
    EXPECT_EQ(select.op, GlOp::MatrixMode);
    EXPECT_EQ(select.i[0], GL_MODELVIEW);
    EXPECT_EQ(calls.back().op, GlOp::LoadIdentity);
}

TEST_F(ProjectionTest, ResetLoadsIdentityIntoProjectionThenModelview) {
    shellResetMatrices();
    const auto& calls = glRecorderCalls();
    EXPECT_EQ(opsOf(calls), (std::vector<GlOp>{GlOp::MatrixMode, GlOp::LoadIdentity,
                                               GlOp::MatrixMode, GlOp::LoadIdentity}));
    EXPECT_EQ(calls[0].i[0], GL_PROJECTION);
    expectModelviewIdentityLast();
}

struct PerspectiveCase {
    const char* label;
    int viewport[4];
    double zNear, zFar, fovy;
    double aspect;
};

TEST_F(ProjectionTest, PerspectiveFollowsTheViewportsShape) {
    const PerspectiveCase cases[] = {
        {"full-screen 1024x768", {0, 0, 1024, 768}, 1.0, 2000.0, 50.0, 1024.0 / 768.0},
        {"offset viewport", {10, 20, 300, 100}, 0.5, 300.0, 70.0, 3.0},
        {"portrait", {0, 0, 600, 800}, 2.0, 10.0, 90.0, 0.75},
        {"zero height", {0, 0, 640, 0}, 1.0, 2000.0, 50.0, 1.0},
        {"empty", {0, 0, 0, 0}, 1.0, 2000.0, 50.0, 1.0},
    };
    for (const PerspectiveCase& c : cases) {
        SCOPED_TRACE(c.label);
        glRecorderReset();
        glRecorderSetViewport(c.viewport[0], c.viewport[1], c.viewport[2], c.viewport[3]);
        shellSetPerspective(c.zNear, c.zFar, c.fovy);

        const auto& calls = glRecorderCalls();
        ASSERT_EQ(opsOf(calls),
                  (std::vector<GlOp>{GlOp::GetIntegerv, GlOp::MatrixMode, GlOp::LoadIdentity,
                                     GlOp::Perspective, GlOp::MatrixMode, GlOp::LoadIdentity}));
        EXPECT_EQ(calls[0].i[0], GL_VIEWPORT);
        EXPECT_EQ(calls[1].i[0], GL_PROJECTION);
        const auto& args = glRecorderDoubles()[static_cast<std::size_t>(calls[3].i[0])];
        // The field of view comes last here and first to gluPerspective.
        EXPECT_EQ(args[0], c.fovy);
        EXPECT_EQ(args[1], c.aspect);
        EXPECT_EQ(args[2], c.zNear);
        EXPECT_EQ(args[3], c.zFar);
        expectModelviewIdentityLast();
    }
    glRecorderSetViewport(0, 0, 0, 0);
}

}  // namespace
