// The Linux layer's text rules: the command line handed to WinMain, and
// Windows-1252 as Unicode.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/platform/sdl/text.h"

namespace {
using Args = std::vector<std::string>;

std::string lineOf(const Args& args) {
    std::vector<const char*> argv = {"program"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    return sdlLayer::commandLineOf(static_cast<int>(argv.size()), argv.data());
}

TEST(PlatformText, CommandLineQuotesAsTheCRuntimeReadsIt) {
    const struct {
        Args args;
        const char* line;
    } cases[] = {
        {{}, ""},
        {{"a", "b"}, "a b"},
        {{"two words"}, "\"two words\""},
        {{""}, "\"\""},
        {{"", "x", ""}, "\"\" x \"\""},
        {{"tab\there"}, "\"tab\there\""},
        {{"say \"hi\""}, "\"say \\\"hi\\\"\""},
        {{"a\"b"}, "\"a\\\"b\""},
        // Backslashes are literal unless a quote follows them.
        {{"c:\\dir\\file"}, "c:\\dir\\file"},
        {{"c:\\my dir\\"}, "\"c:\\my dir\\\\\""},
        {{"back\\\"quote"}, "\"back\\\\\\\"quote\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(lineOf(c.args), c.line);
        EXPECT_EQ(sdlLayer::splitCommandLine(c.line), c.args) << c.line;
    }
}

TEST(PlatformText, ArgumentsComeBackUnchanged) {
    const Args cases[] = {
        {"plain", "--flag=value", "-x"},
        {" leading", "trailing ", "  ", "\t"},
        {"\\", "\\\\", "a\\", "a\\\\", "\\\"", "\\\\\""},
        {"\"", "\"\"", "\"quoted\"", "in\"side", "end\""},
        {"new\nline", "vertical\vtab", "mixed \\\" \t\\\\ \""},
        {"", "", ""},
        {"caf\xc3\xa9", "\xe2\x82\xac 5"},
    };
    for (const Args& args : cases) EXPECT_EQ(sdlLayer::splitCommandLine(lineOf(args).c_str()), args);
}

TEST(PlatformText, ParsesLinesWrittenByOthers) {
    const struct {
        const char* line;
        Args args;
    } cases[] = {
        {"  a   b\t\tc  ", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\"b c\"d", {"ab cd"}},
        {"a\\\\\\\"b", {"a\\\"b"}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"\"unclosed quote", {"unclosed quote"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(sdlLayer::splitCommandLine(c.line), c.args) << c.line;
    EXPECT_TRUE(sdlLayer::splitCommandLine(nullptr).empty());
}

TEST(PlatformText, Windows1252AsUnicode) {
    const struct {
        std::uint32_t code;
        std::uint32_t unicode;
    } cases[] = {
        {0, 0},         {0x1F, 0},      {' ', ' '},     {'A', 'A'},      {'~', '~'},
        {0x7F, 0},      {0x80, 0x20AC}, {0x81, 0},      {0x82, 0x201A},  {0x8C, 0x0152},
        {0x8D, 0},      {0x8E, 0x017D}, {0x8F, 0},      {0x90, 0},       {0x91, 0x2018},
        {0x96, 0x2013}, {0x99, 0x2122}, {0x9D, 0},      {0x9F, 0x0178},  {0xA0, 0xA0},
        {0xE9, 0xE9},   {0xFF, 0xFF},   {0x100, 0},     {0x20AC, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sdlLayer::unicodeOfWindows1252(c.code), c.unicode) << std::hex << c.code;
}
}  // namespace
