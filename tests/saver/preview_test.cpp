// The preview: its frames drawn in this process inside a parent window of the
// test's own, and kelvorin.scr "/p <window>" as a process inside a page helper.
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

TEST(Preview, LogoFramesFollowTheSaverSequenceScaledToThePreview)
{
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN)) << "the rows assume a 1024-pixel screen";
    const struct {
        int line;
        int width, height;      // the parent's client area
        SIZE drawn;             // the logo at width / 1024 of its size
        POINT frames[2];
    } rows[] = {
        {__LINE__, 200, 150, {25, 16}, {{41, 17}, {134, 100}}},
        {__LINE__, 1024, 768, {128, 85}, {{41, 35}, {190, 388}}},
        {__LINE__, 4, 4, {1, 1}, {{1, 3}, {2, 0}}},    // never below a pixel
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness standIns;  // records any display, drive or box request
        SetControlIni(SaverIni({"Screen Saver=kelvorin.scr"}));
        const std::string before = ControlIniContents();
        LoadSettingStrings();
        LoadSettings(false);
        HWND parent = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                      row.width, row.height, nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(parent);
        HWND preview = CreatePreviewWindow(GetModuleHandleW(nullptr), parent);
        ASSERT_NE(nullptr, preview);
        ASSERT_EQ(128, SaverRunState.LogoWidth) << "the expected frames copy the loaded logo";
        KillTimer(preview, TickTimerId);
        RECT client;
        GetClientRect(preview, &client);
        EXPECT_EQ(row.width * 10000 + row.height, client.right * 10000 + client.bottom);
        for (int frame = 0; frame < 2; ++frame) {
            if (frame > 0)
                SendMessageW(preview, WM_TIMER, TickTimerId, 0);
            UpdateWindow(preview);
            auto shown = Pixels(row.width, row.height, [&](HDC dc) {
                HDC window = GetDC(preview);
                BitBlt(dc, 0, 0, row.width, row.height, window, 0, 0, SRCCOPY);
                ReleaseDC(preview, window);
            });
            // Black, with the module's logo stretched to the drawn size at the frame's place.
            auto expected = Pixels(row.width, row.height, [&](HDC dc) {
                FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
                SetStretchBltMode(dc, COLORONCOLOR);
                StretchBlt(dc, row.frames[frame].x, row.frames[frame].y, row.drawn.cx, row.drawn.cy,
                           SaverRunState.LogoDC, 0, 0, 128, 85, SRCCOPY);
            });
            EXPECT_TRUE(shown == expected) << "frame " << frame;
        }
        DestroyWindow(parent);
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "ends with its parent";
        UnregisterClassW(PreviewClass, GetModuleHandleW(nullptr));
        EXPECT_TRUE(standIns.events.empty() && standIns.boxes.empty());
        EXPECT_EQ(before, ControlIniContents());
    }
}

std::wstring Decimal(HWND window)
{
    return std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
}

TEST(PreviewProcess, APreviewFillsThePageAndEndsWithIt)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string logPath = std::string(temp) + "kelvorin-preview-chain.log";
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", logPath.c_str());
    const std::string helper = ChainedSaverProgram();
    const struct {
        int line;
        std::string keys;
        bool shown;             // a preview window appears
        bool launched;          // the chained saver's own preview was started
    } rows[] = {
        {__LINE__, "Screen Saver=kelvorin.scr\r\n", true, false},
        {__LINE__, "Screen Saver=Chained Test\r\nSCRNSAVE.EXE=" + helper + "\r\n", true, true},
        // A saver that cannot start: black, and no box.
        {__LINE__, "Screen Saver=Gone\r\nSCRNSAVE.EXE=C:\\gone\\gone.scr\r\n", true, false},
        {__LINE__, "Screen Saver=None\r\n", false, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        DeleteFileA(logPath.c_str());
        SetControlIni("[Screen Saver.Kelvorin]\r\nDrive Standby=1\r\nVideo Managed=1\r\n"
                      + row.keys + "PWProtected=1\r\n");
        const std::string before = ControlIniContents();
        ChildProcess page, saver;
        ASSERT_TRUE(page.Start(HelperProgramPath("preview_page"), L"preview_page"));
        HWND pageWindow = page.FindWindowOfClass(L"KelvorinTestPage");
        ASSERT_NE(nullptr, pageWindow);
        ASSERT_TRUE(saver.Start(SaverProgramPath(),
                                L"\"" + SaverProgramPath() + L"\" /p " + Decimal(pageWindow)));
        HWND preview = nullptr;
        PumpUntil([&] {
            preview = FindWindowExW(pageWindow, nullptr, PreviewClass, nullptr);
            return preview && IsWindowVisible(preview);
        }, row.shown ? 5000 : 1000);
        if (row.shown) {
            ASSERT_NE(nullptr, preview);
            DWORD owner = 0;
            GetWindowThreadProcessId(preview, &owner);
            EXPECT_EQ(saver.info.dwProcessId, owner);
            EXPECT_EQ(WS_CHILD | WS_VISIBLE, GetWindowLongW(preview, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP));
            RECT pageClient, previewRect;
            GetClientRect(pageWindow, &pageClient);
            GetWindowRect(preview, &previewRect);
            MapWindowPoints(nullptr, pageWindow, reinterpret_cast<POINT*>(&previewRect), 2);
            EXPECT_TRUE(EqualRect(&pageClient, &previewRect));
            EXPECT_EQ(nullptr, saver.FindWindowOfClass(L"#32770", 1500)) << "no box";
            std::wstring child = Decimal(preview);
            std::string log;
            ReadWholeFile(logPath, &log);
            EXPECT_EQ(row.launched, log.find("cmdline " + helper + " /p " + std::string(child.begin(), child.end()) + "\n") != std::string::npos) << log;
            PostMessageW(pageWindow, WM_CLOSE, 0, 0);
        } else {
            EXPECT_EQ(nullptr, preview);
        }
        EXPECT_EQ(0, saver.Wait(5000));
        EXPECT_EQ(before, ControlIniContents()) << "a preview writes nothing";
        PostMessageW(pageWindow, WM_CLOSE, 0, 0);
        page.Wait(5000);
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
