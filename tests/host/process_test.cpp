// kelvorin.scr as a process: the command line picks the run, the saver window
// covers the screen and a key ends it, the setup dialog ends with exit code 1.
#include <gtest/gtest.h>

#include "support/wine_test.h"

namespace {

const wchar_t SaverClass[] = L"WindowsScreenSaverClass";
const wchar_t DialogClass[] = L"#32770";

std::wstring CommandLine(const wchar_t* arguments)
{
    std::wstring line = L"\"" + SaverProgramPath() + L"\"";
    if (*arguments)
        line += std::wstring(L" ") + arguments;
    return line;
}

TEST(SaverProcess, SaverRunCoversEveryMonitorAndEndsOnAKey)
{
    ChildProcess saver;
    ASSERT_TRUE(saver.Start(SaverProgramPath(), CommandLine(L"/s")));
    HWND window = saver.FindWindowOfClass(SaverClass);
    ASSERT_NE(nullptr, window);

    EXPECT_EQ(0x96000000u, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(GetSystemMetrics(SM_XVIRTUALSCREEN), rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_YVIRTUALSCREEN), rect.top);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), rect.right - rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYVIRTUALSCREEN), rect.bottom - rect.top);
    wchar_t title[16] = L"x";
    GetWindowTextW(window, title, 16);
    EXPECT_STREQ(L"", title);

    PostMessageW(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(0, saver.Wait());
}

TEST(SaverProcess, EverySpellingOfTheSaverSwitchStartsASaverRun)
{
    for (const wchar_t* arguments : {L"/S", L"/s:1234", L"-S", L"s", L"   /s"}) {
        SCOPED_TRACE(testing::Message() << "arguments " << testing::PrintToString(std::wstring(arguments)));
        ChildProcess saver;
        ASSERT_TRUE(saver.Start(SaverProgramPath(), CommandLine(arguments)));
        HWND window = saver.FindWindowOfClass(SaverClass);
        ASSERT_NE(nullptr, window);
        PostMessageW(window, WM_SYSKEYDOWN, VK_MENU, 0);
        EXPECT_EQ(0, saver.Wait());
    }
}

TEST(SaverProcess, ConfigurationRunShowsTheSetupDialogAndExitsWithOne)
{
    for (const wchar_t* arguments : {L"/c", L"", L"-s 5", L"/c:1234", L"c"}) {
        SCOPED_TRACE(testing::Message() << "arguments " << testing::PrintToString(std::wstring(arguments)));
        ChildProcess setup;
        ASSERT_TRUE(setup.Start(SaverProgramPath(), CommandLine(arguments)));
        HWND dialog = setup.FindWindowOfClass(DialogClass);
        ASSERT_NE(nullptr, dialog);
        wchar_t caption[32] = {};
        GetWindowTextW(dialog, caption, 32);
        EXPECT_STREQ(L"Kelvorin Setup ", caption);
        EXPECT_NE(nullptr, GetDlgItem(dialog, 1030)) << "the saver list of template 2003";
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(1, setup.Wait());
    }
}

TEST(SaverProcess, ATabIsNoBlankSoTheSaverSwitchIsNotSeen)
{
    ChildProcess setup;
    ASSERT_TRUE(setup.Start(SaverProgramPath(), L"kelvorin.scr\t/s"));
    HWND dialog = setup.FindWindowOfClass(DialogClass);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(nullptr, setup.FindWindowOfClass(SaverClass, 200));
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(1, setup.Wait());
}

// Quoted, a path with a blank (as under "Program Files") runs to its closing mark;
// unquoted, it is cut at the blank and no saver switch is seen.
TEST(SaverProcess, AQuotedPathWithABlankRunsToItsClosingMark)
{
    const std::wstring folder = WinePath(KELVORIN_BUILD_DIR "/My Savers"), saver = folder + L"\\k.scr";
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW(SaverProgramPath().c_str(), saver.c_str(), FALSE));
    for (const std::wstring& commandLine : {L"\"" + saver + L"\" /s", saver + L" /s"}) {
        const bool quoted = commandLine[0] == L'"';
        ChildProcess process;
        ASSERT_TRUE(process.Start(saver, commandLine));
        HWND window = process.FindWindowOfClass(quoted ? SaverClass : DialogClass);
        ASSERT_NE(nullptr, window) << testing::PrintToString(commandLine);
        PostMessageW(window, quoted ? WM_KEYDOWN : WM_COMMAND, quoted ? 'A' : IDCANCEL, 0);
        EXPECT_EQ(quoted ? 0 : 1, process.Wait());
    }
}

} // namespace
