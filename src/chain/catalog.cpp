// The saver catalogue: finds the saver files of the system directory, reads
// their descriptions, and keeps one record per position of the saver list.
#include "chain/catalog.h"

#include <algorithm>
#include <cstring>

#include "host/host.h"
#include "host/texts.h"
#include "resources/resource.h"
#include "settings/settings.h"

SaverCatalogStore SaverCatalog;

namespace {

constexpr char SaverFilePattern[] = "%s\\*.scr";
constexpr UINT PlainFiles = 0;                  // CB_DIR: read-write files only
constexpr size_t ListedNameSize = 60;

uint8_t ScanBuffer[SaverBlockSize];

LRESULT ListMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendDlgItemMessageA(dialog, IDC_SAVER_LIST, message, wParam, lParam);
}

LRESULT AddListItem(HWND dialog, const char* text)
{
    return ListMessage(dialog, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// Position 0 shows "None" in the user's language; it stands for the stored "None".
void InsertNoneEntry(HWND dialog)
{
    wchar_t shown[SaverDescriptionSize];
    LoadText(IDS_NONE_ENTRY, shown, SaverDescriptionSize);
    SendDlgItemMessageW(dialog, IDC_SAVER_LIST, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(shown));
}

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

// Reads list item `item` and forms its full path; false when the name or the
// path would not fit a record.
bool ListedSaverPath(HWND dialog, int item, const char* systemDirectory, char path[60])
{
    LRESULT length = ListMessage(dialog, CB_GETLBTEXTLEN, item, 0);
    if (length == CB_ERR || length >= static_cast<LRESULT>(ListedNameSize))
        return false;
    char name[ListedNameSize] = {};
    if (ListMessage(dialog, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(name)) == CB_ERR)
        return false;
    if (std::strlen(systemDirectory) + 1 + std::strlen(name) >= sizeof SaverCatalogEntry::path)
        return false;
    wsprintfA(path, "%s\\%s", systemDirectory, name);
    return true;
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

void BuildSaverCatalog(HWND dialog)
{
    ReleaseSaverCatalog();
    UINT length = GetSystemDirectoryA(SaverCatalog.systemDirectory, sizeof SaverCatalog.systemDirectory);
    // Without the directory the pattern would name the current drive's root instead.
    if (length > 0 && length < sizeof SaverCatalog.systemDirectory) {
        char pattern[sizeof SaverCatalog.systemDirectory + sizeof SaverFilePattern];
        wsprintfA(pattern, SaverFilePattern, SaverCatalog.systemDirectory);
        ListMessage(dialog, CB_DIR, PlainFiles, reinterpret_cast<LPARAM>(pattern));
        CollectListedSavers(dialog, SaverCatalog.systemDirectory);
    }
    ListMessage(dialog, CB_RESETCONTENT, 0, 0);
    // Offered wherever it lies, so the logo can be chosen wherever it was installed.
    CollectOwnModule(ModulePath);
    FillSaverList(dialog);
}

void CollectOwnModule(const char* path)
{
    if (path[0] == '\0' || std::strlen(path) >= sizeof SaverCatalogEntry::path)
        return;
    for (uint16_t k = 1; SaverCatalog.records != nullptr && k <= SaverCatalog.count; ++k) {
        if (lstrcmpiA(SaverCatalog.records[k].path, path) == 0)
            return;
    }
    if (!ReserveRecords(static_cast<size_t>(SaverCatalog.count) + 2))
        return;
    ++SaverCatalog.count;
    lstrcpynA(SaverCatalog.records[SaverCatalog.count].path, path, sizeof SaverCatalogEntry::path);
}

void CollectListedSavers(HWND dialog, const char* systemDirectory)
{
    const uint16_t listed = static_cast<uint16_t>(ListMessage(dialog, CB_GETCOUNT, 0, 0));
    if (!ReserveRecords(static_cast<size_t>(SaverCatalog.count) + listed + 1)) {
        ListMessage(dialog, CB_RESETCONTENT, 0, 0);
        ReleaseSaverCatalog();
        return;
    }
    uint16_t collected = 0;
    for (int item = 0; item < listed; ++item) {
        SaverCatalogEntry& record = SaverCatalog.records[SaverCatalog.count + collected + 1];
        if (ListedSaverPath(dialog, item, systemDirectory, record.path))
            ++collected;
    }
    SaverCatalog.count = static_cast<uint16_t>(SaverCatalog.count + collected);
}

void FillSaverList(HWND dialog)
{
    SaverCatalogEntry* records = SaverCatalog.records;
    if (records == nullptr) {
        // No storage: "None" is still offered, and SaverCatalogPath answers for it.
        InsertNoneEntry(dialog);
        return;
    }
    for (uint16_t k = 1; k <= SaverCatalog.count; ++k) {
        if (DescribeSaver(records[k].path, &records[k])
            && AddListItem(dialog, records[k].description) == CB_ERR)
            break;
    }
    ListMessage(dialog, CB_RESETCONTENT, 0, 0);
    std::sort(records + 1, records + 1 + SaverCatalog.count,
              [](const SaverCatalogEntry& a, const SaverCatalogEntry& b) {
                  return CompareDescriptions(a, b) < 0;
              });
    uint16_t listed = 0;
    while (listed < SaverCatalog.count && AddListItem(dialog, records[listed + 1].description) != CB_ERR)
        ++listed;
    SaverCatalog.count = listed;
    lstrcpynA(records[0].description, NoneText, sizeof records[0].description);
    lstrcpynA(records[0].path, NoneText, sizeof records[0].path);
    InsertNoneEntry(dialog);
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

const char* SaverCatalogPath(int position)
{
    if (SaverCatalog.records == nullptr)
        return position == 0 ? NoneText : nullptr;
    if (position < 0 || position > SaverCatalog.count)
        return nullptr;
    return SaverCatalog.records[position].path;
}

void ReleaseSaverCatalog()
{
    if (SaverCatalog.records != nullptr)
        LocalFree(SaverCatalog.records);
    SaverCatalog.records = nullptr;
    SaverCatalog.count = 0;
}
