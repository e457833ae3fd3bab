// Stand-ins for what lies outside the system while the setup dialog runs: a
// register-interface display driver, the drive-standby device, the power
// status and message boxes. Installing resets the power globals; removing puts the
// real calls back.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

struct FakeOutside {
    // Display: answers the probe for escape 20480 when `displayAnswers`, and the
    // capability query with AL `status` and BH `capabilities`.
    bool displayAnswers = false;
    uint8_t status = 79;
    uint8_t capabilities = 7;
    bool deviceOpens = false;
    bool battery = false;       // Windows reports a system battery
    bool batteryUnknown = false;    // ...or a battery status of unknown (255)
    bool powerStatusFails = false;  // the question fails

    int deviceOpenCalls = 0;
    int messageBoxes = 0;
    std::string lastMessage;        // UTF-8, as the caption
    std::string lastCaption;
    HWND lastMessageOwner = nullptr;
};

extern FakeOutside Fake;

// Points the seams at the fakes with these settings and resets the power globals.
void InstallFakeOutside(const FakeOutside& settings);
void RemoveFakeOutside();
