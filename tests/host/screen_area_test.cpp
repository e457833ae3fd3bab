// The rectangle a saver window covers, from the virtual screen's four metrics.
#include <gtest/gtest.h>

#include <vector>

#include "host/screen_area.h"

namespace {

TEST(VirtualScreenArea, CoversTheMetricsWhereverTheCornerLies)
{
    // left, top, width, height → left, top, right, bottom
    const int32_t rows[][8] = {
        {0, 0, 1024, 768, 0, 0, 1024, 768},
        {-1280, 0, 2304, 1024, -1280, 0, 1024, 1024},   // a monitor left of the primary
        {-800, -600, 1824, 1368, -800, -600, 1024, 768}, // ...and one above it
        {-800, -600, 0, 1368, -800, -600, -800, -600},   // a metric that could not be read
    };
    for (const auto& row : rows) {
        ScreenArea area = VirtualScreenArea(row[0], row[1], row[2], row[3]);
        EXPECT_EQ((std::vector<int32_t>{row[4], row[5], row[6], row[7]}),
                  (std::vector<int32_t>{area.left, area.top, area.right, area.bottom}))
            << row[0] << ", " << row[1] << ", " << row[2] << " x " << row[3];
    }
}

} // namespace
