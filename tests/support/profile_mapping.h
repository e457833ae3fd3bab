// The profile mapping that the packages install, as tests set, read and clear it:
// the value under IniFileMapping\control.ini and the user's key it points to.
#pragma once
#include <windows.h>

#include <map>
#include <string>

// KEY_WOW64_64KEY or KEY_WOW64_32KEY.
bool ProfileMappingIn(REGSAM view);
// Maps the section in the 64-bit view, where the profile services read it.
void InstallProfileMapping();
// Removes the mapping from both views and the user's key.
void RemoveProfileMapping();

// HKCU\Control Panel\Screen Saver.Kelvorin: whether it exists, and its text values.
bool UserSettingsKeyExists();
std::map<std::string, std::string> UserSettings();
void SetUserSettings(const std::map<std::string, std::string>& values);
