// The help window (template 2011): the paragraphs of the string table joined
// into one read-only text, opened at the paragraph of the control asked about.
// It needs no help file and no help engine.
#include "settings/help_window.h"

#include "host/host.h"
#include "resources/resource.h"
#include "settings/control_names.h"
#include "settings/power_rows.h"

namespace {

constexpr INT_PTR HelpClosed = 0;
constexpr UINT NoParagraph = 0;
constexpr wchar_t ParagraphBreak[] = L"\r\n\r\n";
constexpr int ParagraphBreakLength = 4;

// The paragraphs in the order they are shown; each language has every one.
const UINT HelpParagraphs[] = {
    IDS_HELP_INTRO, IDS_HELP_VIDEO, IDS_HELP_STANDBY, IDS_HELP_SUSPEND, IDS_HELP_OFF,
    IDS_HELP_DRIVE, IDS_HELP_BATTERY, IDS_HELP_PASSWORD, IDS_HELP_SET_PASSWORD, IDS_HELP_MOVE,
    IDS_HELP_CLICK, IDS_HELP_SAVER_LIST, IDS_HELP_TEST, IDS_HELP_SETUP, IDS_HELP_OK,
    IDS_HELP_CANCEL, IDS_HELP_ABOUT, IDS_HELP_HELP, IDS_HELP_SETTINGS_FILE,
    IDS_HELP_TODAYS_WINDOWS, IDS_HELP_PREVIEW,
};

// The paragraph that explains a control of the setup dialog. A power row's
// spin bar, minute field and label use the paragraph of its check box, the
// battery column's the battery's (both from the row table); the frames and the
// list's label the paragraph of what they hold.
struct HelpTopic {
    int control;
    UINT paragraph;
};
const HelpTopic HelpTopics[] = {
    {IDC_HARDWARE_FRAME, IDS_HELP_VIDEO},
    {IDC_VIDEO_MANAGED, IDS_HELP_VIDEO},
    {IDC_PLUGGED_IN_HEADING, IDS_HELP_BATTERY},
    {IDC_ON_BATTERY_HEADING, IDS_HELP_BATTERY},
    {IDC_PASSWORD_PROTECTED, IDS_HELP_PASSWORD},
    {IDC_SET_PASSWORD, IDS_HELP_SET_PASSWORD},
    {IDC_MOUSE_MOVE, IDS_HELP_MOVE},
    {IDC_MOUSE_CLICK, IDS_HELP_CLICK},
    {IDC_SELECTION_FRAME, IDS_HELP_SAVER_LIST},
    {IDC_SAVER_LIST_LABEL, IDS_HELP_SAVER_LIST},
    {IDC_SAVER_LIST, IDS_HELP_SAVER_LIST},
    {IDC_TEST, IDS_HELP_TEST},
    {IDC_SETUP, IDS_HELP_SETUP},
    {IDOK, IDS_HELP_OK},
    {IDCANCEL, IDS_HELP_CANCEL},
    {IDC_ABOUT, IDS_HELP_ABOUT},
    {IDC_HELP_BUTTON, IDS_HELP_HELP},
};

UINT ParagraphOf(int control)
{
    for (const PowerRow& row : PowerRows) {
        if (control == row.check || control == row.spin || control == row.edit
            || control == row.label)
            return row.helpParagraph;
        if (control == row.batterySpin || control == row.batteryEdit)
            return IDS_HELP_BATTERY;
    }
    for (const HelpTopic& topic : HelpTopics) {
        if (topic.control == control)
            return topic.paragraph;
    }
    return NoParagraph;
}

// A string of the table in place, without a copy; its length, 0 when it is missing.
int StringInPlace(UINT id, const wchar_t** text)
{
    *text = nullptr;
    return LoadStringW(ModuleInstance, id, reinterpret_cast<LPWSTR>(text), 0);
}

// Copies `length` characters to `target` with each line break as CR LF, as the
// edit control wants it; returns the characters written. A null target counts only.
int CopyLines(wchar_t* target, const wchar_t* source, int length)
{
    int written = 0;
    for (int i = 0; i < length; ++i) {
        if (source[i] == L'\n') {
            if (target)
                target[written] = L'\r';
            ++written;
        }
        if (target)
            target[written] = source[i];
        ++written;
    }
    return written;
}

// Joins the paragraphs into `target` (null: only counts); returns the length and
// where `wanted` begins and ends in it.
int JoinParagraphs(wchar_t* target, UINT wanted, int* start, int* end)
{
    int length = 0;
    for (UINT paragraph : HelpParagraphs) {
        const wchar_t* text = nullptr;
        const int size = StringInPlace(paragraph, &text);
        if (size == 0)
            continue;
        if (length > 0) {
            if (target)
                lstrcpynW(target + length, ParagraphBreak, ParagraphBreakLength + 1);
            length += ParagraphBreakLength;
        }
        if (paragraph == wanted)
            *start = length;
        length += CopyLines(target ? target + length : nullptr, text, size);
        if (paragraph == wanted)
            *end = length;
    }
    return length;
}

// Shows the text with the paragraph `wanted` selected and its first line at the top.
BOOL OnInitHelp(HWND window, UINT wanted)
{
    HWND edit = GetDlgItem(window, IDC_HELP_TEXT);
    NameControl(window, IDC_HELP_TEXT, IDS_NAME_HELP_TEXT);
    int start = 0, end = 0;
    const int length = JoinParagraphs(nullptr, wanted, &start, &end);
    auto* text = static_cast<wchar_t*>(
        LocalAlloc(LMEM_FIXED, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t)));
    if (text != nullptr) {
        JoinParagraphs(text, wanted, &start, &end);
        text[length] = L'\0';
        SetWindowTextW(edit, text);
        LocalFree(text);
    }
    // Set here rather than by the dialog, which would select the whole text.
    SetFocus(edit);
    const LRESULT line = SendMessageW(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(start), 0);
    SendMessageW(edit, EM_LINESCROLL, 0, line);
    SendMessageW(edit, EM_SETSEL, static_cast<WPARAM>(start), end);
    return FALSE;
}

BOOL OnHelpCommand(HWND window, int id)
{
    // OK, Enter, Esc and the close button.
    if (id == IDOK || id == IDCANCEL)
        EndDialog(window, HelpClosed);
    return TRUE;
}

} // namespace

void ShowHelpWindow(HWND owner, int control)
{
    DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_HELP), owner, HelpWindowProc,
                    static_cast<LPARAM>(ParagraphOf(control)));
}

INT_PTR CALLBACK HelpWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitHelp(window, static_cast<UINT>(lParam));
    case WM_COMMAND:
        return OnHelpCommand(window, LOWORD(wParam));
    }
    return FALSE;
}
