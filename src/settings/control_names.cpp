// Hidden labels that name the minute fields, their spin bars, the saver list and
// the help text for a screen reader; nothing a sighted user sees changes.
#include "settings/control_names.h"

#include "host/host.h"
#include "host/texts.h"
#include "resources/resource.h"
#include "settings/power_rows.h"

namespace {

constexpr int NameSize = 128;

// A caption without its access key ("&S", or "(&S)" after a Japanese caption;
// "&&" stays one "&") and trailing blanks.
void PlainCaption(HWND dialog, int captionId, wchar_t* text)
{
    wchar_t caption[NameSize] = {};
    GetDlgItemTextW(dialog, captionId, caption, NameSize);
    int length = 0;
    for (const wchar_t* c = caption; *c != L'\0'; ++c) {
        if (c[0] == L'(' && c[1] == L'&' && c[2] != L'\0' && c[3] == L')') {
            c += 3;
            continue;
        }
        if (*c == L'&' && *++c == L'\0')
            break;
        text[length++] = *c;
    }
    while (length > 0 && text[length - 1] == L' ')
        --length;
    text[length] = L'\0';
}

} // namespace

void NameControl(HWND dialog, int controlId, UINT nameId, int captionId)
{
    HWND control = GetDlgItem(dialog, controlId);
    if (control == nullptr)
        return;
    wchar_t caption[NameSize] = {}, name[NameSize];
    if (captionId != 0)
        PlainCaption(dialog, captionId, caption);
    FormatText(name, NameSize, nameId, caption);
    // No access key, no group, no tab stop: the label changes neither the
    // keyboard's way through the dialog nor its arrow-key groups.
    HWND label = CreateWindowExW(0, L"Static", name, WS_CHILD | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                 dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_STATIC)),
                                 ModuleInstance, nullptr);
    HWND before = GetWindow(control, GW_HWNDPREV);
    SetWindowPos(label, before ? before : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void NameSetupControls(HWND dialog)
{
    for (const PowerRow& row : PowerRows) {
        NameControl(dialog, row.edit, IDS_NAME_MINUTES, row.check);
        NameControl(dialog, row.spin, IDS_NAME_MINUTES_SPIN, row.check);
        NameControl(dialog, row.batteryEdit, IDS_NAME_BATTERY_MINUTES, row.check);
        NameControl(dialog, row.batterySpin, IDS_NAME_BATTERY_SPIN, row.check);
    }
    NameControl(dialog, IDC_SAVER_LIST, IDS_NAME_SAVER_LIST);
}
