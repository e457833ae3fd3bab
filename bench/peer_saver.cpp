// The floor any Win32 screen saver pays, for the benchmark to compare against:
// a topmost full-screen black window of the saver class that hides the cursor
// and ends on a key. Whatever the command line says, it runs as the saver.
#include <windows.h>

namespace {

const wchar_t SaverClassName[] = L"WindowsScreenSaverClass";

LRESULT CALLBACK PeerSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool CreatePeerWindow(HINSTANCE instance)
{
    WNDCLASSW saverClass = {};
    saverClass.lpfnWndProc = PeerSaverProc;
    saverClass.hInstance = instance;
    saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    saverClass.lpszClassName = SaverClassName;
    if (!RegisterClassW(&saverClass))
        return false;
    return CreateWindowExW(WS_EX_TOPMOST, SaverClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                           nullptr, nullptr, instance, nullptr) != nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    if (!CreatePeerWindow(instance))
        return 0;
    ShowCursor(FALSE);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
