#include "tides/tide_calendar.h"

#include "tides/tide_client.h"
#include "tides/tide_dates.h"

#include <exception>
#include <iostream>

void resetCalendar(TideCalendar& calendar) {
    calendar.days.clear();
    calendar.loaded = false;
    calendar.loadedSite.clear();
    calendar.loadedMonth = 0;
    calendar.outOfWindow = false;
    calendar.initialized = false;
}

void setCalendarKey(TideCalendar& calendar, const std::string& key) {
    if (calendar.apiKey == key) return;
    calendar.apiKey = key;
    calendar.days.clear();
    calendar.loaded = false;
}

void setCalendarSite(TideCalendar& calendar, const std::string& siteId) {
    if (calendar.siteId == siteId) return;
    calendar.siteId = siteId;
    calendar.days.clear();
    calendar.loaded = false;
}

void syncCalendar(TideCalendar& calendar, const TideState& state) {
    setCalendarKey(calendar, state.apiKey);
    setCalendarSite(calendar, state.siteId);
}

void ensureMonthLoaded(TideCalendar& calendar) {
    if (calendar.siteId.empty() || calendar.apiKey.empty() || calendar.month < 1 || calendar.month > 12) return;
    if (calendar.loaded && calendar.loadedMonth == calendar.month && calendar.loadedYear == calendar.year &&
        calendar.loadedSite == calendar.siteId) {
        return;
    }
    calendar.loaded = true;
    calendar.loadedMonth = calendar.month;
    calendar.loadedYear = calendar.year;
    calendar.loadedSite = calendar.siteId;
    calendar.days.clear();
    calendar.loadFailed = false;
    calendar.outOfWindow = false;

    if (!monthInWindow(calendar.year, calendar.month)) {
        calendar.outOfWindow = true;
        calendar.loadFailed = true;
        return;
    }
    std::vector<DayCoefficients> days;
    bool ok = false;
    try {
        ok = fetchMonthCoeffs(calendar.apiKey, calendar.siteId, calendar.year, calendar.month, days);
    } catch (const std::exception& e) {
        std::cerr << "fetchMonthCoeffs a leve une exception : " << e.what() << std::endl;
    }
    if (ok && !days.empty() && days.size() <= 31) {
        calendar.days = std::move(days);
        std::cout << "Coefficients charges pour " << calendar.month << "/" << calendar.year << " ("
                  << calendar.days.size() << " jours)" << std::endl;
    } else {
        calendar.loadFailed = true;
        std::cerr << "Echec chargement coefficients " << calendar.month << "/" << calendar.year << std::endl;
    }
}

void initCalendarDisplay(TideCalendar& calendar, int todayYear, int todayMonth, int todayDay) {
    if (!calendar.initialized) {
        calendar.year = todayYear;
        calendar.month = todayMonth;
        calendar.selectedYear = todayYear;
        calendar.selectedMonth = todayMonth;
        calendar.selectedDay = todayDay;
        calendar.initialized = true;
    }
    // A month or year out of range shows today's instead (a fixed year would
    // soon leave the service's window).
    if (calendar.month < 1 || calendar.month > 12) calendar.month = todayMonth;
    if (calendar.year < 1900 || calendar.year > 2100) calendar.year = todayYear;
}

void stepCalendarMonth(TideCalendar& calendar, int direction) {
    calendar.month += direction < 0 ? -1 : 1;
    if (calendar.month < 1) {
        calendar.month = 12;
        --calendar.year;
    } else if (calendar.month > 12) {
        calendar.month = 1;
        ++calendar.year;
    }
}

CalendarPick pickCalendarDay(TideCalendar& calendar, int day) {
    calendar.selectedDay = day;
    calendar.selectedMonth = calendar.month;
    calendar.selectedYear = calendar.year;
    return {true, formatDate(calendar.year, calendar.month, day)};
}

bool applyCalendarPick(TideState& state, const CalendarPick& pick) {
    if (!pick.picked || state.siteId[0] == '\0') return false;
    loadTideForDate(state, pick.date);
    state.tidePanelOpen = true;
    return true;
}

void retryCalendarMonth(TideCalendar& calendar) {
    calendar.loaded = false;
    calendar.loadFailed = false;
}

const DayCoefficients* findCalendarDay(const TideCalendar& calendar, int day) {
    for (const DayCoefficients& record : calendar.days) {
        if (record.day == day) return &record;
    }
    return nullptr;
}

CalendarFooter calendarFooter(const TideCalendar& calendar) {
    if (!calendar.days.empty()) return CalendarFooter::legend;
    if (calendar.outOfWindow) return CalendarFooter::outOfWindow;
    if (calendar.loadFailed) return CalendarFooter::failed;
    if (calendar.siteId.empty()) return CalendarFooter::waitingPort;
    return CalendarFooter::nothing;
}
