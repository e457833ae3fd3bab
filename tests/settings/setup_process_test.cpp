// kelvorin.scr "/c" as a process: the working setup dialog drawn by the manifest's common
// controls, exit code 1 after Cancel, and itself listed wherever it lies.
#include <gtest/gtest.h>

#include <commctrl.h>

#include "resources/resource.h"
#include "support/dialog_script.h"
#include "support/profile_mapping.h"
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
    EXPECT_EQ(30, SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETMINVISIBLE, 0, 0))
        << "the list default of the manifest's common controls";
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_EQ(1, setup.Wait());
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(ControlIniPath(), &contents));
}

// The first run after the package is installed shows the user's settings of
// control.ini, carried over into the user's key, and OK keeps them there; the
// file stays as it was.
TEST(SetupProcess, UnderANewMappingTheFirstRunCarriesTheSettingsOverAndOkKeepsThemThere)
{
    const std::string file = "[Screen Saver.Kelvorin]\r\nStandby After=7\r\n";
    SetControlIni(file);
    InstallProfileMapping();
    ChildProcess setup;
    ASSERT_TRUE(setup.Start(SaverProgramPath(), L"\"" + SaverProgramPath() + L"\" /c"));
    HWND dialog = setup.FindWindowOfClass(L"#32770");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(L"7", FieldText(dialog, IDC_STANDBY_AFTER));
    PostClick(dialog, IDOK);
    EXPECT_EQ(1, setup.Wait());
    const auto kept = UserSettings();
    EXPECT_EQ(14u, kept.size()) << "every key the dialog saves";
    EXPECT_EQ("7", kept.at("Standby After"));
    EXPECT_EQ(file, ControlIniContents());
}

// Installed where it lies (Windows' Install command): the list offers the module
// itself, and choosing it stores its name and full path.
TEST(SetupProcess, StartedOutsideTheSystemDirectoryItListsItselfAndOkStoresItsPath)
{
    const std::string installed = WindowsFilePath("kelvorin.scr");
    const std::wstring program(installed.begin(), installed.end());
    RemoveControlIni();
    ASSERT_TRUE(CopyFileW(SaverProgramPath().c_str(), program.c_str(), FALSE));
    ChildProcess setup;
    ASSERT_TRUE(setup.Start(program, L"\"" + program + L"\" /c"));
    HWND dialog = setup.FindWindowOfClass(L"#32770");
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(2, SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(L"kelvorin.scr", ListItem(dialog, 1));
    ChooseListItem(dialog, IDC_SAVER_LIST, 1);
    PostClick(dialog, IDOK);
    EXPECT_EQ(1, setup.Wait());
    const std::string ini = ControlIniContents();
    EXPECT_NE(std::string::npos, ini.find("Screen Saver=kelvorin.scr\r\n")) << ini;
    EXPECT_NE(std::string::npos, ini.find("SCRNSAVE.EXE=" + installed + "\r\n")) << ini;
    DeleteFileA(installed.c_str());
}

} // namespace
