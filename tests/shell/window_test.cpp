// Window, full-screen display mode, pixel format and GL context.
#include <cstring>

#include "tests/shell/shell_test_support.h"
#include "tests/support/gl_recorder.h"

namespace {

using WindowTest = ShellTest;
using Op = ScriptedOp;
using Args = std::vector<std::int64_t>;

const std::int64_t kNone = 0;  // a NULL handle as recorded
const std::int64_t kDesktop = scriptedArg(kScriptedDesktop);
const std::int64_t kDesktopDc = scriptedArg(kScriptedDesktopDc);
const std::int64_t kWindow = scriptedArg(kScriptedWindow);
const std::int64_t kDc = scriptedArg(kScriptedWindowDc);
const std::int64_t kContext = scriptedArg(kScriptedContext);
const std::int64_t kInstance = scriptedArg(kScriptedInstance);

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

// The one CreateWindowExA call: class and caption "test", the shell's style, at (0, 0).
void expectCreated(std::int64_t exStyle, int width, int height) {
    const std::vector<ScriptedCall> created = scriptedCalls(Op::CreateWindowExA);
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(scriptedArgs(created[0], 12),
              (Args{exStyle, kScriptedText, kScriptedText, 0x96000000, 0, 0, width, height, kNone,
                    kNone, kInstance, kNone}));
    EXPECT_EQ(created[0].text[0], "test");
    EXPECT_EQ(created[0].text[1], "test");
}

// A call expected in a sequence: the operation and the first arguments (nothing
// more for a GL call, whose arguments other tests check).
struct Expected {
    ScriptedStep step;
    Args args = {};
};

// The merged platform and GL calls are exactly `expected`, in that order.
void expectSequence(const std::vector<Expected>& expected) {
    std::vector<ScriptedStep> steps;
    for (const Expected& e : expected) steps.push_back(e.step);
    ASSERT_EQ(scriptedSteps(), steps);
    std::size_t platform = 0;
    for (const Expected& e : expected) {
        if (e.step.gl) continue;
        const ScriptedCall& call = g_scripted.calls.at(platform++);
        EXPECT_EQ(scriptedArgs(call, e.args.size()), e.args) << scriptedOpName(call.op);
    }
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
    const std::vector<ScriptedCall> listing = scriptedCalls(Op::EnumDisplaySettingsA);
    ASSERT_EQ(listing.size(), c.modes.size() + 1);
    for (std::size_t i = 0; i < listing.size(); ++i)
        EXPECT_EQ(scriptedArgs(listing[i], 3), (Args{kNone, static_cast<std::int64_t>(i), 148}));
    EXPECT_EQ(listing.back().result, FALSE);
    const std::uint32_t move =
        scriptedSeq(Op::MoveWindow, withArgs({kWindow, 0, 0, 1024, 768, FALSE}));
    const std::uint32_t apply =
        scriptedSeq(Op::ChangeDisplaySettingsA,
                    withArgs({1, CDS_FULLSCREEN, 1024, 768, 32, c.expectedFrequency}));
    EXPECT_GT(move, listing.back().seq);
    EXPECT_GT(apply, move);
}

INSTANTIATE_TEST_SUITE_P(Listings, ModeChoiceTest, ::testing::ValuesIn(kModeCases),
                         [](const ::testing::TestParamInfo<ModeCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(WindowTest, NoWishedRateSetsTheModeBySizeAndDepthWithoutListing) {
    g_scripted.modes = {desktopSized(60), desktopSized(85)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(scriptedCount(Op::EnumDisplaySettingsA), 0);
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
        const std::uint32_t desktop = scriptedSeq(
            Op::EnumDisplaySettingsA, withArgs({kNone, ENUM_CURRENT_SETTINGS, 148}));
        ASSERT_EQ(g_scripted.fullscreenModes.size(), 1u);
        EXPECT_EQ(g_scripted.fullscreenModes[0].dmDisplayFlags, 9u);  // the desktop's record
        EXPECT_EQ(g_settings.width, 1024u);
        EXPECT_EQ(g_settings.height, 768u);
        EXPECT_EQ(g_settings.bitsPerPixel, 32u);
        EXPECT_EQ(g_settings.displayFrequency, 75u);
        EXPECT_GT(scriptedSeq(Op::MoveWindow, withArgs({kWindow, 0, 0, 1024, 768, FALSE})),
                  desktop);
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
    EXPECT_EQ(scriptedCount(Op::MoveWindow), 0);
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
    expectCreated(0x40008, 1280, 1024);
    // The desktop's device context is given back.
    EXPECT_GT(scriptedSeq(Op::ReleaseDC, withArgs({kDesktop, kDesktopDc})),
              scriptedSeq(Op::GetDeviceCaps, withArgs({kDesktopDc, BITSPIXEL})));
}

TEST_F(WindowTest, SizeAndDepthGivenByTheApplicationAreKept) {
    g_settings.width = 800;
    g_settings.height = 600;
    g_settings.bitsPerPixel = 16;
    g_settings.fullscreen = false;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(scriptedCount(Op::GetSystemMetrics), 0);
    EXPECT_EQ(scriptedCount(Op::GetDeviceCaps), 0);
    EXPECT_EQ(g_settings.width, 800u);
    EXPECT_EQ(g_settings.height, 600u);
    EXPECT_EQ(g_settings.bitsPerPixel, 16u);
    expectCreated(0x40000, 800, 600);
}

TEST_F(WindowTest, WindowedModeChangesNoDisplayModeAtOpenOrClose) {
    g_settings.fullscreen = false;
    g_settings.displayFrequency = 100;
    g_scripted.modes = {desktopSized(85)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(scriptedCount(Op::ChangeDisplaySettingsA), 0);
    EXPECT_EQ(scriptedCount(Op::EnumDisplaySettingsA), 0);
    EXPECT_EQ(scriptedCount(Op::MoveWindow), 0);
    EXPECT_TRUE(glCallsOf(GlOp::Viewport).empty());
    EXPECT_EQ(g_settings.displayFrequency, 100u);
    expectCreated(0x40000, 1024, 768);
}

TEST_F(WindowTest, OpensInTheOrderThatMakesTheContextLast) {
    g_settings.displayFrequency = 100;
    g_settings.swapInterval = 0;
    g_scripted.modes = {desktopSized(60)};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    // Step by step as the open goes: cursor, screen facts, class, window, pixel
    // format, focus, the mode (listed, tested, fitted, applied), the counter's rate,
    // and only then the context, GL state and swap interval.
    expectSequence({
        {Op::ShowCursor, {FALSE}},
        {Op::GetSystemMetrics, {SM_CXSCREEN}},
        {Op::GetSystemMetrics, {SM_CYSCREEN}},
        {Op::GetDesktopWindow},
        {Op::GetDC, {kDesktop}},
        {Op::GetDeviceCaps, {kDesktopDc, BITSPIXEL}},
        {Op::ReleaseDC, {kDesktop, kDesktopDc}},
        {Op::GetStockObject, {BLACK_BRUSH}},
        {Op::RegisterClassA},
        {Op::CreateWindowExA, {0x40008, kScriptedText, kScriptedText, 0x96000000, 0, 0, 1024, 768,
                               kNone, kNone, kInstance, kNone}},
        {Op::GetDC, {kWindow}},
        {Op::ChoosePixelFormat, {kDc}},
        {Op::DescribePixelFormat, {kDc, 1, 40, 1}},
        {Op::SetPixelFormat, {kDc, 1}},
        {Op::SetFocus, {kWindow}},
        {Op::EnumDisplaySettingsA, {kNone, 0, 148}},
        {Op::ChangeDisplaySettingsA, {1, CDS_TEST, 1024, 768, 32, 60}},
        {Op::EnumDisplaySettingsA, {kNone, 1, 148}},
        {Op::MoveWindow, {kWindow, 0, 0, 1024, 768, FALSE}},
        {Op::ChangeDisplaySettingsA, {1, CDS_FULLSCREEN, 1024, 768, 32, 60}},
        {Op::QueryPerformanceFrequency, {1000000}},
        {Op::wglCreateContext, {kDc}},
        {Op::wglMakeCurrent, {kDc, kContext}},
        {GlOp::PixelStorei},
        {GlOp::PixelStorei},
        {GlOp::Viewport},
        {Op::wglGetProcAddress, {kScriptedText}},
        {Op::wglSwapIntervalEXT, {0}},
    });
    EXPECT_EQ(scriptedCalls(Op::RegisterClassA).at(0).text[0], "test");
    EXPECT_EQ(scriptedCalls(Op::wglGetProcAddress).at(0).text[0], "wglSwapIntervalEXT");
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
    EXPECT_EQ(scriptedCount(Op::LoadIconA), 0);
}

TEST_F(WindowTest, AnIconIdLoadsTheIconFromTheExecutable) {
    ASSERT_EQ(shellOpenWindow("test", 7), 1);
    const std::vector<ScriptedCall> loads = scriptedCalls(Op::LoadIconA);
    ASSERT_EQ(loads.size(), 1u);
    EXPECT_EQ(scriptedArgs(loads[0], 2), (Args{kInstance, 7}));
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
    g_scripted.pixelFormats = {scriptedPixelFormat(16, 16), scriptedPixelFormat(32, 16),
                               scriptedPixelFormat(32, 32)};
    g_scripted.pixelFormats[2].cStencilBits = 8;  // the driver offers more than asked
    g_scripted.choosePixelFormatResult = 3;
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    const std::uint32_t described =
        scriptedSeq(Op::DescribePixelFormat, withArgs({kDc, 3, 40, 1}));
    EXPECT_GT(scriptedSeq(Op::SetPixelFormat, withArgs({kDc, 3})), described);
    EXPECT_EQ(std::memcmp(&g_scripted.setDescriptor, &g_scripted.pixelFormats[2],
                          sizeof g_scripted.setDescriptor),
              0);
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
        EXPECT_EQ(scriptedCount(Op::DescribePixelFormat) == 1, c.described);
        EXPECT_EQ(scriptedCount(Op::SetPixelFormat) == 1, c.described);
        scriptedClearCalls();
        EXPECT_EQ(shellSetPixelFormat(), c.expected);
    }
}

TEST_F(WindowTest, SwapIntervalIsLookedUpUnlessItIsTwo) {
    struct Case {
        int interval;
        bool offered;
        int lookups;
        bool called;
    };
    const Case cases[] = {
        {2, true, 0, false},
        {0, true, 1, true},
        {1, true, 1, true},
        {-1, true, 1, true},
        {0, false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interval);
        restart();
        g_settings.swapInterval = c.interval;
        g_scripted.swapIntervalOffered = c.offered;
        ASSERT_EQ(shellOpenWindow("test", 0), 1);
        EXPECT_EQ(scriptedCount(Op::wglGetProcAddress), c.lookups);
        EXPECT_EQ(scriptedCount(Op::wglSwapIntervalEXT), c.called ? 1 : 0);
        if (c.called) {  // the open's last call, with the interval asked for
            EXPECT_EQ(g_scripted.calls.back().op, Op::wglSwapIntervalEXT);
            EXPECT_EQ(g_scripted.calls.back().arg[0], c.interval);
        }
    }
}

// --- Failures of the open --------------------------------------------------------

int s_appMessages = 0;  // messages that reached countingOnMessage

LRESULT CALLBACK countingOnMessage(HWND, UINT, WPARAM, LPARAM) {
    ++s_appMessages;
    return 5;
}
void noFrame() {}

TEST_F(WindowTest, RefusedClassShowsTheMessageBoxAndLeavesTheDefaultsInPlace) {
    ShellCallbacks app = {countingOnMessage, noFrame};
    shellSetCallbacks(&app);
    s_appMessages = 0;
    g_scripted.registerClassRefused = true;
    EXPECT_EQ(shellOpenWindow("test", 0), 0);
    const ScriptedCall& last = g_scripted.calls.back();
    EXPECT_EQ(last.op, Op::MessageBoxA);
    EXPECT_EQ(scriptedArgs(last, 4),
              (Args{kNone, kScriptedText, kScriptedText, MB_OK | MB_ICONERROR}));
    EXPECT_EQ(last.text[0], "Failed To Register The Window Class.");
    EXPECT_EQ(last.text[1], "Error");
    EXPECT_EQ(scriptedCount(Op::CreateWindowExA), 0);
    EXPECT_EQ(g_scripted.cursorCount, -1);  // stays hidden
    EXPECT_EQ(g_settings.width, 1024u);
    EXPECT_EQ(g_settings.bitsPerPixel, 32u);
    // The application's pair was replaced by the defaults, which answer 1.
    EXPECT_EQ(shellWindowProc(nullptr, WM_KEYUP, 'A', 0), 1);
    EXPECT_EQ(s_appMessages, 0);
}

TEST_F(WindowTest, MessagesDuringCreationReachTheDefaults) {
    ShellCallbacks app = {countingOnMessage, noFrame};
    shellSetCallbacks(&app);  // too early: the open installs the defaults
    s_appMessages = 0;
    MSG creation = {};
    creation.message = WM_KEYUP;
    creation.wParam = 'A';
    g_scripted.creationMessages = {creation};
    ASSERT_EQ(shellOpenWindow("test", 0), 1);
    // Inside CreateWindowExA, before anything else happens: the shell's procedure,
    // then the defaults.
    const std::vector<ScriptedCall>& calls = g_scripted.calls;
    std::size_t created = 0;
    while (created < calls.size() && calls[created].op != Op::CreateWindowExA) ++created;
    ASSERT_LT(created + 1, calls.size());
    EXPECT_EQ(calls[created + 1].op, Op::DefWindowProcA);
    EXPECT_EQ(scriptedArgs(calls[created + 1], 4), (Args{kWindow, WM_KEYUP, 'A', 0}));
    EXPECT_EQ(s_appMessages, 0);
}

struct OpenFailureCase {
    const char* label;
    void (*script)();
    Op lastOp;  // the open stops right after this call, with these first arguments
    Args lastArgs;
    bool deviceContextObtained;  // close must give it back
    HGLRC contextLeft;
};

const OpenFailureCase kOpenFailures[] = {
    {"window not created", [] { g_scripted.createWindowFails = true; }, Op::CreateWindowExA,
     {0x40008}, false, nullptr},
    {"no device context", [] { g_scripted.getWindowDcFails = true; }, Op::GetDC, {kWindow},
     false, nullptr},
    {"context not created", [] { g_scripted.createContextFails = true; }, Op::wglCreateContext,
     {kDc}, true, nullptr},
    {"context not made current", [] { g_scripted.makeCurrentResult = FALSE; },
     Op::wglMakeCurrent, {kDc, kContext}, true, kScriptedContext},
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
        ASSERT_FALSE(g_scripted.calls.empty());
        EXPECT_EQ(g_scripted.calls.back().op, c.lastOp);
        EXPECT_EQ(scriptedArgs(g_scripted.calls.back(), c.lastArgs.size()), c.lastArgs);
        EXPECT_TRUE(glRecorderCalls().empty());
        EXPECT_EQ(g_glContext, c.contextLeft);

        scriptedClearCalls();
        EXPECT_EQ(shellCloseWindow(), 1);
        ASSERT_FALSE(g_scripted.calls.empty());
        EXPECT_EQ(g_scripted.calls.front().op, Op::ChangeDisplaySettingsA);
        EXPECT_EQ(scriptedArgs(g_scripted.calls.front(), 2), (Args{0, 0}));  // NULL: restore
        EXPECT_EQ(g_scripted.currentMode.frequency, 60u);  // the desktop's mode is back
        EXPECT_EQ(scriptedCount(Op::ReleaseDC), c.deviceContextObtained ? 1 : 0);
        EXPECT_EQ(scriptedCount(Op::wglDeleteContext), c.contextLeft ? 1 : 0);
        EXPECT_EQ(g_glContext, nullptr);
        EXPECT_EQ(g_deviceContext, nullptr);
    }
}

// --- Closing ---------------------------------------------------------------------

// The close made exactly the one restoring call.
void expectOnlyTheRestore() {
    ASSERT_EQ(g_scripted.calls.size(), 1u);
    EXPECT_EQ(g_scripted.calls[0].op, Op::ChangeDisplaySettingsA);
    EXPECT_EQ(scriptedArgs(g_scripted.calls[0], 2), (Args{0, 0}));
}

TEST_F(WindowTest, CloseWithNothingOpenOnlyRestoresTheMode) {
    EXPECT_EQ(shellCloseWindow(), 1);
    expectOnlyTheRestore();
    scriptedClearCalls();
    g_settings.fullscreen = false;
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_TRUE(g_scripted.calls.empty());
}

TEST_F(WindowTest, CloseReleasesEverythingOnceAndCanBeRepeated) {
    g_settings.displayFrequency = 100;
    g_scripted.modes = {desktopSized(85)};
    openWindow();
    EXPECT_EQ(shellCloseWindow(), 1);
    expectSequence({
        {Op::ChangeDisplaySettingsA, {0, 0}},
        {Op::wglMakeCurrent, {kDc, kNone}},
        {Op::wglDeleteContext, {kContext}},
        {Op::ReleaseDC, {kWindow, kDc}},
    });
    EXPECT_EQ(g_glContext, nullptr);
    EXPECT_EQ(g_deviceContext, nullptr);
    EXPECT_EQ(g_scripted.currentContext, nullptr);

    scriptedClearCalls();
    EXPECT_EQ(shellCloseWindow(), 1);
    expectOnlyTheRestore();
}

TEST_F(WindowTest, CloseFailuresKeepTheRemainingHandles) {
    struct Case {
        const char* label;
        BOOL release, remove;
        Op lastOp;
        Args lastArgs;
    };
    const Case cases[] = {
        {"context not detached", FALSE, TRUE, Op::wglMakeCurrent, {kDc, kNone}},
        {"context not deleted", TRUE, FALSE, Op::wglDeleteContext, {kContext}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        openWindow();
        g_scripted.releaseCurrentResult = c.release;
        g_scripted.deleteContextResult = c.remove;
        EXPECT_EQ(shellCloseWindow(), 0);
        ASSERT_FALSE(g_scripted.calls.empty());
        EXPECT_EQ(g_scripted.calls.front().op, Op::ChangeDisplaySettingsA);
        EXPECT_EQ(scriptedArgs(g_scripted.calls.front(), 2), (Args{0, 0}));
        EXPECT_EQ(g_scripted.calls.back().op, c.lastOp);
        EXPECT_EQ(scriptedArgs(g_scripted.calls.back(), c.lastArgs.size()), c.lastArgs);
        EXPECT_EQ(scriptedCount(Op::ReleaseDC), 0);
        EXPECT_EQ(g_glContext, kScriptedContext);
        EXPECT_EQ(g_deviceContext, kScriptedWindowDc);

        // Once the platform lets go, a second close finishes the job.
        g_scripted.releaseCurrentResult = TRUE;
        g_scripted.deleteContextResult = TRUE;
        scriptedClearCalls();
        EXPECT_EQ(shellCloseWindow(), 1);
        ASSERT_FALSE(g_scripted.calls.empty());
        EXPECT_EQ(g_scripted.calls.back().op, Op::ReleaseDC);
        EXPECT_EQ(scriptedArgs(g_scripted.calls.back(), 2), (Args{kWindow, kDc}));
        EXPECT_EQ(g_glContext, nullptr);
        EXPECT_EQ(g_deviceContext, nullptr);
    }
}

TEST_F(WindowTest, CloseRestoresTheModeEvenWhenFullscreenWasClearedAfterTheOpen) {
    openWindow();
    g_settings.fullscreen = false;
    EXPECT_EQ(shellCloseWindow(), 1);
    EXPECT_EQ(scriptedCount(Op::ChangeDisplaySettingsA), 1);
    scriptedClearCalls();
    EXPECT_EQ(shellCloseWindow(), 1);  // restored already: nothing more to undo
    EXPECT_TRUE(g_scripted.calls.empty());
}

}  // namespace
