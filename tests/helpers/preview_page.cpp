// Stands in for the settings page that holds a saver's preview: a window with a
// 152 x 112 client area, the page's little screen. It closes on WM_CLOSE, and
// by itself after half a minute.
#include <windows.h>

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
        DestroyWindow(window);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSW windowClass = {0, PageProc, 0, 0, instance};
    windowClass.lpszClassName = L"KelvorinTestPage";
    RegisterClassW(&windowClass);
    RECT frame = {0, 0, 152, 112};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"KelvorinTestPage", L"page", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  100, 100, frame.right - frame.left, frame.bottom - frame.top,
                                  nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 30000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0))
        DispatchMessageW(&message);
    return 0;
}
