// The default behaviour of a screen saver window: no cursor, input closes it,
// its destruction ends the run.
#pragma once
#include <windows.h>

// The reference cursor position for the mouse movement test, taken once by the
// first movement or deactivation and never reset while the process lives.
extern bool MouseOriginRecorded;
extern POINT MouseOrigin;

LRESULT CALLBACK DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
