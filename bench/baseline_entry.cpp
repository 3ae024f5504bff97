// The demo's planet, built the straightforward way: linked into planetdemo_baseline
// in place of planet/mesh.cpp, so that the whole-program benchmark can show the
// start-up that the optimised builder replaced.
#include "bench/baseline_planet.h"
#include "planet/mesh.h"

std::uint32_t buildPlanetList() { return baselineBuildPlanetList(); }
