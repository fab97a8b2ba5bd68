#include "tides/tide_dates.h"

#include <cstdio>

int daysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

std::time_t localNoon(int year, int month, int day) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

namespace {

std::tm localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &now);
#else
    localtime_r(&now, &t);
#endif
    return t;
}

} // namespace

LocalDate todayLocal() {
    const std::tm t = localNow();
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday};
}

float localClockHour() {
    const std::tm t = localNow();
    return static_cast<float>(t.tm_hour) + static_cast<float>(t.tm_min) / 60.0f;
}

std::string formatDate(int year, int month, int day) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
    return text;
}

bool monthInWindow(int year, int month) {
    const LocalDate today = todayLocal();
    return monthInWindowAround(year, month, localNoon(today.year, today.month, today.day));
}

bool monthInWindowAround(int year, int month, std::time_t todayNoon) {
    if (month < 1 || month > 12 || year < 1900 || year > 2100) return false;
    const std::time_t first = localNoon(year, month, 1);
    const std::time_t last = localNoon(year, month, daysInMonth(year, month));
    if (first == -1 || last == -1 || todayNoon == -1) return false;
    return last >= todayNoon - kCoefficientWindowSeconds && first <= todayNoon + kCoefficientWindowSeconds;
}

bool daysInWindow(int year, int month, std::time_t todayNoon, int& firstDay, int& lastDay) {
    const int n = daysInMonth(year, month);
    const std::time_t low = todayNoon - kCoefficientWindowSeconds;
    const std::time_t high = todayNoon + kCoefficientWindowSeconds;
    firstDay = n + 1;
    for (int d = 1; d <= n; ++d) {
        const std::time_t noon = localNoon(year, month, d);
        if (noon != -1 && noon >= low) {
            firstDay = d;
            break;
        }
    }
    lastDay = 0;
    for (int d = n; d >= 1; --d) {
        const std::time_t noon = localNoon(year, month, d);
        if (noon != -1 && noon <= high) {
            lastDay = d;
            break;
        }
    }
    return firstDay <= lastDay;
}

int firstWeekdayColumn(int year, int month) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = 1;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    if (std::mktime(&t) == -1) return 0;
    return (t.tm_wday + 6) % 7;
}
