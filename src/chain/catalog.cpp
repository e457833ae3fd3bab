// The saver catalogue: finds the saver files of the system directory, reads
// their descriptions, and keeps a record of each, sorted by description.
#include "chain/catalog.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "host/host.h"

SaverCatalogStore SaverCatalog;

namespace {

constexpr char SaverFilePattern[] = "%s\\*.scr";
// Plain files only: what a directory listing shows without asking for more.
constexpr DWORD NotListed = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

uint8_t ScanBuffer[SaverBlockSize];

// Grows (or first obtains) zero-filled storage for `records` records.
bool ReserveRecords(size_t records)
{
    const SIZE_T bytes = records * sizeof(SaverCatalogEntry);
    HLOCAL memory = SaverCatalog.records
        ? LocalReAlloc(SaverCatalog.records, bytes, LMEM_MOVEABLE | LMEM_ZEROINIT)
        : LocalAlloc(LPTR, bytes);
    if (memory == nullptr)
        return false;
    SaverCatalog.records = static_cast<SaverCatalogEntry*>(memory);
    return true;
}

// Collects the saver files that `pattern` finds in the system directory.
void CollectSystemSavers(const char* pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        char path[MAX_PATH];
        if ((found.dwFileAttributes & NotListed) == 0
            && std::strlen(SaverCatalog.systemDirectory) + 1 + std::strlen(found.cFileName) < sizeof path) {
            wsprintfA(path, "%s\\%s", SaverCatalog.systemDirectory, found.cFileName);
            CollectSaver(path);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool ReadSaverHeader(HANDLE file)
{
    DWORD read = 0;
    return ReadFile(file, ScanBuffer, SaverHeaderSize, &read, nullptr) && read == SaverHeaderSize;
}

// Searches the blocks from file offset 1024 on for the description marker.
bool FindSixteenBitDescription(HANDLE file, char description[SaverDescriptionSize])
{
    if (SetFilePointer(file, SaverBlockSize, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    DWORD read = 0;
    while (ReadFile(file, ScanBuffer, SaverBlockSize, &read, nullptr) && read > 0) {
        size_t position = FindDescriptionMarker(ScanBuffer, read, SaverDescriptionMarker);
        if (position != NoMarker) {
            FormSixteenBitDescription(ScanBuffer, read, position, description);
            return true;
        }
    }
    return false;
}

} // namespace

void BuildSaverCatalog()
{
    ReleaseSaverCatalog();
    UINT length = GetSystemDirectoryA(SaverCatalog.systemDirectory, sizeof SaverCatalog.systemDirectory);
    // Without the directory the pattern would name the current drive's root instead.
    if (length > 0 && length < sizeof SaverCatalog.systemDirectory) {
        char pattern[sizeof SaverCatalog.systemDirectory + sizeof SaverFilePattern];
        wsprintfA(pattern, SaverFilePattern, SaverCatalog.systemDirectory);
        CollectSystemSavers(pattern);
    }
    // Offered wherever it lies, so the logo can be chosen wherever it was installed.
    CollectSaver(ModulePath);
    SortSaverCatalog();
}

void CollectSaver(const char* path)
{
    if (path[0] == '\0' || std::strlen(path) >= sizeof SaverCatalogEntry::path)
        return;
    for (uint16_t k = 0; k < SaverCatalog.count; ++k) {
        if (lstrcmpiA(SaverCatalog.records[k].path, path) == 0)
            return;
    }
    if (!ReserveRecords(static_cast<size_t>(SaverCatalog.count) + 1))
        return;
    lstrcpynA(SaverCatalog.records[SaverCatalog.count++].path, path, sizeof SaverCatalogEntry::path);
}

void SortSaverCatalog()
{
    SaverCatalogEntry* records = SaverCatalog.records;
    for (uint16_t k = 0; k < SaverCatalog.count; ++k)
        DescribeSaver(records[k].path, &records[k]);
    std::sort(records, records + SaverCatalog.count,
              [](const SaverCatalogEntry& a, const SaverCatalogEntry& b) {
                  return CompareDescriptions(a, b) < 0;
              });
}

bool DescribeSaver(const char* path, SaverCatalogEntry* record)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, &inheritable, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool described = false;
    if (ReadSaverHeader(file)) {
        if (IsPortableExecutable(ScanBuffer, SaverHeaderSize)) {
            FormFileNameDescription(path, record->description);
            described = true;
        } else {
            described = FindSixteenBitDescription(file, record->description);
        }
    }
    CloseHandle(file);
    return described;
}

int CompareDescriptions(const SaverCatalogEntry& a, const SaverCatalogEntry& b)
{
    return std::strcmp(a.description, b.description);
}

const char* SaverCatalogPath(int record)
{
    if (record < 0 || record >= SaverCatalog.count)
        return nullptr;
    return SaverCatalog.records[record].path;
}

void ReleaseSaverCatalog()
{
    if (SaverCatalog.records != nullptr)
        LocalFree(SaverCatalog.records);
    SaverCatalog.records = nullptr;
    SaverCatalog.count = 0;
}
