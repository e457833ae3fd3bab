// DefaultSaverProc on a real window: what closes it, the cursor, and the end of the run.
#include <gtest/gtest.h>

#include "host/default_saver_proc.h"
#include "support/wine_test.h"

namespace {

class DefaultSaverProcTest : public testing::Test {
protected:
    HWND window = nullptr;

    void SetUp() override
    {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefaultSaverProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"DefaultSaverProcTest";
        RegisterClassW(&windowClass);
        window = CreateWindowExW(0, L"DefaultSaverProcTest", L"", WS_POPUP, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(nullptr, window);
        MouseOriginRecorded = false;
        MouseOrigin = {0, 0};
        ClosesPosted();
    }
    void TearDown() override
    {
        if (IsWindow(window))
            DestroyWindow(window);
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    // How many WM_CLOSE messages wait for the window; takes them out of the queue.
    int ClosesPosted()
    {
        int count = 0;
        MSG message;
        while (PeekMessageW(&message, window, WM_CLOSE, WM_CLOSE, PM_REMOVE))
            ++count;
        return count;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return DefaultSaverProc(window, message, wParam, lParam);
    }
    static POINT Cursor()
    {
        POINT p;
        GetCursorPos(&p);
        return p;
    }
};

struct MouseRow {
    int line;
    UINT message;
    WPARAM wParam;
    int dx, dy;     // cursor position relative to the origin
    int closes;
};

TEST_F(DefaultSaverProcTest, MouseMovementIsMeasuredFromTheFirstPositionOnly)
{
    SetCursorPos(500, 400);
    // The first movement only records where the cursor is, however far it is from anything.
    EXPECT_EQ(0, Send(WM_MOUSEMOVE, 0, MAKELPARAM(900, 900)));
    EXPECT_TRUE(MouseOriginRecorded);
    EXPECT_EQ(500, MouseOrigin.x);
    EXPECT_EQ(400, MouseOrigin.y);
    EXPECT_EQ(0, ClosesPosted());

    const MouseRow rows[] = {
        {__LINE__, WM_MOUSEMOVE, 0, 2, 1, 0},
        {__LINE__, WM_MOUSEMOVE, 0, 2, 2, 1},
        {__LINE__, WM_MOUSEMOVE, 0, -4, 0, 1},
        {__LINE__, WM_MOUSEMOVE, 0, 0, -3, 0},
        {__LINE__, WM_MOUSEMOVE, 0, 0, 0, 0},
        {__LINE__, WM_ACTIVATE, WA_INACTIVE, 0, 0, 0},
        {__LINE__, WM_ACTIVATE, WA_INACTIVE, 3, 1, 1},
        {__LINE__, WM_ACTIVATEAPP, 0, -1, -3, 1},
        {__LINE__, WM_ACTIVATE, WA_ACTIVE, 50, 50, 0},
        {__LINE__, WM_ACTIVATEAPP, 1, 50, 50, 0},
    };
    for (const MouseRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SetCursorPos(500 + row.dx, 400 + row.dy);
        // The coordinates carried by a movement are not used, only where the cursor is.
        Send(row.message, row.wParam, MAKELPARAM(500, 400));
        EXPECT_EQ(row.closes, ClosesPosted());
        EXPECT_EQ(500, MouseOrigin.x);
    }
}

TEST_F(DefaultSaverProcTest, ADeactivationThatComesFirstRecordsTheOrigin)
{
    SetCursorPos(200, 150);
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_TRUE(MouseOriginRecorded);
    EXPECT_EQ(200, MouseOrigin.x);
    EXPECT_EQ(150, MouseOrigin.y);
    EXPECT_EQ(0, ClosesPosted());
    SetCursorPos(204, 150);
    Send(WM_MOUSEMOVE);
    EXPECT_EQ(1, ClosesPosted());
}

TEST_F(DefaultSaverProcTest, AButtonPressNudgesTheCursorAndClosesOnce)
{
    const int right = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 1;
    struct Row {
        int line;
        UINT message;
        POINT start, end;
    } rows[] = {
        {__LINE__, WM_LBUTTONDOWN, {300, 300}, {301, 299}},
        {__LINE__, WM_RBUTTONDOWN, {300, 300}, {301, 299}},
        {__LINE__, WM_MBUTTONDOWN, {300, 300}, {301, 299}},
        // The first move takes effect in neither coordinate: left and up instead.
        {__LINE__, WM_LBUTTONDOWN, {right, bottom}, {right - 1, bottom - 1}},
        // It takes effect downwards only: still right (held at the edge) and up.
        {__LINE__, WM_LBUTTONDOWN, {right, 300}, {right, 299}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SetCursorPos(row.start.x, row.start.y);
        Send(row.message);
        EXPECT_EQ(1, ClosesPosted());
        EXPECT_EQ(row.end.x, Cursor().x);
        EXPECT_EQ(row.end.y, Cursor().y);
    }
}

TEST_F(DefaultSaverProcTest, KeysCloseButDoubleClicksAndReleasesDoNot)
{
    SetCursorPos(300, 300);
    Send(WM_KEYDOWN, 'A');
    EXPECT_EQ(1, ClosesPosted());
    Send(WM_SYSKEYDOWN, VK_MENU);
    EXPECT_EQ(1, ClosesPosted());
    for (UINT message : {WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_RBUTTONUP, WM_KEYUP}) {
        Send(message);
        EXPECT_EQ(0, ClosesPosted()) << "message " << message;
    }
    EXPECT_EQ(300, Cursor().x);
    EXPECT_EQ(300, Cursor().y);
}

TEST_F(DefaultSaverProcTest, NoInactiveFrameAndNoCursor)
{
    EXPECT_EQ(FALSE, Send(WM_NCACTIVATE, FALSE));
    EXPECT_EQ(DefWindowProcW(window, WM_NCACTIVATE, TRUE, 0), Send(WM_NCACTIVATE, TRUE));

    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)));
    ASSERT_NE(nullptr, GetCursor());
    Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(nullptr, GetCursor());
}

TEST_F(DefaultSaverProcTest, SystemCommandsAreComparedAsWholeValues)
{
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_SCREENSAVE));
    EXPECT_EQ(0, Send(WM_SYSCOMMAND, SC_CLOSE));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(0, ClosesPosted());

    // SC_CLOSE with a low bit set is another value: the default handling closes the window.
    Send(WM_SYSCOMMAND, SC_CLOSE | 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(DefaultSaverProcTest, DestructionPostsAQuitWithCodeZero)
{
    DestroyWindow(window);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, message.wParam);
}

} // namespace
