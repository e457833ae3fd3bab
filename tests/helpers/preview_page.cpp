// Stands in for the settings page that holds a saver's preview: a window whose
// client area is 152 x 112, the size of the page's little screen. It closes on
// WM_CLOSE, and by itself after half a minute.
#include <windows.h>

namespace {

constexpr UINT_PTR LifetimeTimer = 1;
constexpr UINT Lifetime = 30000;

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PageProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = L"KelvorinTestPage";
    RegisterClassW(&windowClass);
    RECT frame = {0, 0, 152, 112};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExW(0, L"KelvorinTestPage", L"page", WS_OVERLAPPEDWINDOW, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    SetTimer(window, LifetimeTimer, Lifetime, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
