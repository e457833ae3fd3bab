// The logo's random sequence, its placement rule and the minute-to-second countdowns.
#include <gtest/gtest.h>

#include "saver/countdown.h"
#include "saver/random.h"

namespace {

TEST(LogoRandom, SeededWithOneStartsWithTheKnownSequence)
{
    SeedLogoRandom(1);
    for (int32_t expected : {41, 18467, 6334, 26500, 19169, 15724})
        EXPECT_EQ(expected, NextLogoRandom());
    SeedLogoRandom(1);
    EXPECT_EQ(41, NextLogoRandom()) << "seeding restarts the sequence";
}

struct PlaceRow {
    int line;
    int32_t right, bottom, logoWidth, logoHeight;
    LogoPlace first, second;
};

TEST(LogoRandom, PlacesAreDrawnXFirstAndKeptInside)
{
    const PlaceRow rows[] = {
        {__LINE__, 640, 480, 128, 85, {41, 227}, {512, 100}},
        {__LINE__, 1024, 768, 128, 85, {41, 35}, {190, 388}},
        // Narrower and lower than the logo: pinned to the corner, cut off at the edges.
        {__LINE__, 100, 50, 128, 85, {0, 0}, {0, 0}},
        // Near the right and bottom edges the logo is pulled back to end there.
        {__LINE__, 50, 30, 20, 20, {30, 10}, {30, 10}},
        // No logo loaded: the draws themselves.
        {__LINE__, 1024, 768, 0, 0, {41, 35}, {190, 388}},
    };
    for (const PlaceRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SeedLogoRandom(1);
        LogoPlace first = NextLogoPlace(row.right, row.bottom, row.logoWidth, row.logoHeight);
        LogoPlace second = NextLogoPlace(row.right, row.bottom, row.logoWidth, row.logoHeight);
        EXPECT_EQ(row.first.x, first.x);
        EXPECT_EQ(row.first.y, first.y);
        EXPECT_EQ(row.second.x, second.x);
        EXPECT_EQ(row.second.y, second.y);
    }
}

TEST(Countdown, MinutesBecomeSecondsAndSaturateInsteadOfWrapping)
{
    const struct {
        uint32_t minutes;
        uint16_t seconds;
    } rows[] = {
        {0, 0}, {1, 60}, {99, 5940}, {1092, 65520}, {1093, 65535}, {1100, 65535},
        {70000, 65535}, {0xFFFFFFFFu, 65535},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.seconds, CountdownSeconds(row.minutes)) << row.minutes << " minutes";
}

} // namespace
