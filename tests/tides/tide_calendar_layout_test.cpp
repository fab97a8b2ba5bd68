#include "tides/tide_calendar_layout.h"
#include "tides/tide_dates.h"

#include <gtest/gtest.h>

#include <array>

// From blue for the weakest tides to red for the strongest, the red rising all
// the way; out-of-range values take the nearest end; no value, its own grey.
TEST(TideCalendarLayout, CoefficientColours) {
    const Rgba weak = coefficientColor(20), strong = coefficientColor(120), none = coefficientColor(0);
    EXPECT_GT(weak.b, weak.r);
    EXPECT_GT(strong.r, 2 * strong.b);
    for (int c = 20; c < 120; ++c) EXPECT_LE(coefficientColor(c).r, coefficientColor(c + 1).r) << c;
    EXPECT_EQ(coefficientColor(1), weak);
    EXPECT_EQ(coefficientColor(500), strong);
    EXPECT_NE(weak, none);
}

TEST(TideCalendarLayout, Columns) {
    EXPECT_EQ(calendarTitle(2026, 12), "Decembre 2026");
    EXPECT_FLOAT_EQ(calendarColumnWidth(532.0f), 74.0f);
    EXPECT_FLOAT_EQ(calendarColumnWidth(20.0f), 54.0f);
    EXPECT_FLOAT_EQ(calendarAvailWidth(5000.0f), 400.0f);

    // A month starting on Sunday: day 1 in the seventh column, day 2 on the next row.
    int column = 0, row = 0;
    calendarCellPlace(firstWeekdayColumn(2026, 2), 1, column, row);
    EXPECT_EQ(std::pair(column, row), std::pair(6, 0));
    calendarCellPlace(firstWeekdayColumn(2026, 2), 2, column, row);
    EXPECT_EQ(std::pair(column, row), std::pair(0, 1));
}

TEST(TideCalendarLayout, DayCells) {
    EXPECT_EQ(std::vector<int>({dayCellValue(70, 85), dayCellValue(0, 90), dayCellValue(0, 0)}),
              (std::vector<int>{77, 90, 0}));

    Rgba colour;
    ASSERT_TRUE(dayCellBackground(86, 86, colour));  // the day's colour, dimmed and see-through
    const Rgba full = coefficientColor(86);
    EXPECT_TRUE(colour.r < full.r && colour.g < full.g && colour.b < full.b && colour.a < 255);
    EXPECT_GT(colour.r, colour.b);
    EXPECT_FALSE(dayCellBackground(0, 0, colour));

    std::string text;
    ASSERT_TRUE(dayCoefficientLabel(70, 85, text, colour));
    EXPECT_EQ(std::pair(text, colour), std::pair(std::string("70  85"), coefficientColor(85)));
    ASSERT_TRUE(dayCoefficientLabel(0, 53, text, colour));  // only an afternoon high water
    EXPECT_EQ(std::pair(text, colour), std::pair(std::string("53"), coefficientColor(53)));
    EXPECT_FALSE(dayCoefficientLabel(0, 0, text, colour));

    // The legend bar clamped to 40..1000 pixels, and the coefficient of its first, middle and last pixels.
    EXPECT_EQ(std::vector<float>({legendBarWidth(520.0f), legendBarWidth(30.0f), legendBarWidth(3000.0f)}),
              (std::vector<float>{500, 40, 1000}));
    EXPECT_EQ(std::vector<int>(
                  {legendCoefficient(0, 500.0f), legendCoefficient(250, 500.0f), legendCoefficient(499, 500.0f)}),
              (std::vector<int>{20, 70, 119}));
}

TEST(TideCalendarLayout, NavigationAndSelection) {
    TideCalendar calendar;
    initCalendarDisplay(calendar, 2026, 12, 6);
    EXPECT_EQ(std::tuple(calendar.year, calendar.month, calendar.selectedDay), std::tuple(2026, 12, 6));
    EXPECT_EQ(dayOutline(calendar, 6, 2026, 12, 6), DayOutline::selected);

    // Across the year's end both ways, and back a whole year.
    for (const auto& [steps, direction, year, month] : std::vector<std::array<int, 4>>{
             {1, +1, 2027, 1}, {2, -1, 2026, 11}, {11, -1, 2025, 12}}) {
        for (int i = 0; i < steps; ++i) stepCalendarMonth(calendar, direction);
        EXPECT_EQ(std::pair(calendar.year, calendar.month), std::pair(year, month));
    }

    calendar.year = 2026;  // December again
    const CalendarPick pick = pickCalendarDay(calendar, 24);
    EXPECT_EQ(std::pair(pick.picked, pick.date), std::pair(true, std::string("2026-12-24")));
    EXPECT_EQ(formatSelectedDate(calendar), "24/12/2026");
    EXPECT_EQ(std::vector<DayOutline>({dayOutline(calendar, 24, 2026, 12, 6), dayOutline(calendar, 6, 2026, 12, 6),
                                       dayOutline(calendar, 7, 2026, 12, 6)}),
              (std::vector<DayOutline>{DayOutline::selected, DayOutline::today, DayOutline::none}));

    // Already initialised: only out-of-range values are brought back, to today's.
    calendar.month = 13;
    calendar.year = 1800;
    initCalendarDisplay(calendar, 2027, 5, 1);
    EXPECT_EQ(std::tuple(calendar.year, calendar.month, calendar.selectedDay), std::tuple(2027, 5, 24));
}

TEST(TideCalendarLayout, StateChanges) {
    TideCalendar calendar;
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::waitingPort);
    setCalendarKey(calendar, "k");
    setCalendarSite(calendar, "brest");
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::nothing);
    calendar.days = {{6, 70, 85}};
    calendar.loaded = true;
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::legend);
    ASSERT_NE(findCalendarDay(calendar, 6), nullptr);
    EXPECT_EQ(findCalendarDay(calendar, 6)->afternoon, 85);
    EXPECT_EQ(findCalendarDay(calendar, 7), nullptr);

    setCalendarSite(calendar, "brest");  // same site: the month stays
    EXPECT_TRUE(calendar.loaded);
    setCalendarSite(calendar, "roscoff");
    EXPECT_FALSE(calendar.loaded);
    EXPECT_TRUE(calendar.days.empty());

    calendar.loaded = calendar.loadFailed = true;
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::failed);
    calendar.outOfWindow = true;
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::outOfWindow);
    retryCalendarMonth(calendar);
    EXPECT_EQ(std::pair(calendar.loaded, calendar.loadFailed), std::pair(false, false));

    calendar.initialized = true;
    calendar.loadedMonth = 12;
    calendar.loadedSite = "roscoff";
    resetCalendar(calendar);
    EXPECT_EQ(std::tuple(calendar.initialized, calendar.outOfWindow, calendar.loadedMonth, calendar.loadedSite),
              std::tuple(false, false, 0, std::string()));
    EXPECT_EQ(calendar.siteId, "roscoff");  // the port and key stay until handed new ones
}
