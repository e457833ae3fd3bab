// The saver-file rules over arbitrary file bytes, read as the catalogue reads a
// saver file, against a plain reading of the rules.
#include "fuzz/fuzz_checks.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "chain/saver_file.h"

namespace {

constexpr size_t LfanewOffset = 60;
constexpr size_t SignatureSize = 4;
constexpr size_t MostBlanksAfterMarker = 10;
constexpr size_t LongestSixteenBitText = SaverDescriptionSize - 1 - (sizeof "[16-bit] " - 1);
const uint8_t Filler = 0xA5;

bool ExpectedImage(const std::vector<uint8_t>& header)
{
    uint64_t lfanew = 0;
    for (size_t b = 0; b < 4; ++b)
        lfanew |= static_cast<uint64_t>(header[LfanewOffset + b]) << (8 * b);
    return lfanew + SignatureSize <= header.size()
        && std::memcmp(header.data() + lfanew, "PE\0\0", SignatureSize) == 0;
}

// True when a marker at `start` is followed by at most nine blanks and a colon,
// all within the block.
bool MarkerAt(const std::vector<uint8_t>& block, size_t start)
{
    const size_t markerLength = std::strlen(SaverDescriptionMarker);
    if (start + markerLength > block.size()
        || std::memcmp(block.data() + start, SaverDescriptionMarker, markerLength) != 0)
        return false;
    for (size_t i = start + markerLength; i < block.size() && i < start + markerLength + MostBlanksAfterMarker; ++i) {
        if (block[i] == ':')
            return true;
        if (block[i] != ' ')
            return false;
    }
    return false;
}

std::string ExpectedSixteenBitText(const std::vector<uint8_t>& block, size_t position)
{
    while (position < block.size() && (block[position] == ':' || block[position] == ' '))
        ++position;
    std::string text;
    while (position < block.size() && block[position] != 0 && text.size() < LongestSixteenBitText)
        text += static_cast<char>(block[position++]);
    return "[16-bit] " + text;
}

// The description field as written: the fault when it has no zero.
std::string Terminated(const char description[SaverDescriptionSize], std::string* faults)
{
    if (std::memchr(description, 0, SaverDescriptionSize) == nullptr) {
        *faults += "description without its zero; ";
        return std::string(description, SaverDescriptionSize);
    }
    return description;
}

std::string ExpectedFileName(const char* path)
{
    const char* name = std::strrchr(path, '\\');
    return std::string(name ? name + 1 : path).substr(0, SaverDescriptionSize - 1);
}

std::string FileNameDescription(const char* path, std::string* faults)
{
    char description[SaverDescriptionSize];
    std::memset(description, Filler, sizeof description);
    FormFileNameDescription(path, description);
    std::string text = Terminated(description, faults);
    if (text != ExpectedFileName(path))
        *faults += "wrong file-name description; ";
    return text;
}

bool DescribeBlock(const std::vector<uint8_t>& block, SaverFileReading* reading, std::string* faults)
{
    const size_t position = FindDescriptionMarker(block.data(), block.size(), SaverDescriptionMarker);
    if (position == NoMarker) {
        if (MarkerAt(block, 0))
            *faults += "marker at the block's start not found; ";
        return false;
    }
    const size_t markerLength = std::strlen(SaverDescriptionMarker);
    if (position < markerLength || !MarkerAt(block, position - markerLength))
        *faults += "position not right after a marker and its colon; ";
    char description[SaverDescriptionSize];
    std::memset(description, Filler, sizeof description);
    FormSixteenBitDescription(block.data(), block.size(), position, description);
    reading->description = Terminated(description, faults);
    if (reading->description != ExpectedSixteenBitText(block, position))
        *faults += "wrong 16-bit description; ";
    return true;
}

} // namespace

SaverFileReading ReadSaverFileBytes(const uint8_t* data, size_t size, const char* path,
                                    std::string* faults)
{
    SaverFileReading reading = {false, ""};
    if (size < SaverHeaderSize)
        return reading;
    const std::vector<uint8_t> header(data, data + SaverHeaderSize);
    const bool image = IsPortableExecutable(header.data(), header.size());
    if (image != ExpectedImage(header))
        *faults += "wrong image test; ";
    if (image) {
        reading.description = FileNameDescription(path, faults);
        reading.described = true;
        return reading;
    }
    for (size_t offset = SaverBlockSize; offset < size; offset += SaverBlockSize) {
        const size_t read = std::min(SaverBlockSize, size - offset);
        const std::vector<uint8_t> block(data + offset, data + offset + read);
        if (DescribeBlock(block, &reading, faults)) {
            reading.described = true;
            break;
        }
    }
    return reading;
}

std::string CheckSaverFileInput(const uint8_t* data, size_t size)
{
    std::string faults;
    ReadSaverFileBytes(data, size, "C:\\WINDOWS\\SYSTEM32\\fuzzed.scr", &faults);
    // The same bytes as a path, up to their first zero.
    std::vector<char> path(data, data + size);
    path.push_back('\0');
    FileNameDescription(path.data(), &faults);
    return faults;
}
