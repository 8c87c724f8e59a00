// Durations as days, hours, minutes and seconds.
#include <gtest/gtest.h>

#include <string>

#include "app/util.h"

namespace {

std::string Converted(int seconds)
{
    char text[25];
    int length = ConvertTime(text, sizeof text, seconds);
    EXPECT_EQ(length, (int)std::string(text).size());
    return text;
}

TEST(ConvertTimeTest, FieldsAreRightAlignedDaysHoursMinutesSecondsAndDaysWiden)
{
    EXPECT_EQ(Converted(0), "  0: 0: 0: 0");
    EXPECT_EQ(Converted(86400), "  1: 0: 0: 0");
    EXPECT_EQ(Converted(3599), "  0: 0:59:59");
    EXPECT_EQ(Converted(90061), "  1: 1: 1: 1");
    EXPECT_EQ(Converted(86399), "  0:23:59:59");
    EXPECT_EQ(Converted(1000 * 86400), "1000: 0: 0: 0");
    EXPECT_EQ(Converted(1000 * 86400 + 3661), "1000: 1: 1: 1");
}

TEST(ConvertTimeTest, NeverWritesBeyondTheGivenSize)
{
    char text[8];
    memset(text, 'x', sizeof text);
    ConvertTime(text, 6, 90061);
    EXPECT_STREQ(text, "  1: ");
    EXPECT_EQ(text[6], 'x');
}

} // namespace
