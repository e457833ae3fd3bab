// The program entry and its three runs: the top floor, above the saver and the
// settings that the runs start.
#pragma once
#include <windows.h>

// The whole program: start-up, the chosen run, clean-up. Returns the exit code.
int ProgramEntry();

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
