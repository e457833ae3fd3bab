// The logo's drawn size on screens at 100 % and scaled.
#include <gtest/gtest.h>

#include "saver/logo_size.h"

namespace {

TEST(LogoSize, ScaledByTheScreensDpiOver96)
{
    const struct {
        int line;
        int32_t width, height;
        uint32_t dpi;
        LogoSize drawn;
    } rows[] = {
        {__LINE__, 128, 85, 96, {128, 85}},     // 100 %: the bitmap's own size
        {__LINE__, 128, 85, 120, {160, 106}},   // 125 %: 106.25 rounds down
        {__LINE__, 128, 85, 144, {192, 128}},   // 150 %: 127.5 rounds up
        {__LINE__, 128, 85, 192, {256, 170}},   // 200 %
        {__LINE__, 128, 85, 0, {128, 85}},      // DPI not known
        {__LINE__, 0, -5, 192, {0, 0}},         // no bitmap loaded
        {__LINE__, 0x7FFFFFFF, 1, 0xFFFFFFFFu, {0x7FFFFFFF, 44739243}},   // no overflow
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        const LogoSize drawn = LogoSizeForDpi(row.width, row.height, row.dpi);
        EXPECT_EQ(row.drawn.width, drawn.width);
        EXPECT_EQ(row.drawn.height, drawn.height);
    }
}

} // namespace
