// The planet list's stream as recorded through stream_hash_sink.h from the
// reference builder: the first, point-by-point buildPlanetList with noise3 (one
// call per octave per sample), before any batching. Every build of the planet,
// on every target, must send exactly this stream: 1,200 strips of 402 normals and
// vertices between glGenLists, glNewList and glEndList.
#pragma once

#include <cstdint>

inline constexpr std::uint64_t kPlanetStreamHash = 0xF1DFCC9C0E765B96u;
inline constexpr std::uint64_t kPlanetStreamCalls = 3 + 1200 * (1 + 4 * 201 + 1);
