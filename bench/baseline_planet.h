// The planet built the straightforward way: the yardstick that the optimised
// builder (planet/mesh.cpp) is measured against, and the independent second
// implementation that the stream-identity test compares it with.
//
// Every step is written plainly, one sample at a time: one noise call per octave
// per sample, each call hashing its eight corners from scratch (seven folds each,
// no sharing between corners, no cache), the interpolation through its function
// pointer, four Newell edges per cell. Same operations in the same order as the
// product, so the display-list stream is the same bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "planet/vec3.h"

float baselineNoise3(const Vec3* p);
float baselinePlanetRadius(const Vec3& q);
// Same contract as buildPlanetList: a new GL_COMPILE list of 1,200 quad strips.
std::uint32_t baselineBuildPlanetList();
// The same stream, recorded instead of sent: the normal and the position of every
// vertex, strip after strip (402 per strip, 1,200 strips), for replaying it into a
// real GL list without the cost of making it.
void baselineRecordPlanetStream(std::vector<Vec3>& normals, std::vector<Vec3>& vertices);
