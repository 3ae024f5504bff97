// A Windows GUI-subsystem program that writes the shell's log lines, run under Wine
// by the Linux test suite: its lines must reach standard output (a pipe there), in
// full and in order, and its exit status must be what the shell's entry returns.
//
// The entry ignores its command line, so the case to play is read from the process's
// own command line: "fatal" ends the program with a fatal line, anything else logs
// one line per other level and returns 7 from appMain.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "shell/app.h"

namespace {
void announceExit() {
    std::printf("exit handlers ran\n");
}
}  // namespace

int appMain() {
    std::atexit(announceExit);
    if (std::strstr(GetCommandLineA(), " fatal")) {
        shellLog(logRemark, "before the end");
        shellLog(logFatal, "cannot go on");
        shellLog(logRemark, "after the end");  // not reached
        return 9;
    }
    shellLog(logRemark, "remark line");
    shellLog(logWarning, "Can't set device mode 640x480x16");
    shellLog(logError, "");
    return 7;
}
