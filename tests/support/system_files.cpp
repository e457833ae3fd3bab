// Files placed in the prefix's system directory for the saver catalogue.
#include "support/system_files.h"

#include "support/wine_test.h"

namespace {

constexpr size_t LfanewOffset = 60;
constexpr size_t SixteenBitHeaderSize = 1024;

void PutLittleEndian32(std::string* bytes, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

std::string SystemDirectory()
{
    char directory[MAX_PATH];
    GetSystemDirectoryA(directory, MAX_PATH);
    return directory;
}

std::string SystemFilePath(const std::string& name)
{
    return SystemDirectory() + "\\" + name;
}

SystemFiles::~SystemFiles()
{
    RemoveAll();
}

void SystemFiles::Write(const std::string& name, const std::string& bytes)
{
    WriteWholeFile(SystemFilePath(name), bytes);
    placed_.push_back(name);
}

void SystemFiles::Copy(const std::wstring& source, const std::string& name)
{
    std::string target = SystemFilePath(name);
    CopyFileW(source.c_str(), std::wstring(target.begin(), target.end()).c_str(), FALSE);
    placed_.push_back(name);
}

void SystemFiles::RemoveAll()
{
    for (const std::string& name : placed_)
        RemoveFileWhenFree(SystemFilePath(name));
    placed_.clear();
}

std::string PortableImage(uint32_t lfanew, size_t size)
{
    std::string bytes(size, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutLittleEndian32(&bytes, LfanewOffset, lfanew);
    if (lfanew + 4 <= size)
        bytes.replace(lfanew, 4, std::string("PE\0\0", 4));
    return bytes;
}

std::string SixteenBitSaver(const std::string& rest)
{
    std::string bytes(SixteenBitHeaderSize, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    PutLittleEndian32(&bytes, LfanewOffset, 0x40);
    bytes[0x40] = 'N';
    bytes[0x41] = 'E';
    return bytes + rest;
}

std::string ProbeLogPath()
{
    return WindowsFilePath("saver_probe.log");
}

std::vector<std::string> ProbeLogLines()
{
    std::string contents;
    std::vector<std::string> lines;
    if (!ReadWholeFile(ProbeLogPath(), &contents))
        return lines;
    size_t start = 0;
    for (size_t end; (end = contents.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(contents.substr(start, end - start));
    return lines;
}
