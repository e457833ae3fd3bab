// The About box: closes through its OK button only; Esc and F1 leave it open.
#include "settings/about_dialog.h"

namespace {

constexpr INT_PTR AboutResult = 0;

BOOL OnAboutCommand(HWND dialog, WPARAM wParam)
{
    if (wParam == IDOK)
        EndDialog(dialog, AboutResult);
    return TRUE;
}

} // namespace

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        return OnAboutCommand(dialog, wParam);
    }
    return FALSE;
}
