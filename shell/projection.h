// Matrix set-ups for 3-D drawing and for drawing in normalised device coordinates.
#pragma once

// Both leave GL_MODELVIEW selected and equal to identity. shellSetPerspective takes
// the aspect from the current viewport (width / height); a viewport of zero height
// gives aspect 1.
void shellResetMatrices();
void shellSetPerspective(double zNear, double zFar, double fovy);
