#include "shell/platform/sdl/text.h"

#include <cstring>

namespace sdlLayer {

std::string commandLineOf(int argc, const char* const* argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        const char* arg = argv[i];
        if (*arg && !std::strpbrk(arg, " \t\n\v\"")) {
            line += arg;
            continue;
        }
        line += '"';
        std::size_t backslashes = 0;
        for (const char* c = arg; *c; ++c) {
            if (*c == '\\') {
                ++backslashes;
                continue;
            }
            line.append(*c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
            backslashes = 0;
            line += *c;
        }
        line.append(2 * backslashes, '\\');
        line += '"';
    }
    return line;
}

std::vector<std::string> splitCommandLine(const char* line) {
    std::vector<std::string> args;
    if (!line) return args;
    std::string arg;
    bool inArg = false, quoted = false;
    for (const char* c = line; *c;) {
        if (!quoted && (*c == ' ' || *c == '\t')) {
            if (inArg) args.push_back(arg);
            arg.clear();
            inArg = false;
            ++c;
            continue;
        }
        inArg = true;
        if (*c == '\\') {
            std::size_t backslashes = 0;
            while (*c == '\\') {
                ++backslashes;
                ++c;
            }
            if (*c == '"') {
                arg.append(backslashes / 2, '\\');
                if (backslashes % 2) {
                    arg += '"';
                    ++c;
                }
            } else {
                arg.append(backslashes, '\\');
            }
            continue;
        }
        if (*c == '"') {
            quoted = !quoted;
            ++c;
            continue;
        }
        arg += *c++;
    }
    if (inArg) args.push_back(arg);
    return args;
}

std::uint32_t unicodeOfWindows1252(std::uint32_t code) {
    static const std::uint16_t kHigh[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
    };
    if (code < 32 || code == 127 || code > 255) return 0;
    if (code >= 128 && code < 160) return kHigh[code - 128];
    return code;
}

}  // namespace sdlLayer
