// The preview: its frames drawn in this process inside a parent window of the
// test's own, and kelvorin.scr "/p <window>" as a process inside a page helper.
#include <gtest/gtest.h>

#include "saver/preview_window.h"
#include "saver_harness.h"
#include "settings/settings.h"
#include "support/wine_test.h"

namespace {

const wchar_t PreviewClass[] = L"KelvorinPreviewClass";
const char Logo[] = "Screen Saver=kelvorin.scr";

// A 32-bit top-down picture of `width` x `height` pixels and its device context.
struct Picture {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ former = nullptr;
    uint32_t* bits = nullptr;
    int size;
    Picture(int width, int height) : size(width * height)
    {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB};
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                                  nullptr, 0);
        former = SelectObject(dc, bitmap);
    }
    ~Picture()
    {
        SelectObject(dc, former);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    bool operator==(const Picture& other) const
    {
        return size == other.size && std::equal(bits, bits + size, other.bits);
    }
};

// Black, with the module's logo stretched to `size` at `place`.
void DrawExpected(Picture* picture, RECT client, POINT place, SIZE size)
{
    FillRect(picture->dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBITMAP logo = LoadBitmapW(GetModuleHandleW(nullptr), L"BITMAP_1");
    HDC logoDC = CreateCompatibleDC(nullptr);
    HGDIOBJ former = SelectObject(logoDC, logo);
    SetStretchBltMode(picture->dc, COLORONCOLOR);
    StretchBlt(picture->dc, place.x, place.y, size.cx, size.cy, logoDC, 0, 0, 128, 85, SRCCOPY);
    SelectObject(logoDC, former);
    DeleteDC(logoDC);
    DeleteObject(logo);
}

struct PaintRow {
    int line;
    int width, height;      // the parent's client area
    SIZE drawn;             // the logo at width / 1024 of its size
    std::vector<POINT> frames;
};

TEST(Preview, LogoFramesFollowTheSaverSequenceScaledToThePreview)
{
    ASSERT_EQ(1024, GetSystemMetrics(SM_CXSCREEN)) << "the rows assume a 1024-pixel screen";
    const PaintRow rows[] = {
        {__LINE__, 200, 150, {25, 16}, {{41, 17}, {134, 100}}},
        {__LINE__, 1024, 768, {128, 85}, {{41, 35}, {190, 388}}},
        {__LINE__, 40, 30, {5, 3}, {{1, 17}, {14, 10}}},
        // Never smaller than a pixel each way.
        {__LINE__, 4, 4, {1, 1}, {{1, 3}, {2, 0}}},
    };
    for (const PaintRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SaverHarness standIns;  // records any display, drive or box request
        SetControlIni(SaverIni({Logo}));
        LoadSettingStrings();
        LoadSettings(false);
        const std::string before = ControlIniContents();
        HWND parent = CreateWindowExW(WS_EX_TOPMOST, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                      row.width, row.height, nullptr, nullptr, nullptr, nullptr);
        UpdateWindow(parent);
        HWND preview = CreatePreviewWindow(GetModuleHandleW(nullptr), parent);
        ASSERT_NE(nullptr, preview);
        KillTimer(preview, TickTimerId);
        RECT client;
        GetClientRect(preview, &client);
        EXPECT_EQ(row.width, client.right);
        EXPECT_EQ(row.height, client.bottom);
        for (size_t i = 0; i < row.frames.size(); ++i) {
            if (i > 0)
                SendMessageW(preview, WM_TIMER, TickTimerId, 0);
            UpdateWindow(preview);
            Picture shown(row.width, row.height), expected(row.width, row.height);
            HDC dc = GetDC(preview);
            BitBlt(shown.dc, 0, 0, row.width, row.height, dc, 0, 0, SRCCOPY);
            ReleaseDC(preview, dc);
            DrawExpected(&expected, client, row.frames[i], row.drawn);
            EXPECT_TRUE(shown == expected) << "frame " << i;
        }
        DestroyWindow(parent);
        EXPECT_FALSE(IsWindow(preview)) << "the preview goes with its parent";
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_EQ(0u, quit.wParam);
        UnregisterClassW(PreviewClass, GetModuleHandleW(nullptr));
        EXPECT_TRUE(standIns.events.empty());
        EXPECT_TRUE(standIns.boxes.empty());
        EXPECT_EQ(before, ControlIniContents());
    }
}

std::wstring Decimal(HWND window)
{
    return std::to_wstring(static_cast<unsigned long>(reinterpret_cast<uintptr_t>(window)));
}

HWND FindPreview(HWND parent)
{
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowExW(parent, nullptr, PreviewClass, nullptr);
        return found && IsWindowVisible(found);
    });
    return found;
}

