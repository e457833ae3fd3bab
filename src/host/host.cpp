// The program entry: start-up, the command-line dispatch, the saver window and
// its message loop, the configuration run and the F1 help filter.
#include "host/host.h"

#include "host/command_line.h"
#include "host/outside.h"
#include "host/screen_area.h"
#include "resources/resource.h"
#include "saver/preview_window.h"
#include "saver/saver_window.h"
#include "settings/settings.h"
#include "settings/setup_dialog.h"

HINSTANCE ModuleInstance;
// The registered message's name and the section of control.ini: looked up, so
// the same in every language.
const wchar_t ApplicationName[40] = L"Screen Saver.Kelvorin";
UINT SaverHelpMessage;
HHOOK HelpFilterHook;
HWND SaverWindow;
char ModulePath[MAX_PATH];

namespace {

const wchar_t SaverClassName[] = L"WindowsScreenSaverClass";
constexpr DWORD SaverWindowStyle = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Handles on 64-bit Windows carry 32 significant bits and are sign-extended.
HWND WindowOfNumber(uint32_t number)
{
    return reinterpret_cast<HWND>(static_cast<intptr_t>(static_cast<int32_t>(number)));
}

int RunMessageLoop()
{
    MSG message = {};
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

void StartHost(bool helpFilter)
{
    ModuleInstance = GetModuleHandleW(nullptr);
    // A cut path would name another file.
    DWORD length = GetModuleFileNameA(ModuleInstance, ModulePath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        ModulePath[0] = '\0';
    SaverHelpMessage = RegisterWindowMessageW(ApplicationName);
    if (SaverHelpMessage != 0 && helpFilter)
        HelpFilterHook = SetWindowsHookExW(WH_MSGFILTER, HelpKeyFilter, nullptr, GetCurrentThreadId());
}

int ProgramEntry()
{
    const wchar_t* arguments = ArgumentsOf(GetCommandLineW());
    RunKind run = RunKindOf(arguments);
    StartHost(run != RunKind::Preview);
    CarryOverSettings();
    switch (run) {
    case RunKind::Saver:
        return RunSaver(ModuleInstance);
    case RunKind::Preview:
        return RunPreview(ModuleInstance, WindowOfNumber(PreviewWindowOf(arguments)));
    case RunKind::ConfigurationOwned:
        return RunConfiguration(ModuleInstance, true);
    case RunKind::ConfigurationUnowned:
        break;
    }
    return RunConfiguration(ModuleInstance, false);
}

RECT VirtualScreenRect()
{
    ScreenArea area = VirtualScreenArea(
        Outside::SystemMetric(SM_XVIRTUALSCREEN), Outside::SystemMetric(SM_YVIRTUALSCREEN),
        Outside::SystemMetric(SM_CXVIRTUALSCREEN), Outside::SystemMetric(SM_CYVIRTUALSCREEN));
    return {area.left, area.top, area.right, area.bottom};
}

BOOL CreateSaverWindow(HINSTANCE instance)
{
    WNDCLASSW windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_KELVORIN));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = SaverClassName;
    if (RegisterClassW(&windowClass) == 0)
        return FALSE;

    RECT screen = VirtualScreenRect();
    SaverWindow = CreateWindowExW(WS_EX_TOPMOST, SaverClassName, L"", SaverWindowStyle, screen.left,
                                  screen.top, screen.right - screen.left,
                                  screen.bottom - screen.top, nullptr, nullptr, instance, nullptr);
    return SaverWindow != nullptr;
}

int RunSaver(HINSTANCE instance)
{
    if (!CreateSaverWindow(instance))
        return 0;
    int quitCode = RunMessageLoop();
    if (IsWindow(SaverWindow))
        DestroyWindow(SaverWindow);
    if (SaverHelpMessage != 0)
        UnhookWindowsHookEx(HelpFilterHook);
    return quitCode;
}

int RunPreview(HINSTANCE instance, HWND parent)
{
    if (!IsWindow(parent))
        return 0;
    LoadSettings(false);
    // A blank saver leaves the screen as it is: the page shows its own picture.
    if (SaverMode == SaverModeBlank || !CreatePreviewWindow(instance, parent))
        return 0;
    RunMessageLoop();
    return 0;
}

BOOL RegisterSetupDialogClasses(HINSTANCE)
{
    return TRUE;
}

int RunConfiguration(HINSTANCE instance, bool ownedByActiveWindow)
{
    HWND owner = ownedByActiveWindow ? GetActiveWindow() : nullptr;
    if (RegisterSetupDialogClasses(instance))
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_SETUP), owner, SetupDialogProc, 0);
    return 1;
}

LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    if (code > 0)
        return 0;
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && message->wParam == VK_F1
        && message->hwnd != nullptr) {
        // Climb from the control to the top-level window that holds it.
        HWND target = message->hwnd;
        for (HWND window = message->hwnd; window != nullptr;
             window = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_HWNDPARENT))) {
            target = window;
            if (!(GetWindowLongW(window, GWL_STYLE) & WS_CHILD))
                break;
        }
        PostMessageW(target, SaverHelpMessage, 0, 0);
        return 1;
    }
    return CallNextHookEx(HelpFilterHook, code, wParam, lParam);
}
