// The default behaviour of a screen saver window: no cursor, input closes it,
// its destruction ends the run.
#include "host/default_saver_proc.h"

#include <cstdlib>

bool MouseOriginRecorded;
POINT MouseOrigin;

namespace {

// Movements of up to this many pixels (summed over both axes) are jitter.
constexpr long MouseJitter = 3;

void PostClose(HWND window)
{
    PostMessageW(window, WM_CLOSE, 0, 0);
}

void TestMouseMovement(HWND window)
{
    if (!MouseOriginRecorded) {
        GetCursorPos(&MouseOrigin);
        MouseOriginRecorded = true;
        return;
    }
    POINT now;
    GetCursorPos(&now);
    if (std::labs(now.x - MouseOrigin.x) + std::labs(now.y - MouseOrigin.y) > MouseJitter)
        PostClose(window);
}

// Leaves the cursor one pixel up and to the right of the click, or up and to the
// left where moving right and down is not possible at all.
void NudgeCursor()
{
    POINT start, moved;
    GetCursorPos(&start);
    SetCursorPos(start.x + 1, start.y + 1);
    GetCursorPos(&moved);
    long x = start.x + 1;
    if (moved.x != start.x + 1 && moved.y != start.y + 1)
        x = start.x - 1;
    SetCursorPos(x, start.y - 1);
}

} // namespace

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            TestMouseMovement(window);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        break;
    case WM_NCACTIVATE:
        if (wParam == 0)
            return FALSE;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        PostClose(window);
        break;
    case WM_SYSCOMMAND:
        if (wParam == SC_SCREENSAVE || wParam == SC_CLOSE)
            return 0;
        break;
    case WM_MOUSEMOVE:
        TestMouseMovement(window);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        NudgeCursor();
        PostClose(window);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
