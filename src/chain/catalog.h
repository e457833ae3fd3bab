// The saver catalogue: the saver files of the system directory and the running
// module's own file, described and sorted by description, with the path of each.
#pragma once
#include <cstdint>

#include "chain/saver_file.h"

struct SaverCatalogEntry {
    char description[SaverDescriptionSize];     // text to show for the saver
    char path[60];                              // full path of the saver file
};
static_assert(sizeof(SaverCatalogEntry) == 100, "records are 100 bytes");

struct SaverCatalogStore {
    SaverCatalogEntry* records;     // `count` records; null while none is held
    uint16_t count;
    char systemDirectory[256];
};

extern SaverCatalogStore SaverCatalog;

// Collects the system directory's saver files and the running module's own
// file, describes them and sorts them by description.
void BuildSaverCatalog();
// Appends a record for `path` unless it is empty, does not fit a record or is
// held already (compared without regard to case).
void CollectSaver(const char* path);
// Describes every record and sorts the records by description.
void SortSaverCatalog();
// Writes the record's description and returns true when the file yields one.
bool DescribeSaver(const char* path, SaverCatalogEntry* record);
// strcmp order of the descriptions, bytes taken as unsigned.
int CompareDescriptions(const SaverCatalogEntry& a, const SaverCatalogEntry& b);
// The path of record `record`, or null when there is none.
const char* SaverCatalogPath(int record);
void ReleaseSaverCatalog();
