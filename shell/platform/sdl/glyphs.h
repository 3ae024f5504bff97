// Glyph lists: the stock SYSTEM_FONT as OpenGL display lists of glBitmap glyphs,
// from fontconfig and FreeType, without SDL (the whole-program benchmark's
// reference program draws its read-out with the same lists).
//
// Provides compileGlyphLists: fontconfig's "sans:bold" at a 16-pixel cell,
// rasterised 1-bit by FreeType, one list per code from `first`, codes 128-255 read
// as Windows-1252. A code without a glyph (0-31, 127, the five holes of 1252, codes
// above 255, characters the font lacks) gets an empty list that does not move the
// raster position; a glyph's list moves it on by the glyph's advance. Needs a
// current GL context; false when no font can be loaded or GL reported an error (a
// line on standard error says why).
#pragma once

#include <cstdint>

namespace sdlLayer {

bool compileGlyphLists(std::uint32_t first, std::uint32_t count, std::uint32_t listBase);

}  // namespace sdlLayer
