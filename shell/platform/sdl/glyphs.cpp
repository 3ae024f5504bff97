#include "shell/platform/sdl/glyphs.h"

#include <GL/gl.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <string>
#include <vector>

#include "shell/platform/sdl/text.h"

namespace sdlLayer {
namespace {
constexpr int kFontCellHeight = 16;  // pixels, ascent plus descent, as the System font
constexpr const char* kFontPattern = "sans:bold";
const GLubyte kEmptyBitmap[1] = {0};  // Mesa needs a pointer even for 0 x 0 bitmaps

bool findFontFile(std::string* path, int* index) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontPattern));
    if (!pattern) return false;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* file = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file;
    if (found) {
        *path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
    }
    FcPatternDestroy(match);
    return found;
}

bool openSystemFont(FT_Library library, FT_Face* face) {
    std::string path;
    int index = 0;
    if (!findFontFile(&path, &index)) {
        std::fprintf(stderr, "platform: fontconfig found no font for \"%s\"\n", kFontPattern);
        return false;
    }
    if (FT_New_Face(library, path.c_str(), index, face) != 0) {
        std::fprintf(stderr, "platform: FreeType cannot open %s\n", path.c_str());
        return false;
    }
    FT_Error error;
    if (FT_IS_SCALABLE(*face)) {
        FT_Size_RequestRec size = {FT_SIZE_REQUEST_TYPE_CELL, 0, kFontCellHeight * 64, 0, 0};
        error = FT_Request_Size(*face, &size);
    } else {
        error = (*face)->num_fixed_sizes > 0 ? FT_Select_Size(*face, 0) : 1;
    }
    if (error != 0) {
        std::fprintf(stderr, "platform: FreeType cannot size %s\n", path.c_str());
        FT_Done_Face(*face);
        return false;
    }
    return true;
}

// One glyph's bitmap: rows bottom-up, (width + 7) / 8 bytes each.
void rasteriseGlyph(FT_Face face, std::uint32_t unicode, Glyph* glyph) {
    *glyph = Glyph{};
    const FT_UInt index = unicode ? FT_Get_Char_Index(face, unicode) : 0;
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph->advance = static_cast<float>((slot->advance.x + 32) >> 6);
    const int width = static_cast<int>(bitmap.width);
    const int height = static_cast<int>(bitmap.rows);
    if (width == 0 || height == 0) return;
    glyph->width = width;
    glyph->height = height;
    glyph->xOrigin = static_cast<float>(-slot->bitmap_left);
    glyph->yOrigin = static_cast<float>(height - slot->bitmap_top);
    const int stride = (width + 7) / 8;
    glyph->rows.assign(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        unsigned char* target = glyph->rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const bool on = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                ? (source[x / 8] & (0x80 >> (x % 8))) != 0
                                : source[x] >= 128;
            if (on) target[x / 8] = static_cast<unsigned char>(target[x / 8] | (0x80 >> (x % 8)));
        }
    }
}
}  // namespace

bool rasteriseGlyphs(std::uint32_t first, std::uint32_t count, std::vector<Glyph>* glyphs) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return false;
    FT_Face face;
    if (!openSystemFont(library, &face)) {
        FT_Done_FreeType(library);
        return false;
    }
    glyphs->resize(count);
    for (std::uint32_t i = 0; i < count; ++i)
        rasteriseGlyph(face, unicodeOfWindows1252(first + i), &(*glyphs)[i]);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

bool compileGlyphBitmaps(const Glyph* glyphs, std::uint32_t count, std::uint32_t listBase) {
    for (int drained = 0; drained < 16 && glGetError() != GL_NO_ERROR; ++drained) {
    }
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, GL_FALSE);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    for (std::uint32_t i = 0; i < count; ++i) {
        const Glyph& glyph = glyphs[i];
        glNewList(listBase + i, GL_COMPILE);
        glBitmap(glyph.width, glyph.height, glyph.xOrigin, glyph.yOrigin, glyph.advance, 0,
                 glyph.rows.empty() ? kEmptyBitmap : glyph.rows.data());
        glEndList();
    }
    glPopClientAttrib();
    return glGetError() == GL_NO_ERROR;
}

bool compileGlyphLists(std::uint32_t first, std::uint32_t count, std::uint32_t listBase) {
    std::vector<Glyph> glyphs;
    return rasteriseGlyphs(first, count, &glyphs) && compileGlyphBitmaps(glyphs.data(), count, listBase);
}

}  // namespace sdlLayer
