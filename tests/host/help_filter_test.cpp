// The F1 help filter inside a real modal dialog: F1 on a control becomes one
// SaverHelpMessage for the dialog, and the control never sees that key-down.
#include <gtest/gtest.h>

#include <vector>

#include "host/host.h"
#include "resources/resource.h"
#include "support/wine_test.h"

namespace {

constexpr UINT WM_TEST_CHECK = WM_APP + 1;
constexpr UINT WM_TEST_END = WM_APP + 2;

struct KeySeen {
    UINT message;
    WPARAM key;
    bool operator==(const KeySeen& other) const { return message == other.message && key == other.key; }
};

std::vector<KeySeen> ControlKeys;
std::vector<HWND> HelpTargets;
WNDPROC ControlProc;
HWND FocusTarget;

LRESULT CALLBACK RecordingControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_KEYUP)
        ControlKeys.push_back({message, wParam});
    if (message == SaverHelpMessage)
        HelpTargets.push_back(window);
    return CallWindowProcW(ControlProc, window, message, wParam, lParam);
}

INT_PTR CALLBACK KeyDialogProc(HWND dialog, UINT message, WPARAM, LPARAM)
{
    if (message == SaverHelpMessage) {
        HelpTargets.push_back(dialog);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG: {
        HWND edit = GetDlgItem(dialog, IDC_STANDBY_AFTER);
        ControlProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingControlProc)));
        HWND target = FocusTarget ? FocusTarget : edit;
        if (target == reinterpret_cast<HWND>(-1))
            target = dialog;
        PostMessageW(target, WM_KEYDOWN, VK_F1, 0x003B0001);
        PostMessageW(target, WM_KEYUP, VK_F1, static_cast<LPARAM>(0xC03B0001));
        PostMessageW(target, WM_KEYDOWN, 'A', 0x001E0001);
        PostMessageW(dialog, WM_TEST_CHECK, 0, 0);
        return TRUE;
    }
    case WM_TEST_CHECK:
        // The filter posts its message while the key-down is taken from the queue,
        // so it arrives before this one: one more round lets it through.
        PostMessageW(dialog, WM_TEST_END, 0, 0);
        return TRUE;
    case WM_TEST_END:
        EndDialog(dialog, 7);
        return TRUE;
    }
    return FALSE;
}

class HelpFilterTest : public testing::Test {
protected:
    void SetUp() override
    {
        StartHost();
        ASSERT_NE(0u, SaverHelpMessage);
        ASSERT_NE(nullptr, HelpFilterHook);
        ControlKeys.clear();
        HelpTargets.clear();
        FocusTarget = nullptr;
    }
    void TearDown() override { UnhookWindowsHookEx(HelpFilterHook); }
};

TEST_F(HelpFilterTest, StartUpRegistersTheHelpMessageUnderTheApplicationName)
{
    EXPECT_STREQ(L"Screen Saver.Kelvorin", ApplicationName);
    EXPECT_EQ(RegisterWindowMessageW(L"Screen Saver.Kelvorin"), SaverHelpMessage);
}

TEST_F(HelpFilterTest, F1OnAControlReachesTheDialogOnce)
{
    EXPECT_EQ(7, DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, KeyDialogProc, 0));
    ASSERT_EQ(1u, HelpTargets.size());
    EXPECT_NE(nullptr, HelpTargets[0]);
    EXPECT_FALSE(GetWindowLongW(HelpTargets[0], GWL_STYLE) & WS_CHILD) << "the dialog, not the control";

    std::vector<KeySeen> expected = {{WM_KEYUP, VK_F1}, {WM_KEYDOWN, 'A'}};
    EXPECT_EQ(expected, ControlKeys);
}

TEST_F(HelpFilterTest, F1OnTheDialogItselfIsPostedToIt)
{
    FocusTarget = reinterpret_cast<HWND>(-1);
    DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_SETUP), nullptr, KeyDialogProc, 0);
    EXPECT_EQ(1u, HelpTargets.size());
}

TEST_F(HelpFilterTest, OutsideDialogLoopsNothingIsTaken)
{
    MSG message = {};
    message.message = WM_KEYDOWN;
    message.wParam = VK_F1;
    message.hwnd = GetDesktopWindow();
    EXPECT_EQ(0, HelpKeyFilter(MSGF_MENU, 0, reinterpret_cast<LPARAM>(&message)));
    EXPECT_EQ(0, HelpKeyFilter(MSGF_SCROLLBAR, 0, reinterpret_cast<LPARAM>(&message)));
    MSG posted;
    EXPECT_FALSE(PeekMessageW(&posted, nullptr, SaverHelpMessage, SaverHelpMessage, PM_REMOVE));
}

} // namespace
