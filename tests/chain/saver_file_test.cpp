// The saver-file rules over bytes in memory: the 32-bit image test, the
// description marker search and the description texts.
#include <gtest/gtest.h>

#include <string>

#include "chain/saver_file.h"

namespace {

const uint8_t* Bytes(const std::string& text)
{
    return reinterpret_cast<const uint8_t*>(text.data());
}

std::string Header(uint32_t lfanew, const std::string& signature, size_t length = SaverHeaderSize)
{
    std::string header(length, '\0');
    for (int i = 0; i < 4 && 60 + i < static_cast<int>(length); ++i)
        header[60 + i] = static_cast<char>((lfanew >> (8 * i)) & 0xFF);
    if (lfanew < length)
        header.replace(lfanew, signature.size(), signature);
    header.resize(length);
    return header;
}

TEST(SaverFile, ImageTestLooksOnlyWithinTheBytesRead)
{
    const std::string PE("PE\0\0", 4);
    struct Row {
        int line;
        std::string header;
        bool image;
    } rows[] = {
        {__LINE__, Header(128, PE), true},
        {__LINE__, Header(64, PE), true},
        {__LINE__, Header(251, PE), true},      // the last four bytes read
        {__LINE__, Header(252, PE), false},     // would run past byte 255
        {__LINE__, Header(254, PE), false},
        {__LINE__, Header(0xFFFFFFFCu, PE), false},
        {__LINE__, Header(128, std::string("PE\0\1", 4)), false},
        {__LINE__, Header(128, "NE"), false},
        {__LINE__, Header(60, PE), false},      // overwrites e_lfanew itself
        {__LINE__, Header(128, PE, 63), false}, // e_lfanew not read whole
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        EXPECT_EQ(row.image, IsPortableExecutable(Bytes(row.header), row.header.size()));
    }
}

TEST(SaverFile, MarkerSearch)
{
    const size_t none = NoMarker;
    struct Row {
        int line;
        std::string block;
        size_t position;
    } rows[] = {
        {__LINE__, std::string("SCRNSAVE : Starfield\0", 21), 9},
        {__LINE__, "xxSCRNSAVE   :  Starfield", 11},
        {__LINE__, "SCRNSAVE" + std::string(10, ' ') + ":Ten", 9},
        {__LINE__, "SCRNSAVE" + std::string(11, ' ') + ":Eleven", none},
        {__LINE__, "SCRNSAVE:Direct", none},
        {__LINE__, "SSCRNSAVE :Capital", none},     // resumes two bytes on, past the marker
        {__LINE__, "S SCRNSAVE :Apart", 11},
        {__LINE__, "scrnsave :lower", none},
        {__LINE__, "SCRNSAVE x SCRNSAVE :Second", 20},
        {__LINE__, "SCRNSAVE ", none},              // the block ends after the marker
        {__LINE__, "SCRNSAVE   ", none},
        {__LINE__, "SCRNSA", none},
        {__LINE__, "", none},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        EXPECT_EQ(row.position, FindDescriptionMarker(Bytes(row.block), row.block.size(),
                                                      SaverDescriptionMarker));
    }
}

TEST(SaverFile, MarkerSearchStopsAtTheLengthGiven)
{
    const std::string block = "SCRNSAVE :Cut";
    EXPECT_EQ(NoMarker, FindDescriptionMarker(Bytes(block), 9, SaverDescriptionMarker));
    EXPECT_EQ(NoMarker, FindDescriptionMarker(Bytes(block), 5, SaverDescriptionMarker));
    EXPECT_EQ(9u, FindDescriptionMarker(Bytes(block), 10, SaverDescriptionMarker));
}

TEST(SaverFile, SixteenBitDescriptions)
{
    const std::string longText(60, 'L');
    struct Row {
        int line;
        std::string block;
        size_t position;
        std::string description;
    } rows[] = {
        {__LINE__, std::string("SCRNSAVE : Starfield\0junk", 25), 9, "[16-bit] Starfield"},
        {__LINE__, "SCRNSAVE   :  Starfield", 9, "[16-bit] Starfield"},
        {__LINE__, "SCRNSAVE :: : Colons", 9, "[16-bit] Colons"},
        {__LINE__, "SCRNSAVE :To the end", 9, "[16-bit] To the end"},
        {__LINE__, "SCRNSAVE : ", 9, "[16-bit] "},
        {__LINE__, "SCRNSAVE :" + longText, 9, "[16-bit] " + std::string(30, 'L')},
        {__LINE__, "SCRNSAVE :", 40, "[16-bit] "},     // a position past the block
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        char description[SaverDescriptionSize];
        memset(description, '#', sizeof description);
        FormSixteenBitDescription(Bytes(row.block), row.block.size(), row.position, description);
        EXPECT_EQ(row.description, std::string(description));
    }
}

TEST(SaverFile, FileNameDescriptions)
{
    struct Row {
        int line;
        const char* path;
        std::string description;
    } rows[] = {
        {__LINE__, "C:\\windows\\system32\\kelvorin.scr", "kelvorin.scr"},
        {__LINE__, "bare.scr", "bare.scr"},
        {__LINE__, "C:\\dir\\", ""},
        {__LINE__, "C:\\windows\\system32\\abcdefghijklmnopqrstuvwxyz0123456789ABCDEF.scr",
         "abcdefghijklmnopqrstuvwxyz0123456789ABC"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        char description[SaverDescriptionSize];
        FormFileNameDescription(row.path, description);
        EXPECT_EQ(row.description, std::string(description));
    }
}

} // namespace
