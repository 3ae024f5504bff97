// Process entry and diagnostic log.
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>

#include "tests/shell/shell_test_support.h"

namespace {

using AppTest = ShellTest;

struct LineCase {
    const char* label;
    int level;
    const char* message;
    const char* expected;
};

const LineCase kLineCases[] = {
    {"error", logError, "disk on fire", "Error: disk on fire\n"},
    {"warning", logWarning, "Can't set device mode 1024x768x32",
     "Warning: Can't set device mode 1024x768x32\n"},
    {"remark", logRemark, "hello", "Remark: hello\n"},
    {"empty message", logWarning, "", "Warning: \n"},
    {"message kept unchanged", logRemark, "100% %s %i\t: x", "Remark: 100% %s %i\t: x\n"},
    {"null message as empty", logError, nullptr, "Error: \n"},
    // Levels beyond the name table print as errors instead of reading past it.
    {"level above the table", 4, "odd", "Error: odd\n"},
    {"negative level", -1, "odd", "Error: odd\n"},
};

TEST_F(AppTest, LogWritesOneFlushedLinePerMessage) {
    for (const LineCase& c : kLineCases) {
        SCOPED_TRACE(c.label);
        CoutCapture capture;
        shellLog(static_cast<LogLevel>(c.level), c.message);
        EXPECT_EQ(capture.text(), c.expected);
        // Flushed before shellLog returned, with the whole line in the buffer.
        EXPECT_GE(capture.flushes(), 1);
        EXPECT_EQ(capture.atLastFlush(), c.expected);
    }
}

TEST_F(AppTest, LogLinesFollowEachOtherWithoutDecoration) {
    CoutCapture capture;
    shellLog(logRemark, "one");
    shellLog(logWarning, "two");
    EXPECT_EQ(capture.text(), "Remark: one\nWarning: two\n");
}

TEST_F(AppTest, LogRecoversAfterAFailedWrite) {
    CoutCapture capture;
    std::cout.setstate(std::ios::badbit);  // as after a write to a closed stream
    shellLog(logWarning, "lost");
    shellLog(logWarning, "kept");
    EXPECT_EQ(capture.text(), "Warning: kept\n");
    std::cout.clear();
}

// The fatal level ends the process through std::exit with status 1 once the line
// is out in full: the child sends its standard output to a file and registers an
// exit handler that appends a marker, so the file shows the line, then the
// handler, in that order.
std::string s_fatalOutput;

void markExitHandler() {
    const char marker[] = "exit handlers ran\n";
    ssize_t written = write(STDOUT_FILENO, marker, sizeof marker - 1);
    (void)written;
}

void logFatalInto(const std::string& path) {
    std::fflush(stdout);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) std::_Exit(99);
    std::atexit(markExitHandler);
    shellLog(logFatal, "cannot go on");
    std::_Exit(98);  // not reached when the fatal level ends the process
}

TEST_F(AppTest, FatalLogEndsTheProcessWithStatusOneAfterTheLine) {
    const std::string path = ::testing::TempDir() + "shell_fatal_log_" + std::to_string(getpid());
    EXPECT_EXIT(logFatalInto(path), ::testing::ExitedWithCode(1), "");
    std::ifstream file(path);
    std::string written((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, "Fatal Error: cannot go on\nexit handlers ran\n");
    std::remove(path.c_str());
}

struct EntryCase {
    int appResult;
    const char* commandLine;
    int showCommand;
};

TEST_F(AppTest, WinMainStoresTheInstanceAndReturnsAppMainsResult) {
    const EntryCase cases[] = {
        {0, "", SW_SHOWDEFAULT},
        {1, "--fullscreen=no", 0},
        {42, "a b c", 3},
        {-7, "", 1},
    };
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(std::uintptr_t{0x7770000});
    for (const EntryCase& c : cases) {
        SCOPED_TRACE(c.appResult);
        g_instance = nullptr;
        int calls = 0;
        HINSTANCE seen = nullptr;
        g_testAppMain = [&] {
            ++calls;
            seen = g_instance;
            return c.appResult;
        };
        std::string commandLine = c.commandLine;
        EXPECT_EQ(WinMain(instance, nullptr, commandLine.data(), c.showCommand), c.appResult);
        EXPECT_EQ(calls, 1);
        EXPECT_EQ(seen, instance);  // stored before appMain runs
        EXPECT_EQ(g_instance, instance);
        // The entry itself touches neither the window nor the display.
        EXPECT_TRUE(g_scripted.calls.empty());
    }
}

TEST(SettingsTest, DefaultsAskForTheDesktopModeDoubleBufferedWithoutTouchingTheSwapInterval) {
    const ShellSettings s;
    EXPECT_TRUE(s.fullscreen);
    EXPECT_EQ(s.swapInterval, 2);
    EXPECT_EQ(s.pixelFormatFlags, PFD_DOUBLEBUFFER);
    EXPECT_EQ(s.colorBits, 32);
    EXPECT_EQ(s.depthBits, 24);
    EXPECT_EQ(s.alphaBits, 0);
    EXPECT_EQ(s.accumBits, 0);
    EXPECT_EQ(s.stencilBits, 0);
    EXPECT_EQ(s.width, 0u);
    EXPECT_EQ(s.height, 0u);
    EXPECT_EQ(s.bitsPerPixel, 0u);
    EXPECT_EQ(s.displayFrequency, 0u);
}

}  // namespace
