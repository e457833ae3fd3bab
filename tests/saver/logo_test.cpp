// The logo painter on real pixels: where the frames land, what is cut off at the
// edges, and the modes and stages in which nothing is painted.
#include <gtest/gtest.h>

#include "saver/random.h"
#include "saver_harness.h"
#include "settings/settings.h"

namespace {

const char Logo[] = "Screen Saver=kelvorin.scr";
const COLORREF Red = RGB(255, 0, 0);
const COLORREF Black = RGB(0, 0, 0);

// The logo's own pixels, read from the module's bitmap.
class LogoPicture {
public:
    LogoPicture()
    {
        bitmap_ = LoadBitmapW(GetModuleHandleW(nullptr), L"BITMAP_1");
        dc_ = CreateCompatibleDC(nullptr);
        former_ = SelectObject(dc_, bitmap_);
    }
    ~LogoPicture()
    {
        SelectObject(dc_, former_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HBITMAP bitmap_;
    HDC dc_;
    HGDIOBJ former_;
};

// How many pixels of the window differ from the logo placed at (x, y) and drawn
// `scale` times its size, within the part that lies inside `width` × `height`.
int LogoMismatches(HWND window, int x, int y, int width, int height, int scale = 1)
{
    LogoPicture logo;
    HDC dc = GetDC(window);
    int mismatches = 0;
    for (int ly = 0; ly < 85 && y + scale * ly < height; ++ly)
        for (int lx = 0; lx < 128 && x + scale * lx < width; ++lx)
            mismatches += GetPixel(dc, x + scale * lx, y + scale * ly) != logo.At(lx, ly);
    ReleaseDC(window, dc);
    return mismatches;
}

COLORREF PixelAt(HWND window, int x, int y)
{
    HDC dc = GetDC(window);
    COLORREF color = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return color;
}

void FillWindow(HWND window, COLORREF color)
{
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

void Paint(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

struct FrameRow {
    int line;
    int width, height;
    std::vector<POINT> frames;
    UINT dpi = 96;          // the window's, as found when the logo was prepared
};

// The first paint takes the first place and erases the whole window; each tick
// then repaints only the old and the new place; a paint of an uncovered part
// draws the frame where it is, without a new place.
TEST(LogoPainter, FramesAfterSeedingWithOneLandWhereTheSequenceSays)
{
    const FrameRow rows[] = {
        {__LINE__, 640, 480, {{41, 227}}},
        {__LINE__, 1024, 768, {{41, 35}, {190, 388}}},
        // Smaller than the logo: pinned to the corner and cut off.
        {__LINE__, 100, 50, {{0, 0}}},
        // At 200 % the logo is drawn twice as large.
        {__LINE__, 640, 480, {{41, 227}}, 192},
    };
    for (const FrameRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({Logo}), row.width, row.height));
        SaverRunState.LogoDpi = row.dpi;
        const int scale = static_cast<int>(row.dpi / 96);
        SeedLogoRandom(1);
        POINT previous = {-1, -1};
        const POINT corner = {row.width - 1, row.height - 1};
        for (POINT frame : row.frames) {
            FillWindow(saver.window, Red);
            if (previous.x >= 0)
                saver.Tick();
            UpdateWindow(saver.window);
            EXPECT_EQ(0, LogoMismatches(saver.window, frame.x, frame.y, row.width, row.height, scale))
                << "frame at " << frame.x << ", " << frame.y;
            if (previous.x >= 0) {
                // The power ring's first pixel, where the frame before had it.
                EXPECT_EQ(Black, PixelAt(saver.window, previous.x + 23, previous.y + 18));
                EXPECT_EQ(Red, PixelAt(saver.window, corner.x, corner.y)) << "repainted beyond the frames";
            } else {
                EXPECT_EQ(Black, PixelAt(saver.window, corner.x, corner.y));
            }
            previous = frame;
        }
        FillWindow(saver.window, Red);
        InvalidateRect(saver.window, nullptr, TRUE);
        UpdateWindow(saver.window);
        EXPECT_EQ(0, LogoMismatches(saver.window, previous.x, previous.y, row.width, row.height, scale))
            << "an uncovered window shows the same frame";
        EXPECT_EQ(Black, PixelAt(saver.window, corner.x, corner.y));
    }
}

TEST(LogoPainter, AFrameNearTheEdgesEndsExactlyAtThem)
{
    // The fifth draw, 19169, falls near the right edge of a 200 × 120 client area.
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Logo}), 200, 120));
    SeedLogoRandom(1);
    for (int i = 0; i < 4; ++i)
        NextLogoRandom();
    Paint(saver.window);
    // 19169 % 200 = 169 and 15724 % 120 = 4: x is pulled back to 200 - 128.
    EXPECT_EQ(0, LogoMismatches(saver.window, 72, 4, 200, 120));
    EXPECT_EQ(Black, PixelAt(saver.window, 71, 4));
}

