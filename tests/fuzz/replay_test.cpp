// The fuzz targets' seed corpus and earlier findings, replayed once without
// mutation, and what the catalogue makes of the crafted saver files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_checks.h"

namespace {

const std::filesystem::path Corpus = KELVORIN_FUZZ_CORPUS;

std::vector<uint8_t> Contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void ReplayEach(const char* target, std::string (*check)(const uint8_t*, size_t))
{
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(Corpus / target)) {
        SCOPED_TRACE(entry.path().string());
        const std::vector<uint8_t> bytes = Contents(entry.path());
        EXPECT_EQ("", check(bytes.data(), bytes.size()));
        ++replayed;
    }
    EXPECT_LT(0, replayed) << "no inputs in " << (Corpus / target);
}

TEST(FuzzReplay, CommandLineInputs)
{
    ReplayEach("command_line", CheckCommandLineInput);
}

TEST(FuzzReplay, SaverFileInputs)
{
    ReplayEach("saver_file", CheckSaverFileInput);
}

TEST(FuzzReplay, CraftedSaverFilesAreDescribedAsTheCatalogueDescribesThem)
{
    const struct {
        int line;
        const char* name;
        bool described;
        std::string description;
    } rows[] = {
        {__LINE__, "image_lfanew_128", true, "kelvorin.scr"},
        {__LINE__, "image_lfanew_252", false, ""},
        {__LINE__, "sixteen_bit_starfield", true, "[16-bit] Starfield"},
        {__LINE__, "sixteen_bit_second_block", true, "[16-bit] Night Lights"},
        {__LINE__, "marker_across_blocks", false, ""},
        {__LINE__, "long_description_at_end", true, "[16-bit] " + std::string(30, 'L')},
        {__LINE__, "short_10", false, ""},
        {__LINE__, "short_255", false, ""},
        {__LINE__, "short_1030", false, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        const std::vector<uint8_t> bytes = Contents(Corpus / "saver_file" / row.name);
        ASSERT_FALSE(bytes.empty());
        std::string faults;
        SaverFileReading reading = ReadSaverFileBytes(bytes.data(), bytes.size(),
                                                      "C:\\WINDOWS\\SYSTEM32\\kelvorin.scr", &faults);
        EXPECT_EQ("", faults);
        EXPECT_EQ(row.described, reading.described);
        EXPECT_EQ(row.description, reading.description);
    }
}

} // namespace
