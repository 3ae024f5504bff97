// The points at which the planet builder evaluates the noise, in the order of the
// straightforward builder: face by face, column by column, row by row, six octave
// points per sample (1,483,524 in all).
#pragma once

#include <vector>

#include "planet/vec3.h"

std::vector<Vec3> planetOctavePoints();
