// The window procedure of a saver run.
#pragma once
#include <windows.h>

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
