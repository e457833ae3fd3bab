// The help window: Kelvorin's own help for the setup dialog, in the user's language.
#pragma once
#include <windows.h>

// Shows the help modally, owned by `owner` (the setup dialog), with the
// paragraph of the setup dialog's control `control` selected and at the top;
// at the start of the text for 0 or a control without a paragraph.
void ShowHelpWindow(HWND owner, int control);

INT_PTR CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
