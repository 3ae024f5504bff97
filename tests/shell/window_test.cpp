// Window, full-screen display mode, pixel format and GL context.
#include <cstring>

#include "tests/shell/shell_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

using WindowTest = ShellTest;

std::vector<DWORD> frequenciesOf(const std::vector<DEVMODEA>& modes) {
    std::vector<DWORD> result;
    for (const DEVMODEA& mode : modes) result.push_back(mode.dmDisplayFrequency);
    return result;
}

std::vector<GlCall> glCallsOf(GlOp op) {
    std::vector<GlCall> result;
    for (const GlCall& call : glRecorderCalls())
        if (call.op == op) result.push_back(call);
    return result;
}

// --- Choosing the full-screen mode -----------------------------------------------

struct ModeCase {
    const char* name;
    std::vector<ScriptedMode> modes;
    DWORD expectedFrequency;
    DWORD expectedTag;
    std::vector<DWORD> tested;  // rates handed to CDS_TEST, in order
};

class ModeChoiceTest : public ShellTest, public ::testing::WithParamInterface<ModeCase> {};

const LONG kFails = DISP_CHANGE_BADMODE;

const ModeCase kModeCases[] = {
    {"rising_60_75_85_takes_85",
     {desktopSized(60), desktopSized(75), desktopSized(85)}, 85, 0, {60, 75, 85}},
    {"rising_60_100_120_takes_100",
     {desktopSized(60), desktopSized(100), desktopSized(120)}, 100, 0, {60, 100}},
    {"only_above_120_144_takes_the_lowest",
     {desktopSized(120), desktopSized(144)}, 120, 0, {120}},
    {"other_sizes_and_depths_are_passed_over",
     {{800, 600, 32, 100}, {1024, 768, 16, 100}, {1280, 768, 32, 100}, {1024, 600, 32, 100},
      desktopSized(60), {1024, 768, 24, 85}},
     60, 0, {60}},
    {"taken_above_not_displaced_by_later_below",
     {desktopSized(120), desktopSized(85)}, 120, 0, {120}},
    {"equal_rate_below_later_replaces_earlier",
     {desktopSized(85, DISP_CHANGE_SUCCESSFUL, 1), desktopSized(85, DISP_CHANGE_SUCCESSFUL, 2)},
     85, 2, {85, 85}},
    {"equal_rate_above_earlier_stays",
     {desktopSized(120, DISP_CHANGE_SUCCESSFUL, 1), desktopSized(120, DISP_CHANGE_SUCCESSFUL, 2)},
     120, 1, {120}},
    // A rate equal to the wish counts as not above it: it cannot displace a taken
    // higher rate, and a later equal one replaces it.
    {"rate_equal_to_wish_does_not_displace_higher",
     {desktopSized(120), desktopSized(100)}, 120, 0, {120}},
    {"rate_equal_to_wish_later_replaces_earlier",
     {desktopSized(100, DISP_CHANGE_SUCCESSFUL, 1), desktopSized(100, DISP_CHANGE_SUCCESSFUL, 2)},
     100, 2, {100, 100}},
    {"failing_test_below_never_counts",
     {desktopSized(60), desktopSized(85, kFails), desktopSized(75)}, 75, 0, {60, 85, 75}},
    {"failing_test_below_leaves_the_rate_above",
     {desktopSized(100, kFails), desktopSized(120)}, 120, 0, {100, 120}},
    {"failing_test_above_never_counts",
     {desktopSized(120, kFails), desktopSized(144)}, 144, 0, {120, 144}},
    // Listed highest first, as the SDL layer lists them.
    {"descending_85_75_60_takes_85",
     {desktopSized(85), desktopSized(75), desktopSized(60)}, 85, 0, {85}},
    {"descending_144_120_takes_120",
     {desktopSized(144), desktopSized(120)}, 120, 0, {144, 120}},
    {"descending_full_list_takes_85",
     {{1280, 1024, 32, 85}, {1280, 1024, 32, 60}, desktopSized(85), desktopSized(75),
      desktopSized(70), desktopSized(60), {800, 600, 32, 85}},
     85, 0, {85}},
    // With rates on both sides of the wish the order decides: a rate above it that
    // comes first is taken and a later one below it does not displace it.
    {"descending_120_100_60_keeps_120",
     {desktopSized(120), desktopSized(100), desktopSized(60)}, 120, 0, {120}},
};

