// The settings record and its persistence in control.ini, key by key through
// the private-profile services; nothing is cached between loads.
#include "settings/settings.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "host/host.h"
#include "host/texts.h"
#include "resources/resource.h"
#include "settings/power_rows.h"

SaverSettingsRecord SaverSettings;
int SaverMode = SaverModeBlank;
int32_t PWProtectedRestore;
bool SaveBatteryMinutes;

const char PWProtectedKey[] = "PWProtected";
const char SettingsFileName[] = "control.ini";
const char ScrnsaveExeKey[] = "SCRNSAVE.EXE";
const char NoneText[] = "None";
const char OwnNameText[] = "kelvorin";

namespace {

const char* const SpinDownAfterKey = PowerRows[SpinDownMinutes].minutesKey;
const char DriveStandbyKey[] = "Drive Standby";
const char VideoManagedKey[] = "Video Managed";
const char SuspendKey[] = "Suspend";
const char OffKey[] = "Off";
const char StandbyKey[] = "Standby";
const char MouseKey[] = "Mouse";
const char* const SuspendAfterKey = PowerRows[SuspendMinutes].minutesKey;
const char* const StandbyAfterKey = PowerRows[StandbyMinutes].minutesKey;
const char* const OffAfterKey = PowerRows[OffMinutes].minutesKey;
const char ScreenSaverSpeedKey[] = "Screen Saver Speed";
const char ScreenSaverKey[] = "Screen Saver";

// The order of the saved times, twins and battery keys alike.
const int SavedMinuteOrder[] = {SuspendMinutes, StandbyMinutes, OffMinutes, SpinDownMinutes};

// Another saver N keeps its settings in the section "Screen Saver.N".
const char SaverSectionPrefix[] = "Screen Saver.";

// Copies at most size - 1 characters; source and target may be the same buffer.
void CopyText(char* target, size_t size, const char* source)
{
    size_t length = strnlen(source, size - 1);
    memmove(target, source, length);
    target[length] = '\0';
}

uint16_t ReadNumber16(const char* key, int32_t defaultValue)
{
    return static_cast<uint16_t>(ReadSettingNumber(key, defaultValue));
}

int32_t ReadNumber32(const char* key, int32_t defaultValue)
{
    return static_cast<int32_t>(ReadSettingNumber(key, defaultValue));
}

void ReadSettingText(const char* key, char* text, DWORD size)
{
    GetPrivateProfileStringA(ApplicationSection(), key, NoneText, text, size, SettingsFileName);
}

// In a chained run the started saver's password flag stands for ours.
void CopyChainedPassword()
{
    char section[sizeof SaverSectionPrefix + sizeof SaverSettings.ScreenSaver];
    snprintf(section, sizeof section, "%s%s", SaverSectionPrefix, SaverSettings.ScreenSaver);
    SaverSettings.PWProtected = static_cast<int32_t>(
        GetPrivateProfileIntA(section, PWProtectedKey, 0, SettingsFileName));
    WriteSettingNumber(ApplicationSection(), PWProtectedKey,
                       static_cast<uint32_t>(SaverSettings.PWProtected));
}

// What the writes of one save came to: all succeeded, or the first one's error.
bool AllWritten;
uint32_t FirstWriteError;

void NoteWrite(bool written)
{
    if (!written && AllWritten) {
        AllWritten = false;
        FirstWriteError = GetLastError();
    }
}

void WriteSetting(const char* key, uint32_t value)
{
    NoteWrite(WriteSettingNumber(ApplicationSection(), key, value));
}

void WriteSettingText(const char* key, const char* text)
{
    NoteWrite(WritePrivateProfileStringA(ApplicationSection(), key, text, SettingsFileName)
              != FALSE);
}

} // namespace

const char* ApplicationSection()
{
    static char section[2 * sizeof ApplicationName / sizeof ApplicationName[0]];
    if (WideCharToMultiByte(CP_ACP, 0, ApplicationName, -1, section, sizeof section, nullptr,
                            nullptr) == 0)
        section[0] = '\0';
    return section;
}

void LoadSettings(bool chainedCopy)
{
    SaverSettingsRecord& s = SaverSettings;
    s.SpinDownAfter = ReadNumber16(SpinDownAfterKey, 1);
    s.DriveStandby = ReadNumber32(DriveStandbyKey, 0);
    s.VideoManaged = ReadNumber32(VideoManagedKey, 0);
    s.Suspend = ReadNumber32(SuspendKey, 0);
    s.Off = ReadNumber32(OffKey, 0);
    s.Standby = ReadNumber32(StandbyKey, 0);
    s.Mouse = ReadNumber32(MouseKey, 1);
    s.PWProtected = 0;
    s.SuspendAfter = ReadNumber16(SuspendAfterKey, 0);
    s.StandbyAfter = ReadNumber16(StandbyAfterKey, 0);
    s.OffAfter = ReadNumber16(OffAfterKey, 0);
    s.ScreenSaverSpeed = ReadNumber16(ScreenSaverSpeedKey, 0);
    for (int kind : SavedMinuteOrder)
        SourceMinutes(kind, true)
            = ReadNumber16(PowerRows[kind].batteryKey, SourceMinutes(kind, false));
    SaveBatteryMinutes = false;
    ReadSettingText(ScreenSaverKey, s.ScreenSaver, sizeof s.ScreenSaver);
    ReadSettingText(ScrnsaveExeKey, s.ScrnsaveExe, sizeof s.ScrnsaveExe);
    SaverMode = SaverModeOf(s.ScreenSaver);
    // This module's own file under a name without the logo's text shows the
    // logo rather than starting itself again and again.
    if (SaverMode == SaverModeChained && ModulePath[0] != '\0'
        && lstrcmpiA(s.ScrnsaveExe, ModulePath) == 0)
        SaverMode = SaverModeLogo;
    PWProtectedRestore = s.PWProtected;
    if (chainedCopy && SaverMode == SaverModeChained)
        CopyChainedPassword();
}

