// The seams of host/outside.h pointed at a test's stand-ins and back at the
// real system calls, and the stand-ins every test program shares.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host/outside.h"

// One stand-in per seam; a seam whose stand-in is null takes the real call.
struct StandIns {
    decltype(Outside::CreateDisplayContext) createDisplayContext;
    decltype(Outside::DriverEscape) driverEscape;
    decltype(Outside::DeleteDisplayContext) deleteDisplayContext;
    decltype(Outside::OpenDevice) openDevice;
    decltype(Outside::ControlDevice) controlDevice;
    decltype(Outside::CloseDevice) closeDevice;
    decltype(Outside::RegisterPowerSetting) registerPowerSetting;
    decltype(Outside::UnregisterPowerSetting) unregisterPowerSetting;
    decltype(Outside::ReadPowerStatus) readPowerStatus;
    decltype(Outside::SystemMetric) systemMetric;
    decltype(Outside::ShowMessageBox) showMessageBox;
};

void InstallStandIns(const StandIns& standIns);
// Every seam back at its real system call, with the display and drive handles forgotten.
void RemoveStandIns();

// The settings through which Windows reports the display's state and the power source.
extern const GUID ConsoleDisplaySetting, MonitorPowerSetting, PowerSourceSetting;

// What lies outside as the shared stand-ins play it: what they answer and what
// they saw. Every display and drive request is logged in order, tagged with `tick`.
struct FakeOutside {
    // The display driver knows its register escape, answering the capability
    // query with AL `status` and BH `capabilities`...
    bool displayAnswers = true;
    uint8_t status = 79;
    uint8_t capabilities = 7;
    bool stateRecordDriver = false;    // ...or the state-record escapes instead
    bool contextFails = false;         // the display device context cannot be made
    bool queryFails = false;           // the capability escape fails
    bool setFails = false;             // state escapes fail
    bool deviceOpens = true;
    int spinDownRefusals = 0;          // spin-down requests refused before one is accepted
    // When set, decides every device request instead (true: accepted).
    std::function<bool(DWORD code)> deviceAnswer;
    bool battery = false;              // Windows reports a system battery
    bool batteryUnknown = false;       // ...or a battery status of unknown (255)
    bool onBattery = false;            // Windows reports the battery as the power source
    bool lineUnknown = false;          // ...with the line status unknown (255) instead
    bool powerStatusFails = false;     // the power question fails
    // Called inside a message box, after it has been logged.
    std::function<void()> duringMessageBox;
    // Called inside every request to turn the display on, after it has been logged.
    std::function<void()> duringDisplayOn;

    int tick = 0;
    std::vector<std::string> events;   // "<tick> display Standby", "<tick> drive SpinDown", ...
    int escapes = 0;                   // display escapes other than the probe
    int deviceOpenCalls = 0;
    std::vector<std::string> boxes;    // "<caption>: <text>"
    HWND boxOwner = nullptr;           // ...the last one's owner, caption, text and type
    std::string boxCaption, boxText;
    UINT boxType = 0;
    // Power-setting notices asked for and given back: "console display for the
    // window KelvorinTestSaver", "give back monitor power", ...
    std::vector<std::string> notices;

    void Log(const std::string& event);
};

// Points every seam at the shared stand-ins, which answer from `outside` and
// record into it until RemoveStandIns; the display and drive handles of before are forgotten.
void InstallFakeOutside(FakeOutside& outside);
