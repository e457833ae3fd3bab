// The setup dialog's four power rows: each row's controls, its help paragraph
// and the keys of its minutes, read by the dialog, its battery column, the help
// window, the settings store and the tests.
#pragma once
#include <cstdint>

#include "settings/settings.h"

struct PowerRow {
    int check;                              // the row's check box
    int spin;                               // its spin bar, minute field and label
    int edit;
    int label;
    int batterySpin;                        // the battery column's spin bar and field
    int batteryEdit;
    unsigned helpParagraph;                 // the paragraph of the row's own controls
    int32_t SaverSettingsRecord::*setting;  // what the check box stands for
    uint16_t SaverSettingsRecord::*minutes; // its minutes on the mains and on the battery
    uint16_t SaverSettingsRecord::*batteryMinutes;
    uint32_t capability;                    // the display's capability a stage needs; 0 for the drive
    const char* minutesKey;                 // "Standby After"
    const char* batteryKey;                 // "Battery Standby After"
};

// By MinuteSettingKind: the display stages Standby, Suspend and Off, then the drive.
extern const PowerRow PowerRows[MinuteSettingCount];
constexpr int PowerStageRows = SpinDownMinutes;     // the display stages come first
