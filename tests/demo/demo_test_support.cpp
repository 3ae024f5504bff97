#include "tests/demo/demo_test_support.h"

#include "planet/mesh.h"

int g_fakePlanetBuilds = 0;

// One empty list, named by glGenLists as the real builder's is.
std::uint32_t buildPlanetList() {
    ++g_fakePlanetBuilds;
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();
    return list;
}

void DemoTest::SetUp() {
    saved_.yaw = g_camYaw;
    saved_.pitch = g_camPitch;
    saved_.lightAngle = g_lightAngle;
    saved_.pos = g_camPos;
    saved_.dir = g_camDir;
    saved_.planetList = g_planetList;
    saved_.fontBase = g_fontBase;
    std::memcpy(saved_.keys, g_keys, sizeof g_keys);
    scriptedReset();
    g_settings = ShellSettings{};
    g_frameTime = 0.0;
    g_fps = 0.0;
    g_fakePlanetBuilds = 0;
}

void DemoTest::TearDown() {
    shellCloseWindow();
    g_window = nullptr;
    g_camYaw = saved_.yaw;
    g_camPitch = saved_.pitch;
    g_lightAngle = saved_.lightAngle;
    g_camPos = saved_.pos;
    g_camDir = saved_.dir;
    g_planetList = saved_.planetList;
    g_fontBase = saved_.fontBase;
    std::memcpy(g_keys, saved_.keys, sizeof g_keys);
}

void DemoTest::openWindow() {
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    ASSERT_EQ(g_settings.width, 1024u);
    ASSERT_EQ(g_settings.height, 768u);
    scriptedClearCalls();
    glRecorderReset();
    glRecorderSetViewport(0, 0, 1024, 768);
    g_frameTime = 0.0;
    g_fps = 0.0;
}
