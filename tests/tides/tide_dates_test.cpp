#include "tides/tide_dates.h"

#include <gtest/gtest.h>

TEST(TideDates, DaysInMonth) {
    EXPECT_EQ(daysInMonth(2026, 1), 31);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 2), 28);
    EXPECT_EQ(daysInMonth(2028, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2000, 2), 29);
    EXPECT_EQ(daysInMonth(2026, 0), 0);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
}

TEST(TideDates, LocalNoonAndFormat) {
    const std::time_t noon = localNoon(2026, 12, 6);
    std::tm t{};
    localtime_r(&noon, &t);
    EXPECT_EQ(t.tm_hour, 12);
    EXPECT_EQ(t.tm_mday, 6);
    EXPECT_EQ(localNoon(2026, 12, 7) - noon, 86400);
    EXPECT_EQ(formatDate(2026, 3, 9), "2026-03-09");

    const LocalDate today = todayLocal();
    EXPECT_GE(today.year, 2024);
    EXPECT_GE(localClockHour(), 0.0f);
    EXPECT_LT(localClockHour(), 24.0f);
}

TEST(TideDates, MonthWindow) {
    // February 2027 starts 29 days after 3 January (in the window), 31 days after 1 January (not).
    EXPECT_TRUE(monthInWindowAround(2027, 2, localNoon(2027, 1, 3)));
    EXPECT_FALSE(monthInWindowAround(2027, 2, localNoon(2027, 1, 1)));
    // December 2026 ends 29 days before 30 January, 31 days before 1 February.
    EXPECT_TRUE(monthInWindowAround(2026, 12, localNoon(2027, 1, 30)));
    EXPECT_FALSE(monthInWindowAround(2026, 12, localNoon(2027, 2, 1)));
    EXPECT_TRUE(monthInWindowAround(2027, 1, localNoon(2027, 1, 15)));
    EXPECT_FALSE(monthInWindowAround(2027, 13, localNoon(2027, 1, 15)));
    EXPECT_FALSE(monthInWindowAround(1899, 12, localNoon(1900, 1, 1)));
    EXPECT_TRUE(monthInWindowAround(2100, 12, localNoon(2100, 12, 15)));  // the last year served

    const LocalDate today = todayLocal();
    EXPECT_TRUE(monthInWindow(today.year, today.month));
    EXPECT_FALSE(monthInWindow(today.year + 1, today.month));

    int first = 0, last = 0;
    ASSERT_TRUE(daysInWindow(2026, 11, localNoon(2026, 12, 6), first, last));
    EXPECT_EQ(first, 6);
    EXPECT_EQ(last, 30);
    ASSERT_TRUE(daysInWindow(2027, 1, localNoon(2026, 12, 6), first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 5);
    ASSERT_TRUE(daysInWindow(2026, 12, localNoon(2026, 12, 6), first, last));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 31);
    EXPECT_FALSE(daysInWindow(2026, 10, localNoon(2026, 12, 6), first, last));
}

TEST(TideDates, FirstWeekdayColumn) {
    EXPECT_EQ(firstWeekdayColumn(2026, 2), 6);   // Sunday 1 February 2026: seventh column
    EXPECT_EQ(firstWeekdayColumn(2026, 6), 0);   // Monday
    EXPECT_EQ(firstWeekdayColumn(2026, 12), 1);  // Tuesday
    EXPECT_EQ(firstWeekdayColumn(2028, 2), 1);   // Tuesday
}
