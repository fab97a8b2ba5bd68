#include "tides/tide_calendar_layout.h"

#include <algorithm>
#include <cstdio>

namespace {

int channel(float value) { return std::clamp(static_cast<int>(value), 0, 255); }

} // namespace

Rgba coefficientColor(int coefficient) {
    if (coefficient < 1) return {40, 45, 55, 255};
    const float t = std::clamp((static_cast<float>(coefficient) - 20.0f) / 100.0f, 0.0f, 1.0f);
    float r, g, b;
    if (t < 0.33f) {
        const float u = t / 0.33f;
        r = 80 + 40 * u, g = 140 + 60 * u, b = 180 - 40 * u;
    } else if (t < 0.66f) {
        const float u = (t - 0.33f) / 0.33f;
        r = 120 + 100 * u, g = 200 - 40 * u, b = 140 - 80 * u;
    } else {
        const float u = (t - 0.66f) / 0.34f;
        r = 220 + 30 * u, g = 160 - 100 * u, b = 60 - 30 * u;
    }
    return {channel(r), channel(g), channel(b), 255};
}

const char* calendarMonthName(int month) {
    static const char* names[12] = {"Janvier", "Fevrier", "Mars",      "Avril",   "Mai",      "Juin",
                                    "Juillet", "Aout",    "Septembre", "Octobre", "Novembre", "Decembre"};
    return month >= 1 && month <= 12 ? names[month - 1] : "";
}

const char* calendarWeekdayHeader(int column) {
    static const char* names[7] = {"Lu", "Ma", "Me", "Je", "Ve", "Sa", "Di"};
    return column >= 0 && column < 7 ? names[column] : "";
}

std::string calendarTitle(int year, int month) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %d", calendarMonthName(month), year);
    return text;
}

float calendarAvailWidth(float avail) { return avail >= 20.0f && avail <= 4000.0f ? avail : 400.0f; }

float calendarColumnWidth(float avail) {
    const float width = (avail - 14.0f) / 7.0f;
    return width >= 8.0f && width <= 400.0f ? width : 54.0f;
}

float calendarColumnX(int column, float columnWidth) { return static_cast<float>(column) * columnWidth + 7.0f; }

void calendarCellPlace(int firstColumn, int day, int& column, int& row) {
    const int index = firstColumn + day - 1;
    column = index % 7;
    row = index / 7;
}

int dayCellValue(int morning, int afternoon) {
    if (morning >= 1 && afternoon >= 1) return (morning + afternoon) / 2;
    return std::max(std::max(morning, afternoon), 0);
}

bool dayCellBackground(int morning, int afternoon, Rgba& colour) {
    if (morning < 1 && afternoon < 1) return false;
    const Rgba full = coefficientColor(dayCellValue(morning, afternoon));
    colour = {full.r / 3, full.g / 3, full.b / 3, 200};
    return true;
}

bool dayCoefficientLabel(int morning, int afternoon, std::string& text, Rgba& colour) {
    if (morning < 1 && afternoon < 1) return false;
    const int larger = std::max(morning, afternoon);
    char buffer[32];
    if (morning >= 1 && afternoon >= 1) {
        std::snprintf(buffer, sizeof buffer, "%d  %d", morning, afternoon);
    } else {
        std::snprintf(buffer, sizeof buffer, "%d", larger);
    }
    text = buffer;
    colour = coefficientColor(larger);
    return true;
}

DayOutline dayOutline(const TideCalendar& calendar, int day, int todayYear, int todayMonth, int todayDay) {
    if (calendar.selectedDay == day && calendar.selectedMonth == calendar.month && calendar.selectedYear == calendar.year) {
        return DayOutline::selected;
    }
    if (todayDay == day && todayMonth == calendar.month && todayYear == calendar.year) return DayOutline::today;
    return DayOutline::none;
}

float legendBarWidth(float avail) { return std::clamp(avail - 20.0f, 40.0f, 1000.0f); }

int legendCoefficient(int column, float barWidth) {
    return 20 + static_cast<int>(static_cast<float>(column) / barWidth * 100.0f);
}

std::string formatSelectedDate(const TideCalendar& calendar) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", calendar.selectedDay, calendar.selectedMonth,
                  calendar.selectedYear);
    return text;
}
