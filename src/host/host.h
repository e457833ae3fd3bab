// The program entry and the process-wide values that every part reads: the
// module instance, the application name and the help message.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;
extern const wchar_t ApplicationName[40];   // "Screen Saver.Kelvorin", also the section of control.ini
extern UINT SaverHelpMessage;           // 0 when it could not be registered
extern HHOOK HelpFilterHook;
extern HWND SaverWindow;                // none in a configuration run
extern char ModulePath[MAX_PATH];       // the running module's own file; empty when unknown

// The whole program: start-up, the chosen run, clean-up. Returns the exit code.
int ProgramEntry();

// Start-up steps that need no command line: module instance and its file,
// application name, help message and, unless a preview runs, the F1 filter.
void StartHost(bool helpFilter = true);

// The rectangle that holds every monitor; with one it is that monitor.
RECT VirtualScreenRect();
// Registers "WindowsScreenSaverClass" and creates the topmost window over every monitor.
BOOL CreateSaverWindow(HINSTANCE instance);
// The saver run: window, message loop, clean-up. Returns the quit code.
int RunSaver(HINSTANCE instance);
// The preview run inside `parent`, which ends with the preview window. Returns 0;
// at once when `parent` is no window or the mode shows nothing.
int RunPreview(HINSTANCE instance, HWND parent);
// The configuration run: the setup dialog. Always returns 1.
int RunConfiguration(HINSTANCE instance, bool ownedByActiveWindow);
BOOL RegisterSetupDialogClasses(HINSTANCE instance);

// WH_MSGFILTER hook: turns F1 on a dialog control into SaverHelpMessage.
LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM message);
