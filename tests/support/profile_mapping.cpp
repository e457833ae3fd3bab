#include "support/profile_mapping.h"

#include <gtest/gtest.h>

#include "support/wine_test.h"

namespace {

const char MappingKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\control.ini";
const char Section[] = "Screen Saver.Kelvorin";
const char Mapping[] = "USR:Control Panel\\Screen Saver.Kelvorin";
const char UserKey[] = "Control Panel\\Screen Saver.Kelvorin";

} // namespace

bool ProfileMappingIn(REGSAM view)
{
    char value[MAX_PATH] = {};
    DWORD size = sizeof value, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MappingKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegQueryValueExA(key, Section, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    EXPECT_TRUE(status != ERROR_SUCCESS || (type == REG_SZ && std::string(value) == Mapping)) << value;
    return status == ERROR_SUCCESS;
}

void InstallProfileMapping()
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, MappingKey, 0, nullptr, 0,
                                             KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr));
    RegSetValueExA(key, Section, 0, REG_SZ, reinterpret_cast<const BYTE*>(Mapping), sizeof Mapping);
    RegCloseKey(key);
    FlushProfileCache();
}

void RemoveProfileMapping()
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MappingKey, 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, Section);
            RegCloseKey(key);
        }
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, UserKey);
    FlushProfileCache();
}

std::map<std::string, std::string> UserSettings(bool* exists)
{
    std::map<std::string, std::string> values;
    HKEY key;
    const bool opened = RegOpenKeyExA(HKEY_CURRENT_USER, UserKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
    if (exists)
        *exists = opened;
    char name[256], value[1024];
    DWORD nameSize = sizeof name, size = sizeof value, type;
    for (DWORD index = 0; opened && RegEnumValueA(key, index, name, &nameSize, nullptr, &type,
                                                  reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS;
         ++index, nameSize = sizeof name, size = sizeof value) {
        EXPECT_EQ(DWORD(REG_SZ), type) << name;
        values[name] = std::string(value, size > 0 ? size - 1 : 0);
    }
    if (opened)
        RegCloseKey(key);
    return values;
}

void SetUserSettings(const std::map<std::string, std::string>& values)
{
    for (const auto& value : values)
        RegSetKeyValueA(HKEY_CURRENT_USER, UserKey, value.first.c_str(), REG_SZ, value.second.c_str(),
                        static_cast<DWORD>(value.second.size() + 1));
}
