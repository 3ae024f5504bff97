// Matrix set-ups for 3-D drawing and for drawing in normalised device coordinates.
#pragma once

// Both leave GL_MODELVIEW selected and equal to identity.
void shellResetMatrices();
void shellSetPerspective(double zNear, double zFar, double fovy);
