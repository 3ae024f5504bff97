// Text rules: the command line handed to WinMain, and the code page of the font
// lists. Pure: no display, no SDL; called directly by the unit tests.
//
// Provides:
// - commandLineOf: the arguments after the program name joined into one line with
//   the quoting of the Microsoft C runtime, so that its parser (splitCommandLine)
//   gives back the same arguments: an argument with a blank, a tab, a newline, a
//   vertical tab or a double quote, and the empty argument, goes in double quotes;
//   inside them a quote is written \" and the backslashes right before a quote or
//   before the closing quote are doubled; other backslashes stay as they are.
// - splitCommandLine: that parser for the part after the program name: blanks and
//   tabs separate arguments outside quotes; 2n backslashes before a quote give n
//   backslashes and the quote opens or closes a quoted part, 2n + 1 give n and a
//   literal quote; backslashes before anything else are literal.
// - unicodeOfWindows1252: the Unicode character of a Windows-1252 code, 0 for the
//   codes without a printable character: 0-31, 127, the five holes of the code page
//   (0x81, 0x8D, 0x8F, 0x90, 0x9D) and codes above 255.
//
// Leaves out: the runtime's later rule for "" inside a quoted part (commandLineOf
// never writes one there).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sdlLayer {

std::string commandLineOf(int argc, const char* const* argv);
std::vector<std::string> splitCommandLine(const char* line);
std::uint32_t unicodeOfWindows1252(std::uint32_t code);

}  // namespace sdlLayer
