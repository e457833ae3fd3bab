// kelvorin.scr "/c" as a process: the working setup dialog drawn by the manifest's common
// controls, and exit code 1 after Cancel.
#include <gtest/gtest.h>

#include <commctrl.h>

#include "resources/resource.h"
#include "support/wine_test.h"

namespace {

// Texts of another process's controls travel as wide characters.
std::wstring ListItem(HWND dialog, int index)
{
    wchar_t text[64] = {};
    SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring FieldText(HWND dialog, int id)
{
    wchar_t text[64] = {};
    SendDlgItemMessageW(dialog, id, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(SetupProcess, ConfigurationRunShowsTheWorkingDialogAndCancelWritesNothing)
{
    RemoveControlIni();
    ChildProcess setup;
    ASSERT_TRUE(setup.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" /c"));
    HWND dialog = setup.FindWindowOfClass(L"#32770");
    ASSERT_NE(nullptr, dialog);
    EXPECT_LE(1, SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"None", ListItem(dialog, 0));
    EXPECT_EQ(0, SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETCURSEL, 0, 0)) << "None selected";
    EXPECT_EQ(L"1", FieldText(dialog, IDC_SPIN_DOWN_AFTER));
    EXPECT_EQ(L"0", FieldText(dialog, IDC_STANDBY_AFTER));
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageW(dialog, IDC_MOUSE_MOVE, BM_GETCHECK, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_DRIVE_STANDBY))) << "no drive device here";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_TEST)));
    const LRESULT commonControlsListDefault = 30;
    EXPECT_EQ(commonControlsListDefault, SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETMINVISIBLE, 0, 0))
        << "the manifest's common controls draw the dialog";
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(1, setup.Wait());
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(ControlIniPath(), &contents));
}

} // namespace
