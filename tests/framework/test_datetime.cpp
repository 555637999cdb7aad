// CTime calendar conversions and CTimeSpan parts.
#include "framework/core.h"

#include <gtest/gtest.h>

TEST(CTime, CalendarRoundTripAndSpans)
{
    const CTime t(2024, 2, 29, 23, 59, 58);
    EXPECT_EQ(t.GetYear(), 2024);
    EXPECT_EQ(t.GetMonth(), 2);
    EXPECT_EQ(t.GetDay(), 29);
    EXPECT_EQ(t.GetHour(), 23);
    EXPECT_EQ(t.GetMinute(), 59);
    EXPECT_EQ(t.GetSecond(), 58);
    EXPECT_EQ(t.GetDayOfWeek(), 5); // a Thursday; 1 is Sunday
    EXPECT_STREQ(t.Format("%Y-%m-%d %H:%M:%S"), "2024-02-29 23:59:58");

    const CTime later = t + CTimeSpan(1, 2, 3, 4);
    EXPECT_EQ(later.GetDay(), 2); // into March
    const CTimeSpan span = later - t;
    EXPECT_EQ(span.GetTotalSeconds(), 93784);
    EXPECT_EQ(span.GetDays(), 1);
    EXPECT_EQ(span.GetHours(), 2);
    EXPECT_EQ(span.GetMinutes(), 3);
    EXPECT_EQ(span.GetSeconds(), 4);
    EXPECT_LT(t, later);
    EXPECT_STREQ(CTime(0).FormatGmt("%Y%m%d%H%M%S"), "19700101000000");
}
