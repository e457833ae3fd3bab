// Texts shown to the user: strings of the table in the user's language, read
// and formatted through the wide functions, and the message boxes that show them.
#pragma once
#include <windows.h>

#include <cstddef>

// String `id` into `text` of `size` characters; empty when it is missing.
void LoadText(UINT id, wchar_t* text, int size);
// String `id` used as a wsprintf format (%s a wide text, %lu, %ld) with the
// arguments that follow, cut to `size` characters.
void FormatText(wchar_t* text, size_t size, UINT id, ...);
// A message box with `text` and the caption string `captionId`.
int ShowTextBox(HWND owner, const wchar_t* text, UINT captionId, UINT type);
// An ownerless OK box of string `textId` with the caption string `captionId`.
void ShowStringBox(UINT textId, UINT captionId);
