// The profile mapping that the packages install, as tests set, read and clear it:
// the value under IniFileMapping\control.ini and the user's key it points to.
#pragma once
#include <windows.h>

#include <map>
#include <string>

// Whether the mapping is in a view (KEY_WOW64_64KEY or KEY_WOW64_32KEY).
bool ProfileMappingIn(REGSAM view);
// Maps the section in the 64-bit view, where the profile services read it.
void InstallProfileMapping();
// Removes the mapping from both views, and the user's key.
void RemoveProfileMapping();

// The text values of HKCU\Control Panel\Screen Saver.Kelvorin; `exists` tells
// an empty key from none.
std::map<std::string, std::string> UserSettings(bool* exists = nullptr);
void SetUserSettings(const std::map<std::string, std::string>& values);
