// The GL sink of the benchmarks: linked in place of the system's GL library, it
// takes the calls that the planet builder makes and throws them away, keeping only
// a count of the calls and an XOR of every argument's bits (so that every value
// the builder sends is really read). Its cost per call is that of a call.
#pragma once

#include <cstdint>

void glSinkReset();
std::uint64_t glSinkCalls();
std::uint32_t glSinkBits();
