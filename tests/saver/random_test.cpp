// The logo's random sequence, its placement rule, its drawn size and the
// minute-to-second countdowns and their moves between power sources.
#include <gtest/gtest.h>

#include <algorithm>

#include "saver/countdown.h"
#include "saver/logo_size.h"
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

// Two monitors each, in client coordinates of the window over the virtual screen.
const LogoArea SideBySide[] = {{0, 0, 1024, 768}, {1024, 0, 1824, 600}};
const LogoArea LowerLeft[] = {{0, 232, 800, 832}, {800, 0, 2080, 1024}};
const LogoArea Stacked[] = {{0, 0, 1280, 1024}, {200, 1024, 1000, 1624}};
const LogoArea TooSmall[] = {{0, 0, 100, 50}, {100, 0, 1124, 768}};

TEST(LogoPlacement, AFrameIsPulledOntoTheMonitorOfItsCornerOrTheNearest)
{
    const struct {
        LogoPlace chosen;
        const LogoArea* monitors;   // two, or none
        LogoPlace drawn;
    } rows[] = {
        {{41, 35}, nullptr, {41, 35}},
        {{1000, 100}, SideBySide, {896, 100}},  // across the seam: onto its corner's monitor
        {{1800, 10}, SideBySide, {1696, 10}},
        {{1500, 700}, SideBySide, {1500, 515}}, // on no monitor: onto the nearest
        {{10, 100}, LowerLeft, {10, 232}}, {{1100, 1500}, Stacked, {872, 1500}},
        {{60, 20}, TooSmall, {0, 0}},           // smaller than the logo: at its corner
    };
    for (const auto& row : rows) {
        LogoPlace drawn = PlaceOnOneMonitor(row.chosen, {128, 85}, row.monitors, row.monitors ? 2 : 0);
        EXPECT_TRUE(drawn.x == row.drawn.x && drawn.y == row.drawn.y)
            << row.chosen.x << ", " << row.chosen.y << " went to " << drawn.x << ", " << drawn.y;
    }
}

TEST(LogoPlacement, EveryFrameOfTheSequenceLiesWhollyOnOneMonitor)
{
    for (const LogoArea* monitors : {SideBySide, LowerLeft, Stacked}) {
        auto on = [](LogoPlace p, const LogoArea& a) {
            return p.x >= a.left && p.y >= a.top && p.x + 128 <= a.right && p.y + 85 <= a.bottom;
        };
        SeedLogoRandom(1);
        for (int frame = 0; frame < 1000; ++frame) {
            LogoPlace p = NextLogoPlace(std::max(monitors[0].right, monitors[1].right),
                                        std::max(monitors[0].bottom, monitors[1].bottom), 128, 85);
            p = PlaceOnOneMonitor(p, {128, 85}, monitors, 2);
            ASSERT_TRUE(on(p, monitors[0]) || on(p, monitors[1])) << p.x << ", " << p.y;
        }
    }
}

// The preview draws a length at numerator / denominator, never below a pixel; a
// screen draws the bitmap at its DPI over 96, halves rounded up.
TEST(LogoSize, ScaledToThePreviewAndByTheScreensDpi)
{
    const struct {
        int32_t length, numerator, denominator, scaled;
    } rows[] = {{128, 152, 1024, 19}, {85, 4, 1024, 1}, {0, 152, 1024, 0}, {128, 0, 1024, 128},
                {0x7FFFFFFF, 3, 1, 0x7FFFFFFF}};
    for (const auto& row : rows)
        EXPECT_EQ(row.scaled, ScaledLogoLength(row.length, row.numerator, row.denominator))
            << row.length << " x " << row.numerator << " / " << row.denominator;
    const struct {
        int32_t width, height;
        uint32_t dpi;
        int32_t drawnWidth, drawnHeight;
    } dpiRows[] = {
        {128, 85, 96, 128, 85}, {128, 85, 120, 160, 106}, {128, 85, 144, 192, 128},
        {128, 85, 192, 256, 170}, {128, 85, 0, 128, 85},    // 0: DPI not known
        {0, -5, 192, 0, 0}, {0x7FFFFFFF, 1, 0xFFFFFFFFu, 0x7FFFFFFF, 44739243},
    };
    for (const auto& row : dpiRows) {
        const LogoSize drawn = LogoSizeForDpi(row.width, row.height, row.dpi);
        EXPECT_EQ(std::make_pair(row.drawnWidth, row.drawnHeight), std::make_pair(drawn.width, drawn.height))
            << row.width << " x " << row.height << " at " << row.dpi;
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

// A countdown moved to the other power source's start keeps the seconds it
// counted; a second move counts them again from the start it was given.
TEST(Countdown, AMovedCountdownKeepsWhatItCounted)
{
    const struct {
        uint16_t start, left, newStart, moved, movedStart;
    } rows[] = {
        {600, 600, 120, 120, 120}, {600, 570, 120, 90, 120}, {120, 30, 600, 510, 600},
        {600, 300, 120, 0, 300},        // counted past the new start: due now
        {600, 480, 120, 0, 120}, {120, 0, 600, 480, 600},
        {65535, 65000, 6000, 5465, 6000}, {6000, 1, 65535, 59536, 65535},   // saturated starts
        {60, 90, 120, 120, 120},        // above its start: nothing counted
    };
    for (const auto& row : rows) {
        uint16_t start = row.start;
        EXPECT_EQ(row.moved, MoveCountdown(&start, row.left, row.newStart)) << row.start << " " << row.left;
        EXPECT_EQ(row.movedStart, start) << row.start << " " << row.left;
    }
    // Pulled and put back before the next tick: the first countdown again.
    uint16_t start = 600;
    EXPECT_EQ(300, MoveCountdown(&start, MoveCountdown(&start, 300, 120), 600));
}

} // namespace
