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

std::string PlacedListPath()
{
    return WindowsFilePath("kelvorin-placed-files.txt");
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

SystemFiles::SystemFiles()
{
    std::string list;
    ReadWholeFile(PlacedListPath(), &list);
    for (size_t start = 0, end; (end = list.find('\n', start)) != std::string::npos; start = end + 1)
        placed_.push_back(list.substr(start, end - start));
    RemoveAll();
}

SystemFiles::~SystemFiles()
{
    RemoveAll();
}

// Listed before it is placed, so that no file is ever placed unlisted.
void SystemFiles::Remember(const std::string& name)
{
    placed_.push_back(name);
    std::string list;
    for (const std::string& placed : placed_)
        list += placed + "\n";
    WriteWholeFile(PlacedListPath(), list);
}

void SystemFiles::Write(const std::string& name, const std::string& bytes)
{
    Remember(name);
    WriteWholeFile(SystemFilePath(name), bytes);
}

void SystemFiles::Copy(const std::wstring& source, const std::string& name)
{
    Remember(name);
    std::string target = SystemFilePath(name);
    CopyFileW(source.c_str(), std::wstring(target.begin(), target.end()).c_str(), FALSE);
}

void SystemFiles::RemoveAll()
{
    // A program placed here may still be ending; give it a moment to let go.
    for (const std::string& name : placed_) {
        std::string path = SystemFilePath(name);
        PumpUntil([&] { return DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES; },
                  3000);
    }
    placed_.clear();
    DeleteFileA(PlacedListPath().c_str());
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
