// The window procedure of a saver run.
#include "saver/saver_window.h"

#include "host/default_saver_proc.h"

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefaultSaverProc(window, message, wParam, lParam);
}
