// The program entry: the command-line dispatch to the saver run with its window
// and message loop, the preview run and the configuration run.
#include "app/entry.h"

#include "host/command_line.h"
#include "host/host.h"
#include "resources/resource.h"
#include "saver/preview_window.h"
#include "saver/saver_window.h"
#include "settings/settings.h"
#include "settings/setup_dialog.h"

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

int ProgramEntry()
{
    const wchar_t* arguments = ArgumentsOf(GetCommandLineW());
    RunKind run = RunKindOf(arguments);
    StartHost(run != RunKind::Preview);
    CarryOverSettings();
    int result = 0;
    switch (run) {
    case RunKind::Saver:
        result = RunSaver(ModuleInstance);
        break;
    case RunKind::Preview:
        result = RunPreview(ModuleInstance, WindowOfNumber(PreviewWindowOf(arguments)));
        break;
    case RunKind::ConfigurationOwned:
    case RunKind::ConfigurationUnowned:
        result = RunConfiguration(ModuleInstance, run == RunKind::ConfigurationOwned);
        break;
    }
    RemoveHelpFilter();
    return result;
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

