// The saver window class and window as the host creates them in this process.
#include <gtest/gtest.h>

#include "app/entry.h"
#include "host/host.h"
#include "resources/resource.h"
#include "saver/saver_window.h"
#include "support/stand_ins.h"
#include "support/wine_test.h"

#include <algorithm>

namespace {

int WINAPI NoMessageBox(HWND, LPCWSTR, LPCWSTR, UINT)
{
    return IDOK;
}

class SaverWindowClassTest : public testing::Test {
protected:
    StandIns standIns = {};    // no box stops a test; the other seams take the real calls

    void SetUp() override
    {
        standIns.showMessageBox = NoMessageBox;
        InstallStandIns(standIns);
        UnregisterClassW(L"WindowsScreenSaverClass", ModuleInstance);
        SaverWindow = nullptr;
    }
    void TearDown() override
    {
        if (SaverWindow && IsWindow(SaverWindow))
            DestroyWindow(SaverWindow);
        UnregisterClassW(L"WindowsScreenSaverClass", ModuleInstance);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        RemoveStandIns();
    }
};

TEST_F(SaverWindowClassTest, ClassHasNoCursorABlackBackgroundAndTheModuleIcon)
{
    ASSERT_TRUE(CreateSaverWindow(ModuleInstance));
    HWND window = SaverWindow;
    EXPECT_EQ(static_cast<ULONG_PTR>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS), GetClassLongPtrW(window, GCL_STYLE));
    EXPECT_EQ(0u, GetClassLongPtrW(window, GCLP_HCURSOR));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(GetStockObject(BLACK_BRUSH)), GetClassLongPtrW(window, GCLP_HBRBACKGROUND));
    EXPECT_NE(0u, GetClassLongPtrW(window, GCLP_HICON));
    EXPECT_EQ(0u, GetClassLongPtrW(window, GCL_CBCLSEXTRA));
    EXPECT_EQ(0u, GetClassLongPtrW(window, GCL_CBWNDEXTRA));
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(SaverWindowProc), GetClassLongPtrW(window, GCLP_WNDPROC));
    EXPECT_EQ(nullptr, GetParent(window));
    EXPECT_EQ(nullptr, GetMenu(window));
}

// The virtual screen's metrics as a layout would give them: x, y, width, height.
int VirtualScreen[4];
int WINAPI VirtualScreenMetric(int index)
{
    static_assert(SM_CYVIRTUALSCREEN - SM_XVIRTUALSCREEN == 3, "four metrics in a row");
    return index >= SM_XVIRTUALSCREEN && index <= SM_CYVIRTUALSCREEN
               ? VirtualScreen[index - SM_XVIRTUALSCREEN]
               : GetSystemMetrics(index);
}

// A monitor left of or above the primary one puts the corner at negative
// coordinates; the window covers the whole virtual screen, made and changed.
TEST_F(SaverWindowClassTest, TheWindowCoversTheVirtualScreenWhereverItsCornerLies)
{
    // Made with both left and top negative, then changed to each alone.
    const int layouts[][4] = {{-800, -600, 1824, 1368}, {-1280, 0, 2304, 768}, {0, -200, 1024, 968}};
    standIns.systemMetric = VirtualScreenMetric;
    InstallStandIns(standIns);
    for (const auto& metrics : layouts) {
        std::copy(metrics, metrics + 4, VirtualScreen);
        if (&metrics == &layouts[0])
            ASSERT_TRUE(CreateSaverWindow(ModuleInstance));
        else
            SendMessageW(SaverWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(metrics[2], metrics[3]));
        RECT window, expected = {metrics[0], metrics[1], metrics[0] + metrics[2], metrics[1] + metrics[3]};
        GetWindowRect(SaverWindow, &window);
        EXPECT_TRUE(EqualRect(&expected, &window))
            << window.left << ", " << window.top << " - " << window.right << ", " << window.bottom;
    }
}

TEST_F(SaverWindowClassTest, AClassThatCannotBeRegisteredEndsTheRunWithCodeZero)
{
    WNDCLASSW taken = {};
    taken.lpfnWndProc = DefWindowProcW;
    taken.hInstance = ModuleInstance;
    taken.lpszClassName = L"WindowsScreenSaverClass";
    ASSERT_NE(0, RegisterClassW(&taken));

    EXPECT_FALSE(CreateSaverWindow(ModuleInstance));
    EXPECT_EQ(nullptr, SaverWindow);
    EXPECT_EQ(nullptr, FindWindowW(L"WindowsScreenSaverClass", nullptr));
    EXPECT_EQ(0, RunSaver(ModuleInstance));
}

} // namespace
