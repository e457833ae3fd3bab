// Drives a real modal dialog from a timer of its own, inside its modal loop.
#include "support/dialog_script.h"

#include <gtest/gtest.h>

#include <memory>

#include "host/host.h"

namespace {

constexpr UINT_PTR ScriptTimerId = 0x5C17;
constexpr UINT ScriptTickMilliseconds = 20;
constexpr INT_PTR ScriptTimedOut = -2;
constexpr size_t ListTextSize = 512;

struct Script {
    DLGPROC procedure = nullptr;
    std::vector<DialogStep> steps;
    size_t next = 0;
    bool busy = false;
    bool timedOut = false;
    DWORD start = 0;
    DWORD milliseconds = 0;
    HWND dialog = nullptr;
};

Script Current;

// How long a step waits for a box to open or to close: far longer than either
// takes, on a loaded machine too. A box that does not come or does not go ends
// the script and its dialogs, so a failing step fails its test at once and
// leaves nothing open for the next; the script's own limit is for dialogs that
// never take a step.
constexpr DWORD BoxWaitMilliseconds = 5000;

BOOL CALLBACK EndThreadDialog(HWND window, LPARAM)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") == 0)
        EndDialog(window, ScriptTimedOut);
    return TRUE;
}

// Ends every dialog of the thread, the scripted one with those it opened.
void EndScript()
{
    Current.timedOut = true;
    KillTimer(Current.dialog, ScriptTimerId);
    EnumThreadWindows(GetCurrentThreadId(), EndThreadDialog, 0);
}

void AbandonScript(const char* why)
{
    ADD_FAILURE() << why << " within " << BoxWaitMilliseconds << " ms at step " << Current.next + 1
                  << " of " << Current.steps.size() << "; the script ended its dialogs";
    EndScript();
}

// Whether a step first asked at `*since` (0 before its first call) has waited its limit.
bool WaitedTooLong(DWORD* since)
{
    const DWORD now = GetTickCount();
    if (*since == 0)
        *since = now | 1;
    return now - *since > BoxWaitMilliseconds;
}

void RunNextStep()
{
    if (Current.busy)
        return;
    Current.busy = true;
    if (GetTickCount() - Current.start > Current.milliseconds) {
        EndScript();
    } else if (Current.next < Current.steps.size() && Current.steps[Current.next](Current.dialog)) {
        ++Current.next;
    }
    Current.busy = false;
}

// Stands in front of the dialog's own procedure and runs the script on its ticks.
INT_PTR CALLBACK ScriptedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        Current.dialog = dialog;
        SetTimer(dialog, ScriptTimerId, ScriptTickMilliseconds, nullptr);
    }
    if (message == WM_TIMER && wParam == ScriptTimerId) {
        RunNextStep();
        return TRUE;
    }
    return Current.procedure(dialog, message, wParam, lParam);
}

} // namespace

INT_PTR RunDialogScript(int templateId, DLGPROC procedure, std::vector<DialogStep> steps,
                        DWORD milliseconds)
{
    Current = Script();
    Current.procedure = procedure;
    Current.steps = std::move(steps);
    Current.start = GetTickCount();
    Current.milliseconds = milliseconds;
    INT_PTR result = DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(templateId), nullptr,
                                     ScriptedDialogProc, 0);
    if (Current.dialog)
        KillTimer(Current.dialog, ScriptTimerId);
    return Current.timedOut ? ScriptTimedOut : result;
}

void Click(HWND dialog, int id)
{
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id)
{
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeText(HWND dialog, int id, const char* text)
{
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void ChooseListItem(HWND dialog, int listId, int index)
{
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ScrollBar(HWND dialog, int barId, int request)
{
    SendMessageW(dialog, WM_VSCROLL, MAKEWPARAM(request, 0),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, barId)));
}

bool IsChecked(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id)
{
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

std::string TextOf(HWND dialog, int id)
{
    char text[ListTextSize] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::vector<std::string> ListItems(HWND dialog, int listId)
{
    std::vector<std::string> items;
    LRESULT count = SendDlgItemMessageA(dialog, listId, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[ListTextSize] = {};
        SendDlgItemMessageA(dialog, listId, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::string SelectedListItem(HWND dialog, int listId)
{
    LRESULT selected = SendDlgItemMessageA(dialog, listId, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return "";
    char text[ListTextSize] = {};
    SendDlgItemMessageA(dialog, listId, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text));
    return text;
}

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwnedDialog(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 || GetWindow(window, GW_OWNER) != search->owner)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND OwnedModalBox(HWND owner)
{
    OwnedSearch search = {owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

DialogStep WaitTicks(int ticks)
{
    auto left = std::make_shared<int>(ticks);
    return [left](HWND) { return (*left)-- <= 0; };
}

DialogStep Do(std::function<void(HWND)> action)
{
    return [action](HWND dialog) {
        action(dialog);
        return true;
    };
}

DialogStep WaitForBox(HWND* box)
{
    DWORD since = 0;
    return [box, since](HWND dialog) mutable {
        if ((*box = OwnedModalBox(dialog)) != nullptr)
            return true;
        if (WaitedTooLong(&since))
            AbandonScript("no box opened");
        return false;
    };
}

DialogStep WaitUntilGone(HWND* box)
{
    DWORD since = 0;
    return [box, since](HWND) mutable {
        if (!IsWindow(*box))
            return true;
        if (WaitedTooLong(&since))
            AbandonScript("a box stayed open");
        return false;
    };
}