TEST_P(ModeChoiceTest, AppliesTheChosenListedMode) {
    const ModeCase& c = GetParam();
    g_scripted.modes = c.modes;
    g_settings.displayFrequency = 100;
    CoutCapture capture;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);

    EXPECT_EQ(frequenciesOf(g_scripted.testedModes), c.tested);
    ASSERT_EQ(g_scripted.fullscreenModes.size(), 1u);
    const DEVMODEA& applied = g_scripted.fullscreenModes[0];
    EXPECT_EQ(applied.dmDisplayFrequency, c.expectedFrequency);
    EXPECT_EQ(applied.dmDisplayFlags, c.expectedTag);  // which of two equal records
    EXPECT_EQ(applied.dmSize, 148);
    EXPECT_EQ(applied.dmPelsWidth, 1024u);
    EXPECT_EQ(applied.dmPelsHeight, 768u);
    EXPECT_EQ(applied.dmBitsPerPel, 32u);

    EXPECT_EQ(g_settings.width, 1024u);
    EXPECT_EQ(g_settings.height, 768u);
    EXPECT_EQ(g_settings.bitsPerPixel, 32u);
    EXPECT_EQ(g_settings.displayFrequency, c.expectedFrequency);
    EXPECT_EQ(capture.text(), "");

    // Every mode listed once, by index from 0 until the list ends, each time into a
    // record sized 148; then the window is fitted and the mode applied.
    std::vector<std::string> listing;
    for (const std::string& line : g_scripted.log)
        if (scriptedName(line) == "EnumDisplaySettingsA") listing.push_back(line);
    ASSERT_EQ(listing.size(), c.modes.size() + 1);
    for (std::size_t i = 0; i < listing.size(); ++i)
        EXPECT_EQ(listing[i], "EnumDisplaySettingsA(NULL, " + std::to_string(i) + ", dmSize=148)");
    long move = scriptedFind("MoveWindow(0x1001, 0, 0, 1024, 768, 0)");
    long apply = scriptedFind("ChangeDisplaySettingsA(CDS_FULLSCREEN, 1024x768x32@" +
                              std::to_string(c.expectedFrequency) + ")");
    EXPECT_GT(move, scriptedFind("EnumDisplaySettingsA(NULL, " +
                                 std::to_string(c.modes.size()) + ", dmSize=148)"));
    EXPECT_GT(apply, move);
}

