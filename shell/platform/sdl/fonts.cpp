// Fonts: the stock objects and the font lists.
//
// Provides:
// - GetStockObject for WHITE_BRUSH, BLACK_BRUSH and SYSTEM_FONT; SelectObject of
//   those into a DC (every DC starts with the system font and the white brush, as
//   on Windows) returns what was selected before.
// - wglUseFontBitmapsA with the system font selected: the glyph lists of glyphs.h
//   into the current context. FALSE when no font can be loaded or no context is
//   current.
//
// Leaves out: no other fonts or brushes; brushes are never painted.
#include "shell/platform/sdl/glyphs.h"
#include "shell/platform/sdl/state.h"

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
    return compileGlyphLists(first, count, listBase) ? TRUE : FALSE;
}
