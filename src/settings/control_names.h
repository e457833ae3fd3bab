// Names that a screen reader reads for controls without a caption of their own.
#pragma once
#include <windows.h>

// Windows names such a control from the label just before it in z-order: a
// hidden label with the text `nameId` goes there. A %s in the text stands for
// the caption of `captionId`, the control's row, without its access key and
// trailing blanks.
void NameControl(HWND dialog, int controlId, UINT nameId, int captionId = 0);

// Names every minute field and spin bar of the setup dialog, the battery
// column's where it is shown, and the saver list.
void NameSetupControls(HWND dialog);