INSTANTIATE_TEST_SUITE_P(Listings, ModeChoiceTest, ::testing::ValuesIn(kModeCases),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindowTest, NoWishedRateSetsTheModeBySizeAndDepthWithoutListing) {
    g_scripted.modes = {desktopSized(60), desktopSized(85)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(scriptedCount("EnumDisplaySettingsA"), 0);
    EXPECT_TRUE(g_scripted.testedModes.empty());
    ASSERT_EQ(g_scripted.fullscreenModes.size(), 1u);
    DEVMODEA expected;
    std::memset(&expected, 0, sizeof expected);
    expected.dmSize = 148;
    expected.dmFields = 0x1c0000;
    expected.dmPelsWidth = 1024;
    expected.dmPelsHeight = 768;
    expected.dmBitsPerPel = 32;
    EXPECT_EQ(std::memcmp(&g_scripted.fullscreenModes[0], &expected, sizeof expected), 0);
    EXPECT_EQ(g_settings.displayFrequency, 0u);
}

struct NoFitCase {
    const char* label;
    std::vector<ScriptedMode> modes;
    DWORD width, height, bitsPerPixel;
    const char* warning;
};

TEST_F(WindowTest, WithoutAFittingModeWarnsOnceAndAppliesTheDesktopMode) {
    const NoFitCase cases[] = {
        {"no mode of the wanted size",
         {desktopSized(60), {1600, 1200, 16, 60}, {1600, 1024, 32, 60}},
         1600, 1200, 32, "Warning: Can't set device mode 1600x1200x32\n"},
        {"every matching mode fails the test",
         {desktopSized(60, kFails), desktopSized(85, kFails), {800, 600, 32, 85}},
         0, 0, 0, "Warning: Can't set device mode 1024x768x32\n"},
        {"empty list", {}, 640, 480, 8, "Warning: Can't set device mode 640x480x8\n"},
    };
    for (const NoFitCase& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        g_scripted.modes = c.modes;
        g_scripted.desktopMode = g_scripted.currentMode = {1024, 768, 32, 75, 0, 9};
        g_settings.width = c.width;
        g_settings.height = c.height;
        g_settings.bitsPerPixel = c.bitsPerPixel;
        g_settings.displayFrequency = 100;
        CoutCapture capture;
        ASSERT_EQ(shellOpenWindow("test", 0), 1);

        EXPECT_EQ(capture.text(), c.warning);
        EXPECT_GE(scriptedFind("EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, dmSize=148)"), 0);
        ASSERT_EQ(g_scripted.fullscreenModes.size(), 1u);
        EXPECT_EQ(g_scripted.fullscreenModes[0].dmDisplayFlags, 9u);  // the desktop's record
        EXPECT_EQ(g_settings.width, 1024u);
        EXPECT_EQ(g_settings.height, 768u);
        EXPECT_EQ(g_settings.bitsPerPixel, 32u);
        EXPECT_EQ(g_settings.displayFrequency, 75u);
        EXPECT_GE(scriptedFind("MoveWindow(0x1001, 0, 0, 1024, 768, 0)"), 0);
        auto viewports = glCallsOf(GlOp::Viewport);
        ASSERT_EQ(viewports.size(), 1u);
        EXPECT_EQ(viewports[0].i[2], 1024);
        EXPECT_EQ(viewports[0].i[3], 768);
    }
}

TEST_F(WindowTest, WithoutTheDesktopModeEitherTheDisplayStaysAsItIs) {
    g_scripted.currentModeResult = FALSE;
    g_settings.displayFrequency = 100;
    CoutCapture capture;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(capture.text(), "Warning: Can't set device mode 1024x768x32\n");
    EXPECT_TRUE(g_scripted.fullscreenModes.empty());
    EXPECT_EQ(scriptedCount("MoveWindow"), 0);
    EXPECT_EQ(g_settings.width, 1024u);
    EXPECT_EQ(g_settings.height, 768u);
    EXPECT_EQ(g_settings.displayFrequency, 100u);
}

// --- Settings filled in, styles and records passed -------------------------------

TEST_F(WindowTest, ZeroSizeAndDepthAreTakenFromTheScreen) {
    g_scripted.screenWidth = 1280;
    g_scripted.screenHeight = 1024;
    g_scripted.desktopBits = 24;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(g_settings.width, 1280u);
    EXPECT_EQ(g_settings.height, 1024u);
    EXPECT_EQ(g_settings.bitsPerPixel, 24u);
    EXPECT_GE(scriptedFind("CreateWindowExA(0x40008, test, test, 0x96000000, 0, 0, 1280, 1024, "
                           "NULL, NULL, 0x400000, NULL)"),
              0);
    // The desktop's device context is given back.
    EXPECT_GT(scriptedFind("ReleaseDC(0x1000, 0x2000)"), scriptedFind("GetDeviceCaps(0x2000, 12)"));
}

TEST_F(WindowTest, SizeAndDepthGivenByTheApplicationAreKept) {
    g_settings.width = 800;
    g_settings.height = 600;
    g_settings.bitsPerPixel = 16;
    g_settings.fullscreen = false;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(scriptedCount("GetSystemMetrics"), 0);
    EXPECT_EQ(scriptedCount("GetDeviceCaps"), 0);
    EXPECT_EQ(g_settings.width, 800u);
    EXPECT_EQ(g_settings.height, 600u);
    EXPECT_EQ(g_settings.bitsPerPixel, 16u);
    EXPECT_GE(scriptedFind("CreateWindowExA(0x40000, test, test, 0x96000000, 0, 0, 800, 600, "
                           "NULL, NULL, 0x400000, NULL)"),
              0);
}

TEST_F(WindowTest, WindowedModeChangesNoDisplayModeAtOpenOrClose) {
    g_settings.fullscreen = false;
    g_settings.displayFrequency = 100;
    g_scripted.modes = {desktopSized(85)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(scriptedCount("ChangeDisplaySettingsA"), 0);
    EXPECT_EQ(scriptedCount("EnumDisplaySettingsA"), 0);
    EXPECT_EQ(scriptedCount("MoveWindow"), 0);
    EXPECT_TRUE(glCallsOf(GlOp::Viewport).empty());
    EXPECT_EQ(g_settings.displayFrequency, 100u);
    EXPECT_GE(scriptedFind("CreateWindowExA(0x40000, test, test, 0x96000000, 0, 0, 1024, 768, "
                           "NULL, NULL, 0x400000, NULL)"),
              0);
}

TEST_F(WindowTest, OpensInTheOrderThatMakesTheContextLast) {
    g_settings.displayFrequency = 100;
    g_settings.swapInterval = 0;
    g_scripted.modes = {desktopSized(60)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    const std::vector<std::string> expected = {
        "ShowCursor(0)",
        "GetSystemMetrics(0)",
        "GetSystemMetrics(1)",
        "GetDesktopWindow()",
        "GetDC(0x1000)",
        "GetDeviceCaps(0x2000, 12)",
        "ReleaseDC(0x1000, 0x2000)",
        "GetStockObject(4)",
        "RegisterClassA(test)",
        "CreateWindowExA(0x40008, test, test, 0x96000000, 0, 0, 1024, 768, NULL, NULL, 0x400000, "
        "NULL)",
        "GetDC(0x1001)",
        "ChoosePixelFormat(0x2001)",
        "DescribePixelFormat(0x2001, 1, 40)",
        "SetPixelFormat(0x2001, 1)",
        "SetFocus(0x1001)",
        "EnumDisplaySettingsA(NULL, 0, dmSize=148)",
        "ChangeDisplaySettingsA(CDS_TEST, 1024x768x32@60)",
        "EnumDisplaySettingsA(NULL, 1, dmSize=148)",
        "MoveWindow(0x1001, 0, 0, 1024, 768, 0)",
        "ChangeDisplaySettingsA(CDS_FULLSCREEN, 1024x768x32@60)",
        "QueryPerformanceFrequency()",
        "wglCreateContext(0x2001)",
        "wglMakeCurrent(0x2001, 0x3001)",
        "glPixelStorei",
        "glPixelStorei",
        "glViewport",
        "wglGetProcAddress(wglSwapIntervalEXT)",
        "wglSwapIntervalEXT(0)",
    };
    EXPECT_EQ(g_scripted.log, expected);
    EXPECT_EQ(g_window, kScriptedWindow);
    EXPECT_EQ(g_deviceContext, kScriptedWindowDc);
    EXPECT_EQ(g_glContext, kScriptedContext);
    EXPECT_EQ(g_scripted.currentContext, kScriptedContext);
    EXPECT_EQ(g_scripted.cursorCount, -1);
}

TEST_F(WindowTest, GlStateAfterTheOpen) {
    g_scripted.screenWidth = 1280;
    g_scripted.screenHeight = 720;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    auto stores = glCallsOf(GlOp::PixelStorei);
    ASSERT_EQ(stores.size(), 2u);
    EXPECT_EQ(stores[0].i[0], GL_UNPACK_ALIGNMENT);
    EXPECT_EQ(stores[0].i[1], 1);
    EXPECT_EQ(stores[1].i[0], GL_PACK_ALIGNMENT);
    EXPECT_EQ(stores[1].i[1], 1);
    auto viewports = glCallsOf(GlOp::Viewport);
    ASSERT_EQ(viewports.size(), 1u);
    EXPECT_EQ(viewports[0].i[0], 0);
    EXPECT_EQ(viewports[0].i[1], 0);
    EXPECT_EQ(viewports[0].i[2], 1280);
    EXPECT_EQ(viewports[0].i[3], 720);
}

TEST_F(WindowTest, RegistersTheClassWithTheShellsProcedure) {
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    const WNDCLASSA& c = g_scripted.registeredClass;
    EXPECT_EQ(c.style, 35u);
    EXPECT_EQ(c.lpfnWndProc, &shellWindowProc);
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 0);
    EXPECT_EQ(c.hInstance, kScriptedInstance);
    EXPECT_EQ(c.hIcon, nullptr);
    EXPECT_EQ(c.hCursor, nullptr);
    EXPECT_EQ(c.lpszMenuName, nullptr);
    EXPECT_EQ(g_scripted.registeredClassName, "test");
    EXPECT_EQ(c.hbrBackground, GetStockObject(BLACK_BRUSH));
    EXPECT_EQ(scriptedCount("LoadIconA"), 0);
}

TEST_F(WindowTest, AnIconIdLoadsTheIconFromTheExecutable) {
    ASSERT_EQ(shellOpenWindow("test", 7), 1);
    EXPECT_GE(scriptedFind("LoadIconA(0x400000, 7)"), 0);
    EXPECT_EQ(g_scripted.registeredClass.hIcon, reinterpret_cast<HICON>(std::uintptr_t{0x5007}));
}

struct FormatCase {
    const char* label;
    std::uint32_t flags;
    std::int32_t color, depth, alpha, accum, stencil;
    DWORD expectedFlags;
    BYTE expectedColor, expectedDepth, expectedAlpha, expectedAccum, expectedStencil;
};

TEST_F(WindowTest, PixelFormatRequestCarriesTheSettingsLowBytes) {
    const FormatCase cases[] = {
        {"defaults", PFD_DOUBLEBUFFER, 32, 24, 0, 0, 0, 0x25, 32, 24, 0, 0, 0},
        {"no extra flags", 0, 16, 16, 8, 0, 0, 0x24, 16, 16, 8, 0, 0},
        {"extra flag kept", 0x101, 32, 24, 0, 0, 8, 0x125, 32, 24, 0, 0, 8},
        {"low bytes only", PFD_DOUBLEBUFFER, 0x118, 0x210, 0x108, 0x140, 0x1ff, 0x25, 0x18, 0x10,
         0x08, 0x40, 0xff},
        {"negative", PFD_DOUBLEBUFFER, -1, -8, 0, 0, 0, 0x25, 0xff, 0xf8, 0, 0, 0},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        g_settings.pixelFormatFlags = c.flags;
        g_settings.colorBits = c.color;
        g_settings.depthBits = c.depth;
        g_settings.alphaBits = c.alpha;
        g_settings.accumBits = c.accum;
        g_settings.stencilBits = c.stencil;
        ASSERT_EQ(shellOpenWindow("test", 0), 1);

        PIXELFORMATDESCRIPTOR expected;
        std::memset(&expected, 0, sizeof expected);
        expected.nSize = 40;
        expected.nVersion = 1;
        expected.dwFlags = c.expectedFlags;
        expected.iPixelType = PFD_TYPE_RGBA;
        expected.cColorBits = c.expectedColor;
        expected.cDepthBits = c.expectedDepth;
        expected.cAlphaBits = c.expectedAlpha;
        expected.cAccumBits = c.expectedAccum;
        expected.cStencilBits = c.expectedStencil;
        expected.iLayerType = PFD_MAIN_PLANE;
        const PIXELFORMATDESCRIPTOR& got = g_scripted.chooseRequest;
        EXPECT_EQ(got.nSize, 40);
        EXPECT_EQ(got.dwFlags, c.expectedFlags);
        EXPECT_EQ(got.cColorBits, c.expectedColor);
        EXPECT_EQ(got.cDepthBits, c.expectedDepth);
        EXPECT_EQ(got.cAlphaBits, c.expectedAlpha);
        EXPECT_EQ(got.cAccumBits, c.expectedAccum);
        EXPECT_EQ(got.cStencilBits, c.expectedStencil);
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof expected), 0) << "some other field set";
    }
}

