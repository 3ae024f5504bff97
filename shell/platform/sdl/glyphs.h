// Glyph lists: the stock SYSTEM_FONT as OpenGL display lists of glBitmap glyphs,
// from fontconfig and FreeType, without SDL (the whole-program benchmark's
// reference program draws its read-out with the same lists).
//
// Provides:
// - rasteriseGlyphs: fontconfig's "sans:bold" at a 16-pixel cell, rasterised 1-bit
//   by FreeType, one glyph per code from `first`, codes 128-255 read as
//   Windows-1252; rows bottom-up, (width + 7) / 8 bytes each, as glBitmap takes
//   them. A code without a glyph (0-31, 127, the five holes of 1252, codes above
//   255, characters the font lacks) gets an empty one that does not move the
//   raster position. No GL: it may run on any thread. False when no font can be
//   loaded (a line on standard error says why).
// - compileGlyphBitmaps: one display list per glyph from `listBase`, each a
//   glBitmap that moves the raster position on by the glyph's advance. Needs a
//   current GL context; false when GL reported an error. compileGlyphLists does
//   both for the codes from `first`.
#pragma once

#include <cstdint>
#include <vector>

namespace sdlLayer {

struct Glyph {
    int width = 0;
    int height = 0;
    float xOrigin = 0.0f;
    float yOrigin = 0.0f;
    float advance = 0.0f;
    std::vector<unsigned char> rows;
};

bool rasteriseGlyphs(std::uint32_t first, std::uint32_t count, std::vector<Glyph>* glyphs);
bool compileGlyphBitmaps(const Glyph* glyphs, std::uint32_t count, std::uint32_t listBase);
bool compileGlyphLists(std::uint32_t first, std::uint32_t count, std::uint32_t listBase);

}  // namespace sdlLayer
