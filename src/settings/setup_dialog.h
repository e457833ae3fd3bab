// The setup dialog of a configuration run (template 2003).
#pragma once
#include <windows.h>

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lists "None", then the catalogued savers, in the dialog's saver list.
void FillSaverList(HWND dialog);
