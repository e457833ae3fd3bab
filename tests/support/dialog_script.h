// Runs a real modal dialog from its template and drives it from inside its own
// modal loop, one step per timer tick, as a user's input would arrive.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A step gets the scripted dialog; it returns false to be tried again on the
// next tick (to wait for something). A step that opens a modal box must post
// its click: a sent click would hold the script inside the box's loop.
using DialogStep = std::function<bool(HWND dialog)>;

// Shows dialog `templateId` with `procedure` and runs `steps`; the last step
// should close the dialog. Returns the dialog's result, or -2 when the script
// did not finish within `milliseconds` (every dialog of the thread is then ended).
INT_PTR RunDialogScript(int templateId, DLGPROC procedure, std::vector<DialogStep> steps,
                        DWORD milliseconds = 15000);

// Control input and state, as a user's clicks would arrive and as they show.
void Click(HWND dialog, int id);                // BM_CLICK, sent
void PostClick(HWND dialog, int id);            // BM_CLICK, posted (opens a modal box)
void TypeText(HWND dialog, int id, const char* text);
void ChooseListItem(HWND dialog, int listId, int index);    // CB_SETCURSEL and CBN_SELCHANGE
void ScrollBar(HWND dialog, int barId, int request);        // WM_VSCROLL from the bar
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
std::string TextOf(HWND dialog, int id);
std::vector<std::string> ListItems(HWND dialog, int listId);
std::string SelectedListItem(HWND dialog, int listId);      // "" when nothing is selected
// The modal box that `owner` currently shows (the About box of a dialog), or null.
HWND OwnedModalBox(HWND owner);
// A step that waits for `ticks` timer ticks.
DialogStep WaitTicks(int ticks);
// A step that does `action` once.
DialogStep Do(std::function<void(HWND)> action);
// A step that waits for the modal box `owner` shows and keeps it in `box`, and
// one that waits until that box is gone. Each fails the test and ends the
// script after a few seconds.
DialogStep WaitForBox(HWND* box);
DialogStep WaitUntilGone(HWND* box);
