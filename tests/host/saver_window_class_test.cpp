// The saver window class and window as the host creates them in this process.
#include <gtest/gtest.h>

#include "host/host.h"
#include "host/outside.h"
#include "resources/resource.h"
#include "saver/saver_window.h"
#include "support/wine_test.h"

namespace {

int WINAPI NoMessageBox(HWND, LPCWSTR, LPCWSTR, UINT)
{
    return IDOK;
}

class SaverWindowClassTest : public testing::Test {
protected:
    void SetUp() override
    {
        Outside::ShowMessageBox = NoMessageBox;
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
        Outside::ShowMessageBox = MessageBoxW;
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
