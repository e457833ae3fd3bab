// The preview: a child window inside another program's window that shows in
// small what a saver run would show.
#pragma once
#include <windows.h>

// Creates the preview window over the whole client area of `parent`, for the
// loaded settings. Returns it, or none when it cannot be made.
HWND CreatePreviewWindow(HINSTANCE instance, HWND parent);

LRESULT CALLBACK PreviewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
