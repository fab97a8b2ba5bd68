#include "tides/tide_dates.h"

#include <gtest/gtest.h>

#include <array>

TEST(TideDates, DaysInMonthAndFirstWeekday) {
    for (const auto& [year, month, days] : std::vector<std::array<int, 3>>{
             {2026, 1, 31}, {2026, 4, 30}, {2026, 2, 28}, {2028, 2, 29}, {2100, 2, 28}, {2000, 2, 29}, {2026, 0, 0},
             {2026, 13, 0}})
        EXPECT_EQ(daysInMonth(year, month), days) << year << "-" << month;
    // Monday is column 0: Sunday 1 February 2026, Monday 1 June, Tuesdays 1 December and 1 February 2028.
    for (const auto& [year, month, column] : std::vector<std::array<int, 3>>{
             {2026, 2, 6}, {2026, 6, 0}, {2026, 12, 1}, {2028, 2, 1}})
        EXPECT_EQ(firstWeekdayColumn(year, month), column) << year << "-" << month;
}

TEST(TideDates, LocalNoonAndFormat) {
    const std::time_t noon = localNoon(2026, 12, 6);
    std::tm t{};
    localtime_r(&noon, &t);
    EXPECT_EQ(t.tm_hour, 12);
    EXPECT_EQ(t.tm_mday, 6);
    EXPECT_EQ(localNoon(2026, 12, 7) - noon, 86400);
    EXPECT_EQ(formatDate(2026, 3, 9), "2026-03-09");
}

TEST(TideDates, MonthWindow) {
    // Month, then today, whether the month meets today's J-30/J+30. February 2027
    // starts 29 days after 3 January, 31 after 1 January; December 2026 ends 29 days
    // before 30 January, 31 before 1 February; 2100 is the last year served.
    const struct { int year, month, todayYear, todayMonth, todayDay; bool in; } cases[] = {
        {2027, 2, 2027, 1, 3, true},   {2027, 2, 2027, 1, 1, false},    {2026, 12, 2027, 1, 30, true},
        {2026, 12, 2027, 2, 1, false}, {2027, 1, 2027, 1, 15, true},    {2027, 13, 2027, 1, 15, false},
        {1899, 12, 1900, 1, 1, false}, {2100, 12, 2100, 12, 15, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(monthInWindowAround(c.year, c.month, localNoon(c.todayYear, c.todayMonth, c.todayDay)), c.in)
            << c.year << "-" << c.month << " around " << c.todayYear << "-" << c.todayMonth << "-" << c.todayDay;

    const LocalDate today = todayLocal();
    EXPECT_TRUE(monthInWindow(today.year, today.month));
    EXPECT_FALSE(monthInWindow(today.year + 1, today.month));

    // The days of a month inside the window around 6 December 2026.
    for (const auto& [year, month, first, last] : std::vector<std::array<int, 4>>{
             {2026, 11, 6, 30}, {2027, 1, 1, 5}, {2026, 12, 1, 31}}) {
        int from = 0, to = 0;
        ASSERT_TRUE(daysInWindow(year, month, localNoon(2026, 12, 6), from, to)) << month;
        EXPECT_EQ(from, first);
        EXPECT_EQ(to, last);
    }
    int from = 0, to = 0;
    EXPECT_FALSE(daysInWindow(2026, 10, localNoon(2026, 12, 6), from, to));
    // Around 2 December the window ends on the first of January.
    ASSERT_TRUE(daysInWindow(2027, 1, localNoon(2026, 12, 2), from, to));
    EXPECT_EQ(std::pair(from, to), std::pair(1, 1));
}
