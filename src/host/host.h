// The process-wide values that every part reads: the module instance, the
// application name, the help message and its filter, the saver window.
#pragma once
#include <windows.h>

extern HINSTANCE ModuleInstance;
extern const wchar_t ApplicationName[40];   // "Screen Saver.Kelvorin", also the section of control.ini
extern UINT SaverHelpMessage;           // 0 when it could not be registered
extern HHOOK HelpFilterHook;
extern HWND SaverWindow;                // none in a configuration run
extern char ModulePath[MAX_PATH];       // the running module's own file; empty when unknown

// Start-up steps that need no command line: module instance and its file,
// application name, help message and, unless a preview runs, the F1 filter.
void StartHost(bool helpFilter = true);
// The F1 filter of this thread's dialogs, installed once the help message is
// registered; removed at the end of every run that installed it.
void InstallHelpFilter();
void RemoveHelpFilter();

// The rectangle that holds every monitor; with one it is that monitor.
RECT VirtualScreenRect();

// WH_MSGFILTER hook: turns F1 on a dialog control into SaverHelpMessage, posted
// to the top-level window with the control (none on the window itself) as wParam.
LRESULT CALLBACK HelpKeyFilter(int code, WPARAM wParam, LPARAM message);