struct QuietRow {
    int line;
    std::vector<std::string> keys;
    int ticks;
    bool painted;
};

TEST(LogoPainter, NothingIsPaintedWhileSuspendedOrOffNorInBlankOrChainedMode)
{
    const QuietRow rows[] = {
        {__LINE__, {Logo, "Video Managed=1", "Standby=1", "Standby After=0"}, 1, true},
        {__LINE__, {Logo, "Video Managed=1", "Suspend=1", "Suspend After=0"}, 1, false},
        {__LINE__, {Logo, "Video Managed=1", "Off=1", "Off After=0"}, 1, false},
        {__LINE__, {"Screen Saver=None"}, 0, false},
        {__LINE__, {"Screen Saver=Elsewhere", "SCRNSAVE.EXE=C:\\elsewhere.scr"}, 0, false},
    };
    for (const QuietRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni(row.keys), 640, 480));
        saver.Ticks(row.ticks);
        FillWindow(saver.window, Red);
        SeedLogoRandom(1);
        Paint(saver.window);
        if (row.painted) {
            EXPECT_EQ(0, LogoMismatches(saver.window, 41, 227, 640, 480));
            EXPECT_EQ(Black, PixelAt(saver.window, 0, 0));
        } else {
            EXPECT_EQ(Red, PixelAt(saver.window, 0, 0));
            EXPECT_EQ(Red, PixelAt(saver.window, 41 + 23, 227 + 18));
        }
        HDC dc = GetDC(saver.window);
        EXPECT_EQ(1, SendMessageW(saver.window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0));
        ReleaseDC(saver.window, dc);
        EXPECT_EQ(row.painted ? 6334 : 41, NextLogoRandom()) << "draws taken by the paint";
    }
}

TEST(LogoPainter, AClientAreaWithoutWidthOrHeightPaintsNothing)
{
    for (SIZE size : {SIZE{0, 480}, SIZE{640, 0}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        SaverHarness saver;
        ASSERT_NE(nullptr, saver.Open(SaverIni({Logo}), size.cx, size.cy));
        SeedLogoRandom(1);
        SendMessageW(saver.window, WM_PAINT, 0, 0);
        EXPECT_EQ(41, NextLogoRandom()) << "no place was drawn";
    }
}

TEST(LogoPainter, ADisplayThatWindowsDarkenedGetsNoFramesUntilItIsOnAgain)
{
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Logo}), 640, 480));
    SeedLogoRandom(1);
    UpdateWindow(saver.window);
    ReportDisplay(saver.window, &ConsoleDisplaySetting, 0);
    FillWindow(saver.window, Red);
    saver.Ticks(3);
    EXPECT_EQ(0, SaverRunState.TickTimerSet) << "with nothing left to count, the tick stops";
    Paint(saver.window);
    EXPECT_EQ(Red, PixelAt(saver.window, 0, 0));
    EXPECT_EQ(Red, PixelAt(saver.window, 41 + 23, 227 + 18)) << "nothing is drawn, not even black";
    // An erase of its own, as a monitor change brings, paints nothing either.
    HDC dc = GetDC(saver.window);
    SendMessageW(saver.window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    ReleaseDC(saver.window, dc);
    EXPECT_EQ(Red, PixelAt(saver.window, 0, 0)) << "erased while dark";

    ReportDisplay(saver.window, &ConsoleDisplaySetting, 1);
    EXPECT_NE(0, SaverRunState.TickTimerSet) << "the frames need their timer again";
    UpdateWindow(saver.window);
    EXPECT_EQ(Black, PixelAt(saver.window, 639, 479)) << "the whole window is repainted";
    EXPECT_EQ(0, LogoMismatches(saver.window, 41, 227, 640, 480));
    saver.Tick();
    // The second place of the sequence: 6334 % 640 pulled back to 640 - 128, 26500 % 480.
    EXPECT_EQ(0, LogoMismatches(saver.window, 512, 100, 640, 480));
}

