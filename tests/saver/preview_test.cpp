// The preview: its frames drawn in this process inside a parent window of the
// test's own, and kelvorin.scr "/p <window>" as a process inside a page of the test's.
#include <gtest/gtest.h>

#include "saver/preview_window.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

const wchar_t PreviewClass[] = L"KelvorinPreviewClass";

// The pixels that `draw` puts into a fresh picture of `width` x `height`.
template <typename Draw>
std::vector<uint32_t> Pixels(int width, int height, Draw draw)
{
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB}};
    uint32_t* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
    HGDIOBJ former = SelectObject(dc, bitmap);
    draw(dc);
    GdiFlush();
    std::vector<uint32_t> pixels(bits, bits + width * height);
    SelectObject(dc, former);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return pixels;
}

std::wstring Decimal(HWND window)
{
    return std::to_wstring(reinterpret_cast<uintptr_t>(window));
}

TEST(Preview, LogoFramesFollowTheSaverSequenceScaledToThePreview)
{
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN)) << "the rows assume a 1024-pixel screen";
    const struct {
        int width, height;      // the parent's client area
        SIZE drawn;             // the logo at width / 1024 of its size
        POINT frames[2];
    } rows[] = {
        {200, 150, {25, 16}, {{41, 17}, {134, 100}}},
        {1024, 768, {128, 85}, {{41, 35}, {190, 388}}},
        {4, 4, {1, 1}, {{1, 3}, {2, 0}}},    // never below a pixel
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        SaverHarness standIns;  // records any display, drive or box request
        SetControlIni(SaverIni({"Screen Saver=kelvorin.scr"}));
        LoadSettings(false);
        HWND parent = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                      row.width, row.height, nullptr, nullptr, nullptr, nullptr);
        HWND preview = CreatePreviewWindow(GetModuleHandleW(nullptr), parent);
        ASSERT_NE(nullptr, preview);
        ASSERT_EQ(128, SaverRunState.LogoWidth) << "the expected frames copy the loaded logo";
        EXPECT_TRUE(KillTimer(preview, TickTimerId)) << "no tick moves the logo";
        EXPECT_TRUE(GetWindowLongW(preview, GWL_STYLE) & WS_CLIPCHILDREN)
            << "painted over a chained saver's own preview";
        RECT client;
        GetClientRect(preview, &client);
        EXPECT_TRUE(client.right == row.width && client.bottom == row.height);
        HDC window = GetDC(preview);
        for (const POINT& at : row.frames) {
            UpdateWindow(preview);
            auto shown = Pixels(row.width, row.height, [&](HDC dc) {
                BitBlt(dc, 0, 0, row.width, row.height, window, 0, 0, SRCCOPY);
            });
            // Black, with the module's logo stretched to the drawn size at the frame's place.
            auto expected = Pixels(row.width, row.height, [&](HDC dc) {
                FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                SetStretchBltMode(dc, COLORONCOLOR);
                StretchBlt(dc, at.x, at.y, row.drawn.cx, row.drawn.cy, SaverRunState.LogoDC, 0, 0, 128, 85, SRCCOPY);
            });
            EXPECT_TRUE(shown == expected) << "frame at " << at.x << ", " << at.y;
            SendMessageW(preview, WM_TIMER, TickTimerId, 0);
        }
        ReleaseDC(preview, window);
        DestroyWindow(parent);
        UnregisterClassW(PreviewClass, GetModuleHandleW(nullptr));
        EXPECT_TRUE(standIns.events.empty() && standIns.boxes.empty());
    }
}

TEST(PreviewProcess, APreviewFillsThePageAndEndsWithIt)
{
    const std::string helper = ChainedSaverProgram(), spaced = ChainedSaverProgram(true);
    const std::string logPath = helper + ".log";
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", logPath.c_str());
    const struct {
        std::string keys;
        bool shown;             // a preview window appears
        std::string started;    // the chained saver's program as its command line names it
    } rows[] = {
        {"Screen Saver=kelvorin.scr\r\n", true, ""},
        {"Screen Saver=Chained Test\r\nSCRNSAVE.EXE=" + helper + "\r\n", true, helper},
        {"Screen Saver=Chained Test\r\nSCRNSAVE.EXE=" + spaced + "\r\n", true, "\"" + spaced + "\""},
        // A saver that cannot start: black, and no box.
        {"Screen Saver=Gone\r\nSCRNSAVE.EXE=C:\\gone\\gone.scr\r\n", true, ""},
        {"Screen Saver=None\r\n", false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keys);
        DeleteFileA(logPath.c_str());
        SetControlIni(SaverIni({"Drive Standby=1", "Video Managed=1", row.keys + "PWProtected=1"}));
        const std::string before = ControlIniContents();
        HWND page = CreateWindowExW(0, L"Static", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                    160, 140, nullptr, nullptr, nullptr, nullptr);
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" /p " + Decimal(page)));
        HWND preview = nullptr;
        ASSERT_EQ(row.shown, PumpUntil([&] {
            preview = FindWindowExW(page, nullptr, PreviewClass, nullptr);
            return preview && IsWindowVisible(preview);
        }, row.shown ? 5000 : 1000));
        if (row.shown) {
            RECT pageClient, previewRect;
            GetClientRect(page, &pageClient);
            GetWindowRect(preview, &previewRect);
            MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&previewRect), 2);
            EXPECT_TRUE(EqualRect(&pageClient, &previewRect));
            EXPECT_EQ(nullptr, saver.FindWindowOfClass(L"#32770", 1500)) << "no box";
            std::string log;
            ReadWholeFile(logPath, &log);
            const std::string child = std::to_string(reinterpret_cast<uintptr_t>(preview));
            EXPECT_EQ(!row.started.empty(),
                      log.find("cmdline " + row.started + " /p " + child + "\n") != std::string::npos) << log;
            DestroyWindow(page);
        }
        EXPECT_EQ(0, saver.Wait(5000));
        EXPECT_EQ(before, ControlIniContents()) << "a preview writes nothing";
        DestroyWindow(page);
        EndChainedSavers(logPath);
    }
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", nullptr);
}

TEST(PreviewProcess, NoWindowOrADeadOneEndsAtOnceWithZero)
{
    HWND dead = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    for (std::wstring arguments : {std::wstring(L"/p 0"), L"/p " + Decimal(dead), L"-P:" + Decimal(dead)}) {
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" " + arguments));
        EXPECT_EQ(0, saver.Wait(3000)) << testing::PrintToString(arguments);
    }
}

} // namespace
