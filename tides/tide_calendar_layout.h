// Numbers and texts of the calendar window that do not need the UI toolkit:
// colours, column geometry, cell contents, legend.
#pragma once

#include "tides/tide_calendar.h"

#include <string>

struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

// Neap tides (20) blue-grey, through green (53) and orange (86), to spring
// tides (120) red; below 1 (no high water) a dark grey.
Rgba coefficientColor(int coefficient);

// "Janvier".."Decembre" for 1..12, empty otherwise.
const char* calendarMonthName(int month);
// "Lu".."Di" for 0..6 (Monday first).
const char* calendarWeekdayHeader(int column);
// "Decembre 2026".
std::string calendarTitle(int year, int month);

// Content width, 400 when the toolkit gives something outside 20..4000.
float calendarAvailWidth(float avail);
// Width of one day column, 54 when outside 8..400.
float calendarColumnWidth(float avail);
// Left edge of column c.
float calendarColumnX(int column, float columnWidth);

// Grid place of a day of the month, given the column of day 1.
void calendarCellPlace(int firstColumn, int day, int& column, int& row);

// The value that colours a day: the mean of both coefficients when both
// exist, else the one there is; 0 when none.
int dayCellValue(int morning, int afternoon);
// The dimmed cell background (a third of each channel, alpha 200); false
// when the day has no coefficient.
bool dayCellBackground(int morning, int afternoon, Rgba& colour);
// "am  pm", or the single value, coloured by the larger; false when none.
bool dayCoefficientLabel(int morning, int afternoon, std::string& text, Rgba& colour);

enum class DayOutline { none, today, selected };
DayOutline dayOutline(const TideCalendar& calendar, int day, int todayYear, int todayMonth, int todayDay);

// Legend bar: width clamp(avail - 20, 40, 1000), and the coefficient drawn
// in pixel column i.
float legendBarWidth(float avail);
int legendCoefficient(int column, float barWidth);

// "06/12/2026" of the selected date.
std::string formatSelectedDate(const TideCalendar& calendar);
