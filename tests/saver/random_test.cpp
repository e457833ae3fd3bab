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

// Monitor layouts in client coordinates of the window over the virtual screen.
const LogoArea One[] = {{0, 0, 1024, 768}};
const LogoArea SideBySide[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
const LogoArea LowerLeft[] = {{0, 232, 800, 832}, {800, 0, 2080, 1024}};
const LogoArea Stacked[] = {{0, 0, 1280, 1024}, {200, 1024, 1000, 1624}};
const LogoArea TooSmall[] = {{0, 0, 100, 50}, {100, 0, 1124, 768}};

struct MonitorRow {
    int line;
    LogoPlace chosen;
    const LogoArea* monitors;
    int32_t count;
    LogoPlace drawn;
};

TEST(LogoPlacement, AFrameIsPulledOntoTheMonitorOfItsCornerOrTheNearest)
{
    const MonitorRow rows[] = {
        {__LINE__, {41, 35}, One, 1, {41, 35}},
        {__LINE__, {896, 683}, One, 1, {896, 683}},
        {__LINE__, {41, 35}, nullptr, 0, {41, 35}},
        // Straddling the seam: back onto the monitor of its corner.
        {__LINE__, {1000, 100}, SideBySide, 2, {896, 100}},
        {__LINE__, {1800, 10}, SideBySide, 2, {1696, 10}},
        // Below the smaller monitor, on none: onto the nearest.
        {__LINE__, {1500, 700}, SideBySide, 2, {1500, 515}},
        {__LINE__, {1030, 760}, SideBySide, 2, {896, 683}},
        {__LINE__, {10, 100}, LowerLeft, 2, {10, 232}},
        {__LINE__, {1100, 1500}, Stacked, 2, {872, 1500}},
        // A monitor smaller than the logo: pinned to its corner.
        {__LINE__, {60, 20}, TooSmall, 2, {0, 0}},
    };
    for (const MonitorRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        LogoPlace drawn = PlaceOnOneMonitor(row.chosen, {128, 85}, row.monitors, row.count);
        EXPECT_EQ(row.drawn.x, drawn.x);
        EXPECT_EQ(row.drawn.y, drawn.y);
    }
}

struct LayoutRow {
    int line;
    const LogoArea* monitors;
    int32_t count;
    int32_t width, height;      // the virtual screen
};

TEST(LogoPlacement, EveryFrameOfTheSequenceLiesWhollyOnOneMonitor)
{
    const LayoutRow rows[] = {
        {__LINE__, SideBySide, 2, 1824, 768},
        {__LINE__, LowerLeft, 2, 2080, 1024},
        {__LINE__, Stacked, 2, 1280, 1624},
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        SeedLogoRandom(1);
        for (int frame = 0; frame < 1000; ++frame) {
            LogoPlace chosen = NextLogoPlace(row.width, row.height, 128, 85);
            LogoPlace p = PlaceOnOneMonitor(chosen, {128, 85}, row.monitors, row.count);
            bool onOne = false;
            for (int32_t m = 0; m < row.count; ++m) {
                const LogoArea& a = row.monitors[m];
                onOne |= p.x >= a.left && p.y >= a.top && p.x + 128 <= a.right && p.y + 85 <= a.bottom;
            }
            ASSERT_TRUE(onOne) << "frame " << frame << " at " << p.x << ", " << p.y;
        }
    }
}

TEST(LogoPlacement, TheLogoIsScaledButNeverBelowOnePixel)
{
    const struct {
        int32_t length, numerator, denominator, scaled;
    } rows[] = {
        {128, 1, 1, 128}, {128, 152, 1024, 19}, {85, 152, 1024, 12}, {85, 4, 1024, 1},
        {128, 144, 96, 192}, {0, 152, 1024, 0}, {128, 0, 1024, 128}, {128, 152, 0, 128},
        {0x7FFFFFFF, 3, 1, 0x7FFFFFFF},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.scaled, ScaledLogoLength(row.length, row.numerator, row.denominator))
            << row.length << " x " << row.numerator << " / " << row.denominator;
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
