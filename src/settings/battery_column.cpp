// The setup dialog's battery column: made in code rather than in the template,
// so that the dialog of a machine without a battery is the template's alone.
#include "settings/battery_column.h"

#include "host/host.h"
#include "host/texts.h"
#include "power/power_source.h"
#include "resources/resource.h"
#include "settings/power_rows.h"
#include "settings/settings.h"

namespace {

// In dialog units: how far the battery column lies right of the row's own, and
// the headings, centred over their columns, wide enough for their translations.
constexpr int ColumnPitch = 44;
constexpr int HeadingWidth = 44;
constexpr int HeadingHeight = 10;
constexpr int HeadingGap = 1;
constexpr int HeadingTextSize = 64;

const DWORD SpinStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | SBS_VERT;
const DWORD EditStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL;
const DWORD HeadingStyle = WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX;

// A length in dialog units, in this dialog's pixels across and down.
SIZE Pixels(HWND dialog, int across, int down)
{
    RECT rect = {0, 0, across, down};
    MapDialogRect(dialog, &rect);
    return {rect.right, rect.bottom};
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT ControlRect(HWND dialog, int id)
{
    return ChildRect(dialog, GetDlgItem(dialog, id));
}

void PlaceChild(HWND child, int x, int y, int width, int height)
{
    SetWindowPos(child, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moves what lies right of the minute column, beside the power rows, one column
// to the right, and widens the rows' frame and the dialog by as much.
void MakeRoom(HWND dialog, int shift)
{
    int columnRight = 0;
    for (const PowerRow& row : PowerRows) {
        RECT edit = ControlRect(dialog, row.edit);
        columnRight = edit.right > columnRight ? edit.right : columnRight;
    }
    HWND frame = GetDlgItem(dialog, IDC_HARDWARE_FRAME);
    RECT frameRect = ChildRect(dialog, frame);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect = ChildRect(dialog, child);
        if (child != frame && rect.left >= columnRight && rect.top < frameRect.bottom)
            PlaceChild(child, rect.left + shift, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top);
    }
    PlaceChild(frame, frameRect.left, frameRect.top, frameRect.right - frameRect.left + shift,
               frameRect.bottom - frameRect.top);
    RECT dialogRect;
    GetWindowRect(dialog, &dialogRect);
    SetWindowPos(dialog, nullptr, 0, 0, dialogRect.right - dialogRect.left + shift,
                 dialogRect.bottom - dialogRect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A control of the column, in the dialog's font, at `rect` moved by `shift`;
// in the tab order after `previous` when one is given.
HWND MakeControl(HWND dialog, const wchar_t* kind, const wchar_t* text, DWORD style, int id,
                 RECT rect, int shift, HWND previous)
{
    HWND control = CreateWindowExW(0, kind, text, style, rect.left + shift, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, dialog,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   ModuleInstance, nullptr);
    if (control == nullptr)
        return nullptr;
    SendMessageW(control, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
    if (previous)
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return control;
}

// A heading centred over the column between `left` and `right`, above `top`.
void MakeHeading(HWND dialog, UINT textId, int id, int left, int right, int top)
{
    wchar_t text[HeadingTextSize];
    LoadText(textId, text, HeadingTextSize);
    SIZE size = Pixels(dialog, HeadingWidth, HeadingHeight);
    SIZE gap = Pixels(dialog, 0, HeadingGap);
    int x = (left + right - size.cx) / 2;
    RECT rect = {x, top - gap.cy - size.cy, x + size.cx, top - gap.cy};
    MakeControl(dialog, L"Static", text, HeadingStyle, id, rect, 0, nullptr);
}

} // namespace

void CreateBatteryColumn(HWND dialog)
{
    if (!SystemBatteryPresent())
        return;
    const int shift = Pixels(dialog, ColumnPitch, 0).cx;
    MakeRoom(dialog, shift);
    for (const PowerRow& row : PowerRows) {
        HWND spin = MakeControl(dialog, L"ScrollBar", L"", SpinStyle, row.batterySpin,
                                ControlRect(dialog, row.spin), shift, GetDlgItem(dialog, row.edit));
        MakeControl(dialog, L"Edit", L"", EditStyle, row.batteryEdit, ControlRect(dialog, row.edit),
                    shift, spin);
    }
    RECT spin = ControlRect(dialog, PowerRows[StandbyMinutes].spin);
    RECT edit = ControlRect(dialog, PowerRows[StandbyMinutes].edit);
    MakeHeading(dialog, IDS_PLUGGED_IN, IDC_PLUGGED_IN_HEADING, spin.left, edit.right, spin.top);
    MakeHeading(dialog, IDS_ON_BATTERY, IDC_ON_BATTERY_HEADING, spin.left + shift,
                edit.right + shift, spin.top);
    SaveBatteryMinutes = BatteryColumnShown(dialog);
}

bool BatteryColumnShown(HWND dialog)
{
    for (const PowerRow& row : PowerRows) {
        if (GetDlgItem(dialog, row.batteryEdit) == nullptr)
            return false;
    }
    return true;
}
