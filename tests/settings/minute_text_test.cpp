// Minute counts as typed into the setup dialog's edit fields.
#include <gtest/gtest.h>

#include "settings/minute_text.h"

namespace {

TEST(MinuteText, LeadingDigitsCount)
{
    struct Row {
        int line;
        const char* text;
        uint16_t count;
    } rows[] = {
        {__LINE__, "30", 30},
        {__LINE__, "0", 0},
        {__LINE__, "", 0},
        {__LINE__, "abc", 0},
        {__LINE__, "  42", 42},
        {__LINE__, "\t7", 7},
        {__LINE__, "12abc", 12},
        {__LINE__, "1 2", 1},
        {__LINE__, "-5", 0},
        {__LINE__, "+5", 0},
        {__LINE__, "007", 7},
        {__LINE__, "65535", 65535},
        {__LINE__, "65536", 65535},
        {__LINE__, "70000", 65535},
        {__LINE__, "99999999999999999999", 65535},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row at line " << row.line);
        EXPECT_EQ(row.count, ParseMinuteCount(row.text));
    }
}

} // namespace
