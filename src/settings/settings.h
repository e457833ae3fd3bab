// The settings record, its persistence in control.ini and the saver mode.
#pragma once
#include <cstddef>
#include <cstdint>

#include "settings/saver_mode.h"

// Each field is named after its key in control.ini.
struct SaverSettingsRecord {
    uint16_t SpinDownAfter;         // "Spin Down After", minutes
    int32_t DriveStandby;           // "Drive Standby"
    int32_t VideoManaged;           // "Video Managed"
    int32_t Suspend;                // "Suspend"
    int32_t Off;                    // "Off"
    int32_t Standby;                // "Standby"
    int32_t Mouse;                  // "Mouse": bit 0 movement wakes, bit 1 a button press wakes
    int32_t PWProtected;            // "PWProtected"
    uint16_t SuspendAfter;          // "Suspend After", minutes
    uint16_t StandbyAfter;          // "Standby After", minutes
    uint16_t OffAfter;              // "Off After", minutes
    uint16_t ScreenSaverSpeed;      // "Screen Saver Speed", carried unchanged
    char ScreenSaver[255];          // "Screen Saver": name of the chosen visual saver
    char ScrnsaveExe[60];           // "SCRNSAVE.EXE": full path of the chosen saver
    // The battery twins of the four times; a missing key loads as its twin.
    uint16_t BatterySuspendAfter;   // "Battery Suspend After", minutes
    uint16_t BatteryStandbyAfter;   // "Battery Standby After", minutes
    uint16_t BatteryOffAfter;       // "Battery Off After", minutes
    uint16_t BatterySpinDownAfter;  // "Battery Spin Down After", minutes
};

// The four minute settings, each with a twin for the battery.
enum MinuteSettingKind : int {
    StandbyMinutes,
    SuspendMinutes,
    OffMinutes,
    SpinDownMinutes,
    MinuteSettingCount,
};

extern SaverSettingsRecord SaverSettings;
extern int SaverMode;                  // a SaverModeKind; Blank before the first load
extern int32_t PWProtectedRestore;     // "PWProtected" as it was before a chained copy
// Set by a setup dialog that shows the battery minutes: only then does a save
// write their keys. Every load clears it.
extern bool SaveBatteryMinutes;

// Names that are stored or looked up: the same in every language, never translated.
extern const char PWProtectedKey[];     // "PWProtected"
extern const char SettingsFileName[];   // "control.ini"
extern const char ScrnsaveExeKey[];     // "SCRNSAVE.EXE"
extern const char NoneText[];           // "None": stored for no visual saver, whatever the list shows
extern const char OwnNameText[];        // "kelvorin"

// The application's section of control.ini: ApplicationName as 8-bit text.
const char* ApplicationSection();

// True when an installed package maps the application's section of control.ini
// to the user's registry key, where the profile services then keep it.
bool SettingsMapped();
// Once the section is mapped and the user's key is not there yet, copies the
// section of the user's old control.ini (the virtualized copy first) into the
// key, value by value as text; never changes either file. Flushes the profile
// cache first, so a mapping installed meanwhile holds. Before the first load.
void CarryOverSettings();
void LoadSettings(bool chainedCopy);
// Writes every key, also after a write failed; true when every write succeeded,
// otherwise the first failed write's system error goes to `firstError`.
bool SaveSettings(const char* name, const char* path, uint32_t* firstError = nullptr);
// Tells the user, in the user's language, which file or registry key could not be
// written and the system's reason; `size` in characters.
void FormatSaveFailure(uint32_t error, wchar_t* text, size_t size);
// True when the write succeeded; the saver run's one write ignores it.
bool WriteSettingNumber(const char* section, const char* key, uint32_t value);
// One integer of the application's section, read from the file now.
uint32_t ReadSettingNumber(const char* key, int32_t defaultValue);
// The loaded minutes of `kind` (a MinuteSettingKind) for the mains or the battery.
uint16_t& SourceMinutes(int kind, bool battery);
// The minutes of `kind` read from the file now; on the battery a missing
// battery key reads as its twin.
uint32_t ReadSourceMinutes(int kind, bool battery);
// SaverModeFor with the loaded texts.
int SaverModeOf(const char* name);
