// The procedural planet: a cube-sphere displaced by six octaves of value noise,
// compiled into one display list.
#pragma once

#include <cstdint>

#include "planet/vec3.h"

// Builds the planet into a new display list (GL_COMPILE) and returns its name. The
// GL context must be current. Not reentrant: it works in static grids.
std::uint32_t buildPlanetList();

// The surface radius in the unit direction q: 100 plus five times a six-octave sum.
float planetRadius(const Vec3& q);
