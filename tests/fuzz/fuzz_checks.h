// Checks that the fuzz targets and the unit tests share: each runs the code
// under test on one input and compares it with a plain reading of its rules.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// The input as a command line of wide units, once 4 bytes to a unit and once
// 2 bytes to a unit, ended by the first zero unit. Returns the first rule the
// grammar broke, empty when it kept every one.
std::string CheckCommandLineInput(const uint8_t* data, size_t size);

// What the saver catalogue makes of a file holding exactly these bytes.
struct SaverFileReading {
    bool described;
    std::string description;
};

// Reads the bytes as the catalogue reads a saver file at `path`: the first 255
// bytes for the image test, then 1024-byte blocks from offset 1024 for the
// marker, each block in a buffer of exactly the bytes read. Rules broken on the
// way are added to `faults`.
SaverFileReading ReadSaverFileBytes(const uint8_t* data, size_t size, const char* path,
                                    std::string* faults);

// The input as a saver file and as a path; returns the first rule broken.
std::string CheckSaverFileInput(const uint8_t* data, size_t size);
