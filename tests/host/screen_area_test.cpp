// The rectangle a saver window covers, from the virtual screen's four metrics.
#include <gtest/gtest.h>

#include "host/screen_area.h"

namespace {

TEST(VirtualScreenArea, CoversTheMetricsWhereverTheCornerLies)
{
    const struct {
        int line;
        int32_t left, top, width, height;
        ScreenArea area;
    } rows[] = {
        {__LINE__, 0, 0, 1024, 768, {0, 0, 1024, 768}},
        // A monitor left of the primary one, and one above it.
        {__LINE__, -1280, 0, 2304, 1024, {-1280, 0, 1024, 1024}},
        {__LINE__, -800, -600, 1824, 1368, {-800, -600, 1024, 768}},
        // Metrics that could not be read give nothing to cover.
        {__LINE__, -800, -600, 0, 1368, {-800, -600, -800, -600}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        ScreenArea area = VirtualScreenArea(row.left, row.top, row.width, row.height);
        EXPECT_EQ(row.area.left, area.left);
        EXPECT_EQ(row.area.top, area.top);
        EXPECT_EQ(row.area.right, area.right);
        EXPECT_EQ(row.area.bottom, area.bottom);
    }
}

} // namespace
