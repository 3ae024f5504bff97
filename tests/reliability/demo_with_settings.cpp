// The real demo (its appMain, the shell and the Linux platform layer) with some of
// its settings changed before it starts, so that the fault tests can ask for what
// the demo itself never asks for: an impossible pixel format, a display size or
// depth that no listed mode has.
//
// The changes come from the environment variable DEMO_SETTINGS, a list of
// field=value words separated by spaces, read by a static initialiser of this file:
// g_settings is constant-initialised, so this runs after its defaults are in place
// and before the platform's main() calls WinMain. appMain then writes its own two
// fields (displayFrequency, swapInterval) as usual. An unknown field or a value
// that is not a number ends the program with status 2 before anything starts.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

#include "shell/app.h"

namespace {

bool setField(const std::string& name, long value) {
    struct Field {
        const char* name;
        void (*set)(long);
    };
    static const Field kFields[] = {
        {"width", [](long v) { g_settings.width = static_cast<std::uint32_t>(v); }},
        {"height", [](long v) { g_settings.height = static_cast<std::uint32_t>(v); }},
        {"bitsPerPixel", [](long v) { g_settings.bitsPerPixel = static_cast<std::uint32_t>(v); }},
        {"colorBits", [](long v) { g_settings.colorBits = static_cast<std::int32_t>(v); }},
        {"depthBits", [](long v) { g_settings.depthBits = static_cast<std::int32_t>(v); }},
        {"alphaBits", [](long v) { g_settings.alphaBits = static_cast<std::int32_t>(v); }},
        {"accumBits", [](long v) { g_settings.accumBits = static_cast<std::int32_t>(v); }},
        {"stencilBits", [](long v) { g_settings.stencilBits = static_cast<std::int32_t>(v); }},
        {"pixelFormatFlags",
         [](long v) { g_settings.pixelFormatFlags = static_cast<std::uint32_t>(v); }},
        {"fullscreen", [](long v) { g_settings.fullscreen = v != 0; }},
    };
    for (const Field& field : kFields) {
        if (name == field.name) {
            field.set(value);
            return true;
        }
    }
    return false;
}

bool applySettings() {
    const char* text = std::getenv("DEMO_SETTINGS");
    if (!text) return true;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        char* end = nullptr;
        const long value =
            equals == std::string::npos ? 0 : std::strtol(word.c_str() + equals + 1, &end, 0);
        if (equals == std::string::npos || !end || *end ||
            !setField(word.substr(0, equals), value)) {
            std::fprintf(stderr, "demo_with_settings: bad setting \"%s\"\n", word.c_str());
            std::exit(2);
        }
    }
    return true;
}

[[maybe_unused]] const bool s_settingsApplied = applySettings();

}  // namespace
