// The month of tide coefficients shown by the calendar window, and what
// happens when a day is picked. Drawing lives with the window; this is the state.
#pragma once

#include "tides/tide_state.h"

#include <string>
#include <vector>

struct TideCalendar {
    bool tideCalendarOpen = false;
    int year = 0;
    int month = 0;
    int selectedDay = 0;  // 0 = none
    int selectedMonth = 0;
    int selectedYear = 0;
    bool initialized = false;
    std::vector<DayCoefficients> days;
    int loadedMonth = 0;
    int loadedYear = 0;
    std::string loadedSite;
    bool loaded = false;       // a request was made for the displayed month
    bool loadFailed = false;
    bool outOfWindow = false;  // the month lies wholly outside J-30/J+30
    std::string siteId;
    std::string apiKey;
};

struct CalendarPick {
    bool picked = false;
    std::string date;  // "%04d-%02d-%02d"
};

// A new terrain: back to today's month at the next display, nothing loaded.
void resetCalendar(TideCalendar& calendar);
// Storing a different key or site drops the loaded month.
void setCalendarKey(TideCalendar& calendar, const std::string& key);
void setCalendarSite(TideCalendar& calendar, const std::string& siteId);
// Both from the tide state (the view loop does it every frame).
void syncCalendar(TideCalendar& calendar, const TideState& state);

// Requests the displayed month's coefficients unless they are the last ones
// loaded; a month outside the service's window is marked, never requested.
void ensureMonthLoaded(TideCalendar& calendar);

// First display: today's month and today selected; then a displayed month or
// year out of range is brought back (January, 2026).
void initCalendarDisplay(TideCalendar& calendar, int todayYear, int todayMonth, int todayDay);

// The arrows: one month back (-1) or forward (+1), across years.
void stepCalendarMonth(TideCalendar& calendar, int direction);

// A click on day `day` of the displayed month: it becomes the selected date.
CalendarPick pickCalendarDay(TideCalendar& calendar, int day);

// What the view loop does with a pick: load that day's curve and open the
// tide window, when the reference port is known. True when it did.
bool applyCalendarPick(TideState& state, const CalendarPick& pick);

// "Réessayer": the next frame requests the month again.
void retryCalendarMonth(TideCalendar& calendar);

// The record of `day` in the loaded month, or nullptr.
const DayCoefficients* findCalendarDay(const TideCalendar& calendar, int day);

// What the calendar shows under the grid.
enum class CalendarFooter {
    nothing,
    outOfWindow,   // "Coefficients disponibles de J-30 à J+30 uniquement" + API limit line
    failed,        // "Coefficients indisponibles." + "Réessayer"
    waitingPort,   // "En attente du port de référence..."
    legend,        // colour legend of the coefficients
};
CalendarFooter calendarFooter(const TideCalendar& calendar);
