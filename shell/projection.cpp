// Matrix set-ups for 3-D drawing and for drawing in normalised device coordinates.
#include "shell/projection.h"

#include "shell/platform/platform.h"

void shellResetMatrices() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void shellSetPerspective(double zNear, double zFar, double fovy) {
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // A viewport without height has no shape to follow: draw it square.
    double aspect = viewport[3] != 0
                        ? static_cast<double>(viewport[2]) / static_cast<double>(viewport[3])
                        : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fovy, aspect, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