// Xvfb cannot change its monitors under a running program: the window is made
// as it was before the change, and the change is then announced as Windows does.
TEST(LogoPainter, AfterAMonitorChangeTheWindowCoversEveryMonitorAndFramesLieOnOne)
{
    SaverHarness saver;
    ASSERT_NE(nullptr, saver.Open(SaverIni({Logo}), 640, 480));
    UpdateWindow(saver.window);
    // A monitor to the right that is gone now, with the frame on it.
    SaverRunState.LogoMonitors[0] = {1024, 0, 1824, 600};
    SaverRunState.LogoMonitorCount = 1;
    SaverRunState.LogoAt = {1100, 100};

    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    SendMessageW(saver.window, WM_DISPLAYCHANGE, 24, MAKELPARAM(screen.right, screen.bottom));
    RECT window;
    GetWindowRect(saver.window, &window);
    EXPECT_TRUE(EqualRect(&screen, &window));
    EXPECT_TRUE(GetWindowLongW(saver.window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // On the display of two monitors that the test run starts, both are seen.
    if (const char* expected = getenv("KELVORIN_MONITORS"))
        ASSERT_EQ(atoi(expected), GetSystemMetrics(SM_CMONITORS));
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), SaverRunState.LogoMonitorCount);
    for (int frame = 0; frame < 6; ++frame) {
        if (frame == 0)
            UpdateWindow(saver.window);
        else
            saver.Tick();
        const LogoSize size = DrawnLogoSize();
        const POINT at = {SaverRunState.LogoAt.x + screen.left, SaverRunState.LogoAt.y + screen.top};
        RECT logo = {at.x, at.y, at.x + size.width, at.y + size.height}, both;
        MONITORINFO monitor = {sizeof monitor};
        GetMonitorInfoW(MonitorFromRect(&logo, MONITOR_DEFAULTTONEAREST), &monitor);
        EXPECT_TRUE(IntersectRect(&both, &logo, &monitor.rcMonitor) && EqualRect(&both, &logo))
            << "frame " << frame << " at " << at.x << ", " << at.y;
    }
}

TEST(LogoPainter, TheMonitorIsKeptAsItsPartOfTheClientArea)
{
    if (GetSystemMetrics(SM_CMONITORS) != 1)
        GTEST_SKIP() << "the rows assume one monitor";
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        int x, y, width, height;    // the window on the screen
        LogoArea part;
    } rows[] = {{0, 0, w, h, {0, 0, w, h}}, {0, 0, 640, 480, {0, 0, 640, 480}},
                {-100, -50, w, h, {100, 50, w, h}}, {200, 100, w, 200, {0, 0, w - 200, 200}}};
    for (const auto& row : rows) {
        ResetSaverRunState();
        HWND window = CreateWindowExW(0, L"Static", L"", WS_POPUP, row.x, row.y, row.width,
                                      row.height, nullptr, nullptr, nullptr, nullptr);
        ReadLogoMonitors(window);
        DestroyWindow(window);
        const LogoArea& kept = SaverRunState.LogoMonitors[0];
        EXPECT_TRUE(SaverRunState.LogoMonitorCount == 1 && kept.left == row.part.left
                    && kept.top == row.part.top && kept.right == row.part.right
                    && kept.bottom == row.part.bottom) << "window at " << row.x << ", " << row.y;
    }
    ResetSaverRunState();
}

} // namespace
