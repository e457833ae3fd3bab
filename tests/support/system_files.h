// Files that tests place in the prefix's system directory, where the saver
// catalogue looks; every file placed is removed again.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

std::string SystemDirectory();
std::string SystemFilePath(const std::string& name);

// Places files and removes them when it goes out of scope.
class SystemFiles {
public:
    SystemFiles() = default;
    SystemFiles(const SystemFiles&) = delete;
    SystemFiles& operator=(const SystemFiles&) = delete;
    ~SystemFiles();
    void Write(const std::string& name, const std::string& bytes);
    // Copies a program (a Windows path, such as SaverProgramPath()).
    void Copy(const std::wstring& source, const std::string& name);
    void RemoveAll();

private:
    std::vector<std::string> placed_;
};

// Crafted saver files. A 32-bit image: "MZ", e_lfanew and "PE\0\0" where it points.
std::string PortableImage(uint32_t lfanew, size_t size = 512);
// A 16-bit-style file: 1024 bytes of MS-DOS header, then `rest` from file offset 1024.
std::string SixteenBitSaver(const std::string& rest);

// The lines of the stand-in saver's log (saver_probe.log in the Windows directory).
std::string ProbeLogPath();
std::vector<std::string> ProbeLogLines();
