// The setup dialog's second column of minute fields, for the battery, made at
// run time where Windows reports a system battery.
#pragma once
#include <windows.h>

// Where a system battery is reported: makes a minute field and its spin bar
// beside each power row's own, in the tab order right after them, and the
// headings of both columns; the dialog grows to make room. Without a battery
// the dialog stays as its template made it. Sets SaveBatteryMinutes when made.
void CreateBatteryColumn(HWND dialog);
// The column was made.
bool BatteryColumnShown(HWND dialog);
