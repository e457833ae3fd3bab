// The saver catalogue: the saver files of the system directory, described,
// sorted and listed behind "None" in the setup dialog's saver list, with the
// path of every list position.
#pragma once
#include <windows.h>

#include <cstdint>

#include "chain/saver_file.h"

struct SaverCatalogEntry {
    char description[SaverDescriptionSize];     // text shown in the list
    char path[60];                              // full path of the saver file
};
static_assert(sizeof(SaverCatalogEntry) == 100, "records are 100 bytes");

struct SaverCatalogStore {
    SaverCatalogEntry* records;     // record 0 is "None"; null while no storage is held
    uint16_t count;                 // saver records, record 0 not counted
    char systemDirectory[256];
};

extern SaverCatalogStore SaverCatalog;

// Lists the system directory's saver files and the running module's own file
// in the dialog's saver list.
void BuildSaverCatalog(HWND dialog);
// Appends a record for every file name now in the list; names whose full path
// would not fit a record are skipped.
void CollectListedSavers(HWND dialog, const char* systemDirectory);
// Appends a record for `path` unless it is empty, does not fit a record or is
// held already (compared without regard to case).
void CollectOwnModule(const char* path);
// Describes, sorts and lists the records, then puts "None" at position 0.
void FillSaverList(HWND dialog);
// Writes the record's description and returns true when the file yields one.
bool DescribeSaver(const char* path, SaverCatalogEntry* record);
// strcmp order of the descriptions, bytes taken as unsigned.
int CompareDescriptions(const SaverCatalogEntry& a, const SaverCatalogEntry& b);
// The path behind list position `position`, or null when there is none.
const char* SaverCatalogPath(int position);
void ReleaseSaverCatalog();