struct ProcessRow {
    int line;
    std::string keys;
    bool shown;             // a preview window appears
    bool launched;          // the chained saver's own preview was started
};

TEST(PreviewProcess, APreviewFillsThePageAndEndsWithIt)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string logPath = std::string(temp) + "kelvorin-preview-chain.log";
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", logPath.c_str());
    const std::string helper = ChainedSaverProgram();
    const ProcessRow rows[] = {
        {__LINE__, "Screen Saver=kelvorin.scr\r\n", true, false},
        {__LINE__, "Screen Saver=Chained Test\r\nSCRNSAVE.EXE=" + helper + "\r\n", true, true},
        // A saver that cannot start: black, and no box.
        {__LINE__, "Screen Saver=Gone\r\nSCRNSAVE.EXE=C:\\gone\\gone.scr\r\n", true, false},
        {__LINE__, "Screen Saver=None\r\n", false, false},
    };
    for (const ProcessRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        DeleteFileA(logPath.c_str());
        SetControlIni("[Screen Saver.Kelvorin]\r\nDrive Standby=1\r\nVideo Managed=1\r\n"
                      + row.keys + "PWProtected=1\r\n");
        const std::string before = ControlIniContents();
        ChildProcess page;
        ASSERT_TRUE(page.Start(HelperProgramPath("preview_page"), L"preview_page"));
        HWND pageWindow = page.FindWindowOfClass(L"KelvorinTestPage");
        ASSERT_NE(nullptr, pageWindow);
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(),
                                L"\"" + SaverProgramPath() + L"\" /p " + Decimal(pageWindow)));
        if (!row.shown) {
            EXPECT_EQ(0, saver.Wait(3000));
            EXPECT_EQ(nullptr, FindWindowExW(pageWindow, nullptr, PreviewClass, nullptr));
        } else {
            HWND preview = FindPreview(pageWindow);
            ASSERT_NE(nullptr, preview);
            DWORD owner = 0;
            GetWindowThreadProcessId(preview, &owner);
            EXPECT_EQ(saver.info.dwProcessId, owner);
            EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_VISIBLE),
                      GetWindowLongW(preview, GWL_STYLE) & (WS_CHILD | WS_VISIBLE | WS_POPUP));
            RECT pageClient, previewRect;
            GetClientRect(pageWindow, &pageClient);
            GetWindowRect(preview, &previewRect);
            MapWindowPoints(nullptr, pageWindow, reinterpret_cast<POINT*>(&previewRect), 2);
            EXPECT_TRUE(EqualRect(&pageClient, &previewRect));
            EXPECT_EQ(nullptr, saver.FindWindowOfClass(L"#32770", 1500)) << "no box";
            if (row.launched) {
                std::string log;
                ReadWholeFile(logPath, &log);
                std::wstring child = Decimal(preview);
                EXPECT_NE(std::string::npos,
                          log.find("cmdline " + helper + " /p "
                                   + std::string(child.begin(), child.end()) + "\n"))
                    << log;
            }
            PostMessageW(pageWindow, WM_CLOSE, 0, 0);
            EXPECT_EQ(0, saver.Wait(5000)) << "ends when its window is destroyed";
        }
        EXPECT_EQ(before, ControlIniContents()) << "a preview writes nothing";
        PostMessageW(pageWindow, WM_CLOSE, 0, 0);
        page.Wait(5000);
        EndChainedSavers(logPath);
    }
    SetEnvironmentVariableA("KELVORIN_CHAIN_LOG", nullptr);
}

TEST(PreviewProcess, NoWindowOrADeadOneEndsAtOnceWithZero)
{
    HWND dead = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                nullptr, nullptr);
    DestroyWindow(dead);
    for (std::wstring arguments : {std::wstring(L"/p 0"), L"/p " + Decimal(dead), L"-P:" + Decimal(dead)}) {
        SCOPED_TRACE(testing::Message() << testing::PrintToString(arguments));
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" " + arguments));
        EXPECT_EQ(0, saver.Wait(3000));
    }
}

} // namespace
