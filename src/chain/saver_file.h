// What a saver file's first bytes say about it: a 32-bit image, or a 16-bit
// saver with a "SCRNSAVE" description. Needs no Win32, so it also builds natively.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t SaverHeaderSize = 255;         // bytes read for the image test
constexpr size_t SaverBlockSize = 1024;         // bytes per block of the description search
constexpr size_t SaverDescriptionSize = 40;     // a description field, its zero included
constexpr char SaverDescriptionMarker[] = "SCRNSAVE ";
constexpr size_t NoMarker = static_cast<size_t>(-1);

// True when the e_lfanew field of `header` points at "PE\0\0" lying wholly
// within the `length` bytes read.
bool IsPortableExecutable(const uint8_t* header, size_t length);

// The position right after `marker` when the block holds it, followed by up to
// nine more blanks and a colon; NoMarker otherwise. A failed attempt that
// matched k marker bytes resumes k + 1 bytes on.
size_t FindDescriptionMarker(const uint8_t* block, size_t length, const char* marker);

// "[16-bit] " and the text from `position` on (colons and blanks skipped, up to
// a zero byte or the end of the block), cut to fit `description`.
void FormSixteenBitDescription(const uint8_t* block, size_t length, size_t position,
                               char description[SaverDescriptionSize]);

// The file name of `path` (what follows its last backslash), cut to fit `description`.
void FormFileNameDescription(const char* path, char description[SaverDescriptionSize]);
