// What the demo's unit tests share: a fixture that starts every test from the demo's
// initial state on a fresh scripted platform and GL recorder, and puts the state
// back afterwards; and the stand-in planet that the tests link in place of the real
// one (the planet has tests of its own; here only its list name matters).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "demo/frame.h"
#include "demo/input.h"
#include "shell/app.h"
#include "shell/pump.h"
#include "shell/window.h"
#include "tests/support/gl_recorder.h"
#include "tests/support/scripted_platform.h"

// How often the stand-in buildPlanetList ran since the last reset.
extern int g_fakePlanetBuilds;

class DemoTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // shellOpenWindow("test", 0) on the scripted platform (a 1024x768 display),
    // asserted to succeed; then no platform or GL calls recorded, a 1024x768
    // viewport and the timer's counter in use.
    void openWindow();

private:
    struct Saved {
        float yaw, pitch, lightAngle;
        Vec3 pos, dir;
        std::uint32_t planetList, fontBase;
        unsigned char keys[kKeyCount];
    };
    Saved saved_;
};

inline std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Redirects std::cout into a string for its lifetime.
class CoutCapture {
public:
    CoutCapture() : previous_(std::cout.rdbuf(buffer_.rdbuf())) {}
    ~CoutCapture() { std::cout.rdbuf(previous_); }
    std::string text() const { return buffer_.str(); }

private:
    std::ostringstream buffer_;
    std::streambuf* previous_;
};
