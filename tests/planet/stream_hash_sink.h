// A GL stand-in that keeps no calls, only a hash of them: linked in place of the
// system's GL library, it takes the calls that the planet builder makes
// (glGenLists, glNewList, glBegin, glNormal3fv, glVertex3fv, glEnd, glEndList) and
// folds each call's code and every bit of its arguments into one 64-bit FNV-1a hash
// over 32-bit words. Two streams with the same hash are, for all practical
// purposes, the same stream bit for bit. Any other GL entry point is missing on
// purpose: a build that calls one does not link.
#pragma once

#include <cstdint>

// Forgets the calls so far; list names restart at 1.
void streamHashReset();
// The hash of every call since the last reset.
std::uint64_t streamHashValue();
// The number of calls since the last reset.
std::uint64_t streamHashCalls();