bool SaveSettings(const char* name, const char* path, uint32_t* firstError)
{
    SaverSettingsRecord& s = SaverSettings;
    AllWritten = true;
    FirstWriteError = 0;
    CopyText(s.ScreenSaver, sizeof s.ScreenSaver, name);
    CopyText(s.ScrnsaveExe, sizeof s.ScrnsaveExe, path);
    WriteSetting(DriveStandbyKey, static_cast<uint32_t>(s.DriveStandby));
    WriteSetting(VideoManagedKey, static_cast<uint32_t>(s.VideoManaged));
    WriteSetting(SuspendKey, static_cast<uint32_t>(s.Suspend));
    WriteSetting(OffKey, static_cast<uint32_t>(s.Off));
    WriteSetting(StandbyKey, static_cast<uint32_t>(s.Standby));
    WriteSetting(MouseKey, static_cast<uint32_t>(s.Mouse));
    WriteSetting(PWProtectedKey, static_cast<uint32_t>(s.PWProtected));
    WriteSetting(SuspendAfterKey, s.SuspendAfter);
    WriteSetting(StandbyAfterKey, s.StandbyAfter);
    WriteSetting(OffAfterKey, s.OffAfter);
    WriteSetting(SpinDownAfterKey, s.SpinDownAfter);
    WriteSetting(ScreenSaverSpeedKey, s.ScreenSaverSpeed);
    WriteSettingText(ScreenSaverKey, s.ScreenSaver);
    WriteSettingText(ScrnsaveExeKey, s.ScrnsaveExe);
    if (SaveBatteryMinutes) {
        for (int kind : SavedMinuteOrder)
            WriteSetting(PowerRows[kind].batteryKey, SourceMinutes(kind, true));
    }
    SaverMode = SaverModeOf(s.ScreenSaver);
    if (firstError)
        *firstError = FirstWriteError;
    return AllWritten;
}

void FormatSaveFailure(uint32_t error, wchar_t* text, size_t size)
{
    // A bare file name lies in the Windows directory, where the profile services keep it.
    wchar_t file[MAX_PATH] = {};
    if (strchr(SettingsFileName, '\\') == nullptr) {
        UINT length = GetWindowsDirectoryW(file, MAX_PATH);
        if (length == 0 || length >= MAX_PATH - 1)
            file[0] = L'\0';
        else
            lstrcatW(file, L"\\");
    }
    const int used = lstrlenW(file);
    if (MultiByteToWideChar(CP_ACP, 0, SettingsFileName, -1, file + used, MAX_PATH - used) == 0)
        file[used] = L'\0';
    wchar_t reason[256];
    if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, reason, 256, nullptr)
        == 0)
        FormatText(reason, 256, IDS_SYSTEM_ERROR, static_cast<unsigned long>(error));
    FormatText(text, size, IDS_SAVE_FAILED, file, reason);
}

bool WriteSettingNumber(const char* section, const char* key, uint32_t value)
{
    char text[11];
    snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(value));
    return WritePrivateProfileStringA(section, key, text, SettingsFileName) != FALSE;
}

uint32_t ReadSettingNumber(const char* key, int32_t defaultValue)
{
    return GetPrivateProfileIntA(ApplicationSection(), key, defaultValue, SettingsFileName);
}

uint16_t& SourceMinutes(int kind, bool battery)
{
    SaverSettingsRecord& s = SaverSettings;
    switch (kind) {
    case StandbyMinutes:
        return battery ? s.BatteryStandbyAfter : s.StandbyAfter;
    case SuspendMinutes:
        return battery ? s.BatterySuspendAfter : s.SuspendAfter;
    case OffMinutes:
        return battery ? s.BatteryOffAfter : s.OffAfter;
    }
    return battery ? s.BatterySpinDownAfter : s.SpinDownAfter;
}

uint32_t ReadSourceMinutes(int kind, bool battery)
{
    uint32_t mains
        = ReadSettingNumber(PowerRows[kind].minutesKey, kind == SpinDownMinutes ? 1 : 0);
    if (!battery)
        return mains;
    return ReadSettingNumber(PowerRows[kind].batteryKey, static_cast<int32_t>(mains));
}

int SaverModeOf(const char* name)
{
    return SaverModeFor(name, OwnNameText, NoneText);
}
