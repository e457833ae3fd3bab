// The setup dialog of a configuration run (template 2003): loads the settings,
// lists the savers, offers only what the display and the drive device can do,
// and saves everything on OK.
#include "settings/setup_dialog.h"

#include "chain/catalog.h"
#include "chain/launcher.h"
#include "host/host.h"
#include "host/texts.h"
#include "power/display_power.h"
#include "power/standby_device.h"
#include "resources/resource.h"
#include "settings/about_dialog.h"
#include "settings/battery_column.h"
#include "settings/control_names.h"
#include "settings/help_window.h"
#include "settings/minute_text.h"
#include "settings/power_rows.h"
#include "settings/settings.h"

namespace {

constexpr size_t SaveFailureSize = 1024;
constexpr char TestSwitch[] = " /S";
constexpr char SetupSwitch[] = " /C";
constexpr INT_PTR SetupSaved = 1;
constexpr INT_PTR SetupCancelled = 0;
// The spin bars are only arrows: their thumb rests in the middle of 1 to 3.
constexpr int SpinLowest = 1;
constexpr int SpinHighest = 3;
constexpr int SpinMiddle = 2;
constexpr uint16_t LargestSpinCount = 99;
constexpr uint16_t LargestStageCount = 99;
constexpr int32_t MouseMoveBit = 1;
constexpr int32_t MouseClickBit = 2;
constexpr size_t ListTextSize = 256;

enum PowerRowIndex { StandbyRow = StandbyMinutes, SuspendRow, OffRow, DriveRow };
constexpr int PowerRowCount = MinuteSettingCount;
constexpr int StageCount = PowerStageRows;

// Which stages the display reported at initialisation.
bool StageAvailable[StageCount];
uint32_t DisplayCapabilities;

int32_t& RowSetting(int row)
{
    return SaverSettings.*PowerRows[row].setting;
}

void Flip(int32_t& flag)
{
    flag ^= 1;
}

void SetCheck(HWND dialog, int id, int32_t value)
{
    CheckDlgButton(dialog, id, value ? BST_CHECKED : BST_UNCHECKED);
}

int32_t CheckOf(HWND dialog, int id)
{
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void Enable(HWND dialog, int id, bool enabled)
{
    EnableWindow(GetDlgItem(dialog, id), enabled);
}

void EnableRow(HWND dialog, int row, bool enabled)
{
    Enable(dialog, PowerRows[row].spin, enabled);
    Enable(dialog, PowerRows[row].edit, enabled);
    Enable(dialog, PowerRows[row].label, enabled);
    if (BatteryColumnShown(dialog)) {
        Enable(dialog, PowerRows[row].batterySpin, enabled);
        Enable(dialog, PowerRows[row].batteryEdit, enabled);
    }
}

int MinuteField(int row, bool battery)
{
    return battery ? PowerRows[row].batteryEdit : PowerRows[row].edit;
}

void ShowMinutes(HWND dialog, int row, bool battery = false)
{
    SetDlgItemInt(dialog, MinuteField(row, battery), SourceMinutes(row, battery), FALSE);
}

uint16_t ReadMinutes(HWND dialog, int row, bool battery)
{
    // The field may hold any amount of text; a local block keeps the C++
    // library's exception machinery (most of the executable's size) out.
    HWND edit = GetDlgItem(dialog, MinuteField(row, battery));
    const int size = GetWindowTextLengthA(edit) + 1;
    auto* text = static_cast<char*>(LocalAlloc(LMEM_FIXED, static_cast<SIZE_T>(size)));
    if (text == nullptr)
        return 0;
    GetWindowTextA(edit, text, size);
    const uint16_t minutes = ParseMinuteCount(text);
    LocalFree(text);
    return minutes;
}

LRESULT ListMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(dialog, IDC_SAVER_LIST, message, wParam, lParam);
}

// The selected entry's name and its saver's path; false when nothing is
// selected or the entry cannot be read. The first entry is named "None" in
// every language, whatever word it shows, and its path is "None" too.
bool ReadSelectedSaver(HWND dialog, char text[ListTextSize], const char** path)
{
    LRESULT selected = ListMessage(dialog, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR)
        return false;
    if (selected == 0) {
        lstrcpynA(text, NoneText, ListTextSize);
        *path = NoneText;
        return true;
    }
    LRESULT length = ListMessage(dialog, CB_GETLBTEXTLEN, selected, 0);
    if (length == CB_ERR || length >= static_cast<LRESULT>(ListTextSize))
        return false;
    if (ListMessage(dialog, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(text)) == CB_ERR)
        return false;
    *path = SaverCatalogPath(static_cast<int>(selected) - 1);
    return *path != nullptr;
}

// The launch buttons after the saver choice. Nothing asks for a password, so
// the password controls never offer one.
void ShowSaverChoice(HWND dialog)
{
    Enable(dialog, IDC_PASSWORD_PROTECTED, false);
    Enable(dialog, IDC_SET_PASSWORD, false);
    Enable(dialog, IDC_SETUP, SaverMode == SaverModeChained);
    Enable(dialog, IDC_TEST, SaverMode == SaverModeChained);
}

void ResetSpinBars(HWND dialog)
{
    for (const PowerRow& row : PowerRows) {
        const int bars[] = {row.spin, row.batterySpin};
        for (int id : bars) {
            HWND bar = GetDlgItem(dialog, id);
            SetScrollRange(bar, SB_CTL, SpinLowest, SpinHighest, FALSE);
            SetScrollPos(bar, SB_CTL, SpinMiddle, FALSE);
        }
    }
}

void ShowStoredChecks(HWND dialog)
{
    SetCheck(dialog, IDC_VIDEO_MANAGED, SaverSettings.VideoManaged);
    SetCheck(dialog, IDC_MOUSE_MOVE, SaverSettings.Mouse & MouseMoveBit);
    SetCheck(dialog, IDC_MOUSE_CLICK, SaverSettings.Mouse & MouseClickBit);
    // The stages show what is stored whether or not the display is managed, so
    // an untouched OK keeps it.
    for (int row = 0; row < PowerRowCount; ++row) {
        SetCheck(dialog, PowerRows[row].check, RowSetting(row));
        ShowMinutes(dialog, row);
        if (BatteryColumnShown(dialog))
            ShowMinutes(dialog, row, true);
    }
}

// Disables what the display and the stored choices rule out.
void ApplyDisplayLimits(HWND dialog)
{
    if (DisplayPowerStatus != DisplayPowerSupported) {
        SaverSettings.VideoManaged = 0;
        Enable(dialog, IDC_VIDEO_MANAGED, false);
    }
    for (int stage = 0; stage < StageCount; ++stage) {
        StageAvailable[stage] = (DisplayCapabilities & PowerRows[stage].capability) != 0;
        if (!StageAvailable[stage])
            Enable(dialog, PowerRows[stage].check, false);
    }
    if (!SaverSettings.VideoManaged) {
        for (int stage = 0; stage < StageCount; ++stage)
            Enable(dialog, PowerRows[stage].check, false);
    }
    for (int row = 0; row < PowerRowCount; ++row)
        EnableRow(dialog, row, RowSetting(row) != 0);
}

// Selects the first entry that begins with the stored name, compared without
// regard to case as the list compares; the first entry counts as "None".
void SelectStoredSaver(HWND dialog)
{
    const char* name = SaverSettings.ScreenSaver;
    const int length = lstrlenA(name);
    char nonePrefix[ListTextSize];
    lstrcpynA(nonePrefix, NoneText, length + 1);
    if (length <= lstrlenA(NoneText) && lstrcmpiA(name, nonePrefix) == 0) {
        ListMessage(dialog, CB_SETCURSEL, 0, 0);
        return;
    }
    // The search starts after the first entry, and a match there is no match.
    const LRESULT found = ListMessage(dialog, CB_FINDSTRING, 0, reinterpret_cast<LPARAM>(name));
    if (found != CB_ERR && found != 0)
        ListMessage(dialog, CB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

BOOL OnInitDialog(HWND dialog)
{
    LoadSettings(false);
    CreateBatteryColumn(dialog);
    NameSetupControls(dialog);
    ResetSpinBars(dialog);
    FillSaverList(dialog);
    if (!OpenStandbyDevice()) {
        Enable(dialog, IDC_DRIVE_STANDBY, false);
        SaverSettings.DriveStandby = 0;
    }
    DisplayCapabilities = DisplayPowerRequest(DisplayPowerOn, ReportCapabilities);
    ShowStoredChecks(dialog);
    ApplyDisplayLimits(dialog);
    SelectStoredSaver(dialog);
    ShowSaverChoice(dialog);
    return TRUE;
}

void OnVideoManagedClicked(HWND dialog)
{
    Flip(SaverSettings.VideoManaged);
    const bool managed = SaverSettings.VideoManaged != 0;
    SetCheck(dialog, IDC_VIDEO_MANAGED, managed);
    for (int stage = 0; stage < StageCount; ++stage) {
        Enable(dialog, PowerRows[stage].check, StageAvailable[stage] && managed);
        EnableRow(dialog, stage, RowSetting(stage) != 0 && managed);
        // The boxes clear while the display is not managed; the held settings
        // stay and come back with it.
        SetCheck(dialog, PowerRows[stage].check, managed ? RowSetting(stage) : 0);
    }
}

void OnDriveStandbyClicked(HWND dialog)
{
    Flip(SaverSettings.DriveStandby);
    SetCheck(dialog, IDC_DRIVE_STANDBY, SaverSettings.DriveStandby);
    EnableRow(dialog, DriveRow, SaverSettings.DriveStandby != 0);
}

void OnStageClicked(HWND dialog, int stage)
{
    RowSetting(stage) = CheckOf(dialog, PowerRows[stage].check);
    EnableRow(dialog, stage, RowSetting(stage) != 0);
}

void OnSaverSelected(HWND dialog)
{
    char text[ListTextSize];
    const char* path = nullptr;
    SaverMode = SaverModeOf(ReadSelectedSaver(dialog, text, &path) ? text : NoneText);
    ShowSaverChoice(dialog);
}

// Starts the selected saver with `switchText`, unless its path names no saver
// or this module itself.
void OnLaunchClicked(HWND dialog, const char* switchText)
{
    char text[ListTextSize];
    const char* path = nullptr;
    if (!ReadSelectedSaver(dialog, text, &path))
        path = NoneText;
    if (SaverModeOf(path) != SaverModeChained)
        return;
    FillChainedSaverCommand(path, switchText);
    (void)LaunchSaver(ChainedSaverPath, ChainedSaverCommandLine);
}

void ReadControls(HWND dialog)
{
    SaverSettings.VideoManaged = CheckOf(dialog, IDC_VIDEO_MANAGED);
    SaverSettings.Mouse = (CheckOf(dialog, IDC_MOUSE_MOVE) ? MouseMoveBit : 0)
                          | (CheckOf(dialog, IDC_MOUSE_CLICK) ? MouseClickBit : 0);
    SaverSettings.PWProtected = CheckOf(dialog, IDC_PASSWORD_PROTECTED);
    const bool battery = BatteryColumnShown(dialog);
    for (int row = 0; row < PowerRowCount; ++row) {
        RowSetting(row) = CheckOf(dialog, PowerRows[row].check);
        SourceMinutes(row, false) = ReadMinutes(dialog, row, false);
        if (battery)
            SourceMinutes(row, true) = ReadMinutes(dialog, row, true);
    }
    // The drive's count is saved as typed; the stages' stay within what the arrows reach.
    for (int stage = 0; stage < StageCount; ++stage) {
        for (int twin = 0; twin < 2; ++twin) {
            if (SourceMinutes(stage, twin != 0) > LargestStageCount)
                SourceMinutes(stage, twin != 0) = LargestStageCount;
        }
    }
}

BOOL OnOk(HWND dialog)
{
    ReadControls(dialog);
    char name[ListTextSize];
    const char* selectedPath = nullptr;
    char path[sizeof SaverSettings.ScrnsaveExe];
    if (ReadSelectedSaver(dialog, name, &selectedPath)) {
        lstrcpynA(path, selectedPath, sizeof path);
    } else {
        // A stored saver that is not listed stays chosen.
        lstrcpynA(name, SaverSettings.ScreenSaver, sizeof name);
        lstrcpynA(path, SaverSettings.ScrnsaveExe, sizeof path);
    }
    uint32_t error = 0;
    if (!SaveSettings(name, path, &error)) {
        // The dialog stays open: the user may Cancel or try again.
        wchar_t text[SaveFailureSize];
        FormatSaveFailure(error, text, SaveFailureSize);
        ShowTextBox(dialog, text, IDS_SAVE_FAILED_CAPTION, MB_OK | MB_ICONEXCLAMATION);
        return TRUE;
    }
    EndDialog(dialog, SetupSaved);
    ReleaseSaverCatalog();
    return TRUE;
}

BOOL OnCancel(HWND dialog)
{
    ReleaseSaverCatalog();
    EndDialog(dialog, SetupCancelled);
    return TRUE;
}

// F1 came with the control it was pressed on: its paragraph, or the dialog's
// start when it was pressed on none of its controls.
void ShowHelpForControl(HWND dialog, WPARAM wParam)
{
    HWND control = reinterpret_cast<HWND>(wParam);
    ShowHelpWindow(dialog, control != nullptr ? GetDlgCtrlID(control) : 0);
}

void ShowAboutBox(HWND dialog)
{
    DialogBoxParamW(ModuleInstance, MAKEINTRESOURCEW(IDD_ABOUT), dialog, AboutDialogProc, 0);
}

BOOL OnButtonClicked(HWND dialog, int id)
{
    switch (id) {
    case IDOK:
        return OnOk(dialog);
    case IDCANCEL:
        return OnCancel(dialog);
    case IDC_VIDEO_MANAGED:
        OnVideoManagedClicked(dialog);
        break;
    case IDC_DRIVE_STANDBY:
        OnDriveStandbyClicked(dialog);
        break;
    case IDC_TEST:
        OnLaunchClicked(dialog, TestSwitch);
        break;
    case IDC_SETUP:
        OnLaunchClicked(dialog, SetupSwitch);
        break;
    case IDC_ABOUT:
        ShowAboutBox(dialog);
        break;
    case IDC_HELP_BUTTON:
        ShowHelpWindow(dialog, 0);
        break;
    default:
        for (int stage = 0; stage < StageCount; ++stage) {
            if (id == PowerRows[stage].check)
                OnStageClicked(dialog, stage);
        }
    }
    // "Move", "Click" and the password controls need nothing here.
    return FALSE;
}

BOOL OnCommand(HWND dialog, WPARAM wParam)
{
    const int id = LOWORD(wParam);
    const int notification = HIWORD(wParam);
    if (id == IDC_SAVER_LIST) {
        if (notification == CBN_SELCHANGE)
            OnSaverSelected(dialog);
        return FALSE;
    }
    if (notification != BN_CLICKED)
        return FALSE;
    return OnButtonClicked(dialog, id);
}

// An arrow of a spin bar moves its row's stored count by one within 0 to 99;
// a battery bar moves the battery's count.
void OnSpin(HWND dialog, int request, HWND bar)
{
    if (bar == nullptr)
        return;
    int row = 0;
    bool battery = false;
    while (row < PowerRowCount) {
        if (GetDlgItem(dialog, PowerRows[row].spin) == bar)
            break;
        battery = GetDlgItem(dialog, PowerRows[row].batterySpin) == bar;
        if (battery)
            break;
        ++row;
    }
    if (row == PowerRowCount)
        return;
    uint16_t& minutes = SourceMinutes(row, battery);
    if (minutes > LargestSpinCount)
        minutes = LargestSpinCount;
    if (request == SB_LINEUP) {
        if (minutes != LargestSpinCount)
            ++minutes;
    } else if (request == SB_LINEDOWN) {
        if (minutes != 0)
            --minutes;
    } else {
        return;
    }
    ShowMinutes(dialog, row, battery);
    if (row == OffRow)
        SetScrollPos(bar, SB_CTL, minutes, TRUE);
}

} // namespace

// Lists "None" in the user's language, then every catalogued saver by its
// description. A record the list refuses, and every one after it, is dropped,
// so that list position k shows record k - 1.
void FillSaverList(HWND dialog)
{
    BuildSaverCatalog();
    wchar_t none[SaverDescriptionSize];
    LoadText(IDS_NONE_ENTRY, none, SaverDescriptionSize);
    SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none));
    uint16_t listed = 0;
    while (listed < SaverCatalog.count
           && ListMessage(dialog, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(SaverCatalog.records[listed].description))
                  != CB_ERR)
        ++listed;
    SaverCatalog.count = listed;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // F1 on any control arrives as the registered help message.
    if (SaverHelpMessage != 0 && message == SaverHelpMessage) {
        ShowHelpForControl(dialog, wParam);
        return FALSE;
    }
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_COMMAND:
        return OnCommand(dialog, wParam);
    case WM_VSCROLL:
        OnSpin(dialog, LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return FALSE;
    }
    return FALSE;
}
