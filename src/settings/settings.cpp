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

// Where an installed package maps the application's section of control.ini: a
// value named by the section under this key, in the 64-bit registry view, where
// the profile services of both widths look for it, sends the section to the
// user's key.
const char IniFileMappingKey[] =
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\control.ini";

const char* UserSettingsKey()
{
    static char key[sizeof "Control Panel\\" + sizeof ApplicationName];
    snprintf(key, sizeof key, "Control Panel\\%s", ApplicationSection());
    return key;
}

bool UserSettingsKeyPresent()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, UserSettingsKey(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The user's old settings files: the user's virtualized copy, which mirrors the
// Windows folder's path under VirtualStore, and the shared file. Each is empty
// when it cannot be named.
void OldSettingsFiles(char* own, char* shared, size_t size)
{
    own[0] = shared[0] = '\0';
    char windows[MAX_PATH], local[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length < 3 || length >= MAX_PATH)
        return;
    snprintf(shared, size, "%s\\%s", windows, SettingsFileName);
    length = GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH);
    if (length != 0 && length < MAX_PATH
        && snprintf(own, size, "%s\\VirtualStore\\%s\\%s", local, windows + 3, SettingsFileName)
               >= static_cast<int>(size))
        own[0] = '\0';
}

// The application's section of an old file as the profile services list it,
// "key=value" entries each ending in a zero and one zero after the last; null
// when the section is missing or empty. `unreadable` tells a file that is there
// but cannot be read. The file is read through a private copy: under the mapping
// the profile services take any file named control.ini from the registry.
// LocalFree the result.
char* ReadOldSection(const char* path, bool* unreadable)
{
    *unreadable = false;
    char temp[MAX_PATH], copy[MAX_PATH];
    if (path[0] == '\0' || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return nullptr;
    DWORD length = GetTempPathA(MAX_PATH, temp);
    *unreadable = length == 0 || length >= MAX_PATH || GetTempFileNameA(temp, "kel", 0, copy) == 0;
    if (*unreadable)
        return nullptr;
    char* entries = nullptr;
    *unreadable = !CopyFileA(path, copy, FALSE);
    for (DWORD size = 4096; !*unreadable && size <= 1 << 20; size *= 2) {
        entries = static_cast<char*>(LocalAlloc(LMEM_FIXED, size));
        DWORD used = entries ? GetPrivateProfileSectionA(ApplicationSection(), entries, size, copy) : 0;
        if (used > 0 && used < size - 2)
            break;
        LocalFree(entries);   // none, or cut: then again into a larger buffer
        entries = nullptr;
        if (used == 0)
            break;
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, copy);
    DeleteFileA(copy);
    return entries;
}

// Writes each "key=value" entry as a text value of the user's key.
void WriteUserSettings(char* entries)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, UserSettingsKey(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr)
        != ERROR_SUCCESS)
        return;
    for (char* entry = entries; *entry != '\0'; entry += strlen(entry) + 1) {
        char* equals = strchr(entry, '=');
        if (equals == nullptr || equals == entry)
            continue;
        *equals = '\0';
        RegSetValueExA(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(equals + 1),
                       static_cast<DWORD>(strlen(equals + 1) + 1));
        *equals = '=';
    }
    RegCloseKey(key);
}

} // namespace

bool SettingsMapped()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, IniFileMappingKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY,
                      &key)
        != ERROR_SUCCESS)
        return false;
    bool mapped = RegQueryValueExA(key, ApplicationSection(), nullptr, nullptr, nullptr, nullptr)
                  == ERROR_SUCCESS;
    RegCloseKey(key);
    return mapped;
}

void CarryOverSettings()
{
    // A mapping installed while Windows runs takes effect once the cache is flushed.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, SettingsFileName);
    if (!SettingsMapped() || UserSettingsKeyPresent())
        return;
    // The first file that has the section; one that is there but cannot be read
    // stops the search, so a later run can still bring the user's own copy over.
    char own[3 * MAX_PATH], shared[3 * MAX_PATH];
    OldSettingsFiles(own, shared, sizeof own);
    const char* const paths[] = {own, shared};
    for (const char* path : paths) {
        bool unreadable;
        char* entries = ReadOldSection(path, &unreadable);
        if (entries)
            WriteUserSettings(entries);
        LocalFree(entries);
        if (entries || unreadable)
            return;
    }
}

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
    // Under the mapping the user's registry key holds the settings; otherwise the
    // file, whose bare name lies in the Windows directory, where the profile
    // services keep it.
    const bool mapped = SettingsMapped();
    wchar_t place[MAX_PATH] = {};
    if (mapped) {
        char key[MAX_PATH];
        snprintf(key, sizeof key, "HKEY_CURRENT_USER\\%s", UserSettingsKey());
        if (MultiByteToWideChar(CP_ACP, 0, key, -1, place, MAX_PATH) == 0)
            place[0] = L'\0';
    } else {
        UINT length = strchr(SettingsFileName, '\\') ? 0 : GetWindowsDirectoryW(place, MAX_PATH);
        place[length < MAX_PATH - 1 ? length : 0] = L'\0';
        if (place[0] != L'\0')
            lstrcatW(place, L"\\");
        const int used = lstrlenW(place);
        if (MultiByteToWideChar(CP_ACP, 0, SettingsFileName, -1, place + used, MAX_PATH - used) == 0)
            place[used] = L'\0';
    }
    wchar_t reason[256];
    if (FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, reason, 256, nullptr)
        == 0)
        FormatText(reason, 256, IDS_SYSTEM_ERROR, static_cast<unsigned long>(error));
    // Without the package, the one way for every user to keep settings is to install it.
    wchar_t hint[256] = {};
    if (!mapped)
        LoadText(IDS_SAVE_PACKAGE_HINT, hint, 256);
    FormatText(text, size, IDS_SAVE_FAILED, place, reason, hint);
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
    return SaverSettings.*(battery ? PowerRows[kind].batteryMinutes : PowerRows[kind].minutes);
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
