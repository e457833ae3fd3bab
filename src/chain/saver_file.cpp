// Saver-file description rules over bytes already read; every offset is checked
// against the length actually read.
#include "chain/saver_file.h"

#include <cstring>

namespace {

constexpr size_t LfanewOffset = 60;             // e_lfanew of the MS-DOS header
constexpr size_t MostBlanksAfterMarker = 10;    // bytes looked at after the marker
constexpr char SixteenBitPrefix[] = "[16-bit] ";

uint32_t ReadLittleEndian32(const uint8_t* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

// Appends at most what still fits the description (39 characters and a zero).
void AppendCut(char description[SaverDescriptionSize], size_t* used, const char* text, size_t length)
{
    while (length-- > 0 && *used + 1 < SaverDescriptionSize)
        description[(*used)++] = *text++;
    description[*used] = '\0';
}

} // namespace

bool IsPortableExecutable(const uint8_t* header, size_t length)
{
    if (length < LfanewOffset + 4)
        return false;
    uint32_t signature = ReadLittleEndian32(header + LfanewOffset);
    if (signature > length || length - signature < 4)
        return false;
    return std::memcmp(header + signature, "PE\0\0", 4) == 0;
}

size_t FindDescriptionMarker(const uint8_t* block, size_t length, const char* marker)
{
    const size_t markerLength = std::strlen(marker);
    size_t b = 0;
    while (b < length) {
        size_t k = 0;
        while (k < markerLength && b + k < length && block[b + k] == static_cast<uint8_t>(marker[k]))
            ++k;
        if (k == markerLength) {
            for (size_t i = b + k; i < length && i < b + k + MostBlanksAfterMarker; ++i) {
                if (block[i] == ':')
                    return b + k;
                if (block[i] != ' ')
                    break;
            }
        }
        b += k + 1;
    }
    return NoMarker;
}

void FormSixteenBitDescription(const uint8_t* block, size_t length, size_t position,
                               char description[SaverDescriptionSize])
{
    while (position < length && (block[position] == ':' || block[position] == ' '))
        ++position;
    size_t end = position;
    while (end < length && block[end] != 0)
        ++end;
    size_t used = 0;
    AppendCut(description, &used, SixteenBitPrefix, sizeof SixteenBitPrefix - 1);
    if (position < end)
        AppendCut(description, &used, reinterpret_cast<const char*>(block + position), end - position);
}

void FormFileNameDescription(const char* path, char description[SaverDescriptionSize])
{
    const char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    size_t used = 0;
    AppendCut(description, &used, name, std::strlen(name));
}
