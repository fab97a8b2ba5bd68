// Calendar helpers of the tide subsystem; all dates are local calendar dates.
#pragma once

#include <ctime>
#include <string>

struct LocalDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

// Days of a Gregorian month, 0 for a month outside 1..12.
int daysInMonth(int year, int month);

// Local 12:00:00 of that date (daylight saving left to the C library);
// -1 when the C library cannot represent it.
std::time_t localNoon(int year, int month, int day);

LocalDate todayLocal();
// Hours since local midnight now, e.g. 14.5 at 14:30.
float localClockHour();

std::string formatDate(int year, int month, int day);  // "%04d-%02d-%02d"

// The service serves coefficients from 30 days before to 30 days after today.
inline constexpr std::time_t kCoefficientWindowSeconds = 2592000;

// True when the month shares at least one day with today's window.
bool monthInWindow(int year, int month);
// The same around a given "today" (local noon of the day that counts as today).
bool monthInWindowAround(int year, int month, std::time_t todayNoon);

// The month's days inside the window around todayNoon: first and last day,
// false when none is.
bool daysInWindow(int year, int month, std::time_t todayNoon, int& firstDay, int& lastDay);

// Column of the month's first day in a Monday-first week (0 = Monday, 6 = Sunday).
int firstWeekdayColumn(int year, int month);