TEST_F(WindowTest, TheFormatIsSetAsDescribed) {
    g_scripted.choosePixelFormatResult = 3;
    g_scripted.describedDepthBits = 32;  // the driver offers more than asked
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_GE(scriptedFind("DescribePixelFormat(0x2001, 3, 40)"), 0);
    EXPECT_GE(scriptedFind("SetPixelFormat(0x2001, 3)"), 0);
    EXPECT_EQ(g_scripted.setDescriptor.cDepthBits, 32);
    EXPECT_EQ(g_scripted.setDescriptor.cColorBits, 32);
}

TEST_F(WindowTest, PixelFormatFailuresAreReportedByShellSetPixelFormatOnly) {
    struct Case {
        const char* label;
        int choose;
        BOOL set;
        int expected;
        bool described;
    };
    const Case cases[] = {
        {"found and set", 1, TRUE, 1, true},
        {"none found", 0, TRUE, 0, false},
        {"not set", 1, FALSE, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        g_scripted.choosePixelFormatResult = c.choose;
        g_scripted.setPixelFormatResult = c.set;
        // The open goes on whatever the format did; the context decides.
        ASSERT_EQ(shellOpenWindow("test", 0), 1);
        EXPECT_EQ(scriptedCount("DescribePixelFormat") == 1, c.described);
        EXPECT_EQ(scriptedCount("SetPixelFormat") == 1, c.described);
        g_scripted.log.clear();
        EXPECT_EQ(shellSetPixelFormat(), c.expected);
    }
}

TEST_F(WindowTest, SwapIntervalIsLookedUpUnlessItIsTwo) {
    struct Case {
        int interval;
        bool offered;
        int lookups;
        const char* call;  // nullptr: no call
    };
    const Case cases[] = {
        {2, true, 0, nullptr},
        {0, true, 1, "wglSwapIntervalEXT(0)"},
        {1, true, 1, "wglSwapIntervalEXT(1)"},
        {-1, true, 1, "wglSwapIntervalEXT(-1)"},
        {0, false, 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        restart();
        g_settings.swapInterval = c.interval;
        g_scripted.swapIntervalOffered = c.offered;
        ASSERT_EQ(shellOpenWindow("test", 0), 1);
        EXPECT_EQ(scriptedCount("wglGetProcAddress"), c.lookups);
        EXPECT_EQ(scriptedCount("wglSwapIntervalEXT"), c.call ? 1 : 0);
        if (c.call) {
            EXPECT_EQ(g_scripted.log.back(), c.call);
        }
    }
}

// --- Failures of the open --------------------------------------------------------

LRESULT CALLBACK countingOnMessage(HWND, UINT message, WPARAM, LPARAM) {
    scriptedNote("app onMessage " + std::to_string(message));
    return 5;
}
void noFrame() {}

TEST_F(WindowTest, RefusedClassShowsTheMessageBoxAndLeavesTheDefaultsInPlace) {
    ShellCallbacks app = {countingOnMessage, noFrame};
    shellSetCallbacks(&app);
    g_scripted.registerClassResult = 0;
    EXPECT_EQ(shellOpenWindow("test", 0), 0);
    EXPECT_EQ(g_scripted.log.back(),
              "MessageBoxA(NULL, Failed To Register The Window Class., Error, 0x10)");
    EXPECT_EQ(scriptedCount("CreateWindowExA"), 0);
    EXPECT_EQ(g_scripted.cursorCount, -1);  // stays hidden
    EXPECT_EQ(g_settings.width, 1024u);
    EXPECT_EQ(g_settings.bitsPerPixel, 32u);
    // The application's pair was replaced by the defaults, which answer 1.
    EXPECT_EQ(shellWindowProc(nullptr, WM_KEYUP, 'A', 0), 1);
    EXPECT_EQ(scriptedCount("app onMessage 257"), 0);
}

TEST_F(WindowTest, MessagesDuringCreationReachTheDefaults) {
    ShellCallbacks app = {countingOnMessage, noFrame};
    shellSetCallbacks(&app);  // too early: the open installs the defaults
    MSG creation = {};
    creation.message = WM_KEYUP;
    creation.wParam = 'A';
    g_scripted.creationMessages = {creation};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    long created = scriptedFind("CreateWindowExA");
    EXPECT_EQ(scriptedFind("DefWindowProcA(0x1001, 0x101, 65, 0)"), created + 1);
    EXPECT_EQ(scriptedCount("app onMessage 257"), 0);
}

struct OpenFailureCase {
    const char* label;
    void (*script)();
    const char* lastCall;        // the open stops right after this call
    bool deviceContextObtained;  // close must give it back
    HGLRC contextLeft;
};

const OpenFailureCase kOpenFailures[] = {
    {"window not created", [] { g_scripted.createWindowFails = true; }, "CreateWindowExA", false,
     nullptr},
    {"no device context", [] { g_scripted.getWindowDcFails = true; }, "GetDC(0x1001)", false,
     nullptr},
    {"context not created", [] { g_scripted.createContextFails = true; }, "wglCreateContext",
     true, nullptr},
    {"context not made current", [] { g_scripted.makeCurrentResult = FALSE; },
     "wglMakeCurrent(0x2001, 0x3001)", true, kScriptedContext},
};

TEST_F(WindowTest, FailuresEndTheOpenWithZeroAndCloseStillCleansUp) {
    for (const OpenFailureCase& c : kOpenFailures) {
        SCOPED_TRACE(c.label);
        restart();
        g_settings.displayFrequency = 100;
        g_scripted.modes = {desktopSized(85)};
        g_scripted.desktopMode = g_scripted.currentMode = {1024, 768, 32, 60, 0, 0};
        c.script();
        EXPECT_EQ(shellOpenWindow("test", 0), 0);
        EXPECT_EQ(scriptedFind(c.lastCall), static_cast<long>(g_scripted.log.size()) - 1);
        EXPECT_TRUE(glRecorderCalls().empty());
        EXPECT_EQ(g_glContext, c.contextLeft);

        g_scripted.log.clear();
        EXPECT_EQ(shellCloseWindow(), 1);
        ASSERT_FALSE(g_scripted.log.empty());
        EXPECT_EQ(g_scripted.log.front(), "ChangeDisplaySettingsA(NULL, 0)");
        EXPECT_EQ(g_scripted.currentMode.frequency, 60u);  // the desktop's mode is back
        EXPECT_EQ(scriptedCount("ReleaseDC"), c.deviceContextObtained ? 1 : 0);
        EXPECT_EQ(scriptedCount("wglDeleteContext"), c.contextLeft ? 1 : 0);
        EXPECT_EQ(g_glContext, nullptr);
        EXPECT_EQ(g_deviceContext, nullptr);
    }
}

// --- Closing ---------------------------------------------------------------------

TEST_F(WindowTest, CloseWithNothingOpenOnlyRestoresTheMode) {
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(g_scripted.log, std::vector<std::string>{"ChangeDisplaySettingsA(NULL, 0)"});
    g_scripted.log.clear();
    g_settings.fullscreen = false;
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_TRUE(g_scripted.log.empty());
}

TEST_F(WindowTest, CloseReleasesEverythingOnceAndCanBeRepeated) {
    g_settings.displayFrequency = 100;
    g_scripted.modes = {desktopSized(85)};
    openWindow();
    EXPECT_EQ(shellCloseWindow(), 1);
    const std::vector<std::string> first = {
        "ChangeDisplaySettingsA(NULL, 0)",
        "wglMakeCurrent(0x2001, NULL)",
        "wglDeleteContext(0x3001)",
        "ReleaseDC(0x1001, 0x2001)",
    };
    EXPECT_EQ(g_scripted.log, first);
    EXPECT_EQ(g_glContext, nullptr);
    EXPECT_EQ(g_deviceContext, nullptr);
    EXPECT_EQ(g_scripted.currentContext, nullptr);

    g_scripted.log.clear();
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(g_scripted.log, std::vector<std::string>{"ChangeDisplaySettingsA(NULL, 0)"});
}

TEST_F(WindowTest, CloseFailuresKeepTheRemainingHandles) {
    struct Case {
        const char* label;
        BOOL release, remove;
        const char* lastCall;
    };
    const Case cases[] = {
        {"context not detached", FALSE, TRUE, "wglMakeCurrent(0x2001, NULL)"},
        {"context not deleted", TRUE, FALSE, "wglDeleteContext(0x3001)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        openWindow();
        g_scripted.releaseCurrentResult = c.release;
        g_scripted.deleteContextResult = c.remove;
        EXPECT_EQ(shellCloseWindow(), 0);
        EXPECT_EQ(g_scripted.log.front(), "ChangeDisplaySettingsA(NULL, 0)");
        EXPECT_EQ(g_scripted.log.back(), c.lastCall);
        EXPECT_EQ(scriptedCount("ReleaseDC"), 0);
        EXPECT_EQ(g_glContext, kScriptedContext);
        EXPECT_EQ(g_deviceContext, kScriptedWindowDc);

        // Once the platform lets go, a second close finishes the job.
        g_scripted.releaseCurrentResult = TRUE;
        g_scripted.deleteContextResult = TRUE;
        g_scripted.log.clear();
        EXPECT_EQ(shellCloseWindow(), 1);
        EXPECT_EQ(g_scripted.log.back(), "ReleaseDC(0x1001, 0x2001)");
        EXPECT_EQ(g_glContext, nullptr);
        EXPECT_EQ(g_deviceContext, nullptr);
    }
}

TEST_F(WindowTest, CloseRestoresTheModeEvenWhenFullscreenWasClearedAfterTheOpen) {
    openWindow();
    g_settings.fullscreen = false;
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(scriptedCount("ChangeDisplaySettingsA"), 1);
    g_scripted.log.clear();
    EXPECT_EQ(shellCloseWindow(), 1);  // restored already: nothing more to undo
    EXPECT_TRUE(g_scripted.log.empty());
}

}  // namespace
