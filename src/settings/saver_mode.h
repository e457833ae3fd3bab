// The saver-mode rule: which visual saver a name or path stands for.
// Needs no Win32, so it also builds natively.
#pragma once

enum SaverModeKind : int {
    SaverModeChained = 0,   // another saver program runs
    SaverModeLogo = 1,      // this module's own jumping logo
    SaverModeBlank = 2,     // nothing is drawn
};

// Logo when `name` contains `ownText` anywhere; otherwise Blank when it begins
// with `noneText`; otherwise Chained. Byte for byte, case-sensitive.
int SaverModeFor(const char* name, const char* ownText, const char* noneText);
