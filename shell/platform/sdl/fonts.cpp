// Fonts: the stock objects and the font lists.
//
// Provides:
// - GetStockObject for WHITE_BRUSH, BLACK_BRUSH and SYSTEM_FONT; SelectObject of
//   those into a DC (every DC starts with the system font and the white brush, as
//   on Windows) returns what was selected before.
// - wglUseFontBitmapsA with the system font selected: the glyph lists of glyphs.h
//   into the current context. FALSE when no font can be loaded or no context is
//   current. The system font's codes 0-255 are rasterised once, on a thread of
//   their own started with the first GL context (prepareSystemFont): fontconfig
//   and FreeType take about as long as a display list of the program's, and the
//   lists then only wait for what is not ready yet.
//
// Leaves out: no other fonts or brushes; brushes are never painted.
#include "shell/platform/sdl/glyphs.h"
#include "shell/platform/sdl/state.h"

namespace sdlLayer {
namespace {
constexpr std::uint32_t kSystemCodes = 256;
}  // namespace

void prepareSystemFont() {
    if (g_layer.systemGlyphsStarted) return;
    g_layer.systemGlyphsStarted = true;
    g_layer.systemGlyphsComing = std::async(std::launch::async, [] {
        std::vector<Glyph> glyphs;
        if (!rasteriseGlyphs(0, kSystemCodes, &glyphs)) glyphs.clear();
        return glyphs;
    });
}

}  // namespace sdlLayer

using namespace sdlLayer;

HGDIOBJ WINAPI GetStockObject(int object) {
    switch (object) {
        case WHITE_BRUSH: return &g_layer.whiteBrush;
        case BLACK_BRUSH: return &g_layer.blackBrush;
        case SYSTEM_FONT: return &g_layer.systemFont;
        default: return nullptr;
    }
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    if (!isOurDc(dc)) return nullptr;
    HGDIOBJ previous;
    if (object == &g_layer.systemFont) {
        previous = dc->font;
        dc->font = object;
    } else if (object == &g_layer.whiteBrush || object == &g_layer.blackBrush) {
        previous = dc->brush;
        dc->brush = object;
    } else {
        return nullptr;
    }
    return previous;
}

BOOL WINAPI wglUseFontBitmapsA(HDC dc, DWORD first, DWORD count, DWORD listBase) {
    if (!isOurDc(dc) || !videoRunning() || !SDL_GL_GetCurrentContext()) return FALSE;
    if (dc->font != &g_layer.systemFont) return FALSE;
    if (first >= kSystemCodes || count > kSystemCodes - first)
        return compileGlyphLists(first, count, listBase) ? TRUE : FALSE;
    prepareSystemFont();
    if (g_layer.systemGlyphsComing.valid()) g_layer.systemGlyphs = g_layer.systemGlyphsComing.get();
    if (g_layer.systemGlyphs.empty()) return FALSE;  // no font: said on standard error
    return compileGlyphBitmaps(g_layer.systemGlyphs.data() + first, count, listBase) ? TRUE : FALSE;
}
