// The process-wide values of every run, the start-up that sets them, the
// virtual screen and the F1 help filter.
#include "host/host.h"

#include "host/outside.h"
#include "host/screen_area.h"

HINSTANCE ModuleInstance;
// The registered message's name and the section of control.ini: looked up, so
// the same in every language.
const wchar_t ApplicationName[40] = L"Screen Saver.Kelvorin";
UINT SaverHelpMessage;
HHOOK HelpFilterHook;
HWND SaverWindow;
char ModulePath[MAX_PATH];


void StartHost(bool helpFilter)
{
    ModuleInstance = GetModuleHandleW(nullptr);
    // A cut path would name another file.
    DWORD length = GetModuleFileNameA(ModuleInstance, ModulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        ModulePath[0] = '\0';
    SaverHelpMessage = RegisterWindowMessageW(ApplicationName);
    if (helpFilter)
        InstallHelpFilter();
}

void InstallHelpFilter()
{
    if (SaverHelpMessage != 0)
        HelpFilterHook = SetWindowsHookExW(WH_MSGFILTER, HelpKeyFilter, nullptr, GetCurrentThreadId());
}

void RemoveHelpFilter()
{
    if (HelpFilterHook != nullptr)
        UnhookWindowsHookEx(HelpFilterHook);
    HelpFilterHook = nullptr;
}

RECT VirtualScreenRect()
{
    ScreenArea area = VirtualScreenArea(
        Outside::SystemMetric(SM_XVIRTUALSCREEN), Outside::SystemMetric(SM_YVIRTUALSCREEN),
        Outside::SystemMetric(SM_CXVIRTUALSCREEN), Outside::SystemMetric(SM_CYVIRTUALSCREEN));
    return {area.left, area.top, area.right, area.bottom};
}

LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    if (code > 0)
        return 0;
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_F1
        && message->hwnd != nullptr) {
        // Climb from the control to the top-level window that holds it; the
        // window just below that is the dialog's control, none on the dialog itself.
        HWND target = message->hwnd;
        HWND control = nullptr;
        for (HWND window = message->hwnd; window != nullptr;
             window = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT))) {
            if (window != message->hwnd)
                control = target;
            target = window;
            if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
                break;
        }
        PostMessageW(target, SaverHelpMessage, reinterpret_cast<WPARAM>(control), 0);
        return 1;
    }
    return CallNextHookEx(HelpFilterHook, code, wParam, lParam);
}
