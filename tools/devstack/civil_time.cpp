#include "tools/devstack/civil_time.h"

#include <cctype>
#include <cstdio>
#include <ctime>

// Howard Hinnant's days_from_civil / civil_from_days.
int64_t daysFromCivil(const CivilDate& date) {
    const int64_t y = date.year - (date.month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (date.month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + date.day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(int64_t days) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    CivilDate date;
    date.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    date.year = static_cast<int>(yoe + era * 400 + (date.month <= 2 ? 1 : 0));
    return date;
}

namespace {

bool digitsAt(const std::string& text, size_t pos, size_t count, int& value) {
    if (pos + count > text.size()) return false;
    value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

int monthLength(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Seconds since 1970 of 01:00 UTC on the last Sunday of a month.
int64_t lastSundayOneUtc(int year, int month) {
    const int64_t last = daysFromCivil({year, month, monthLength(year, month)});
    const int64_t weekday = ((last % 7) + 7 + 4) % 7;  // 1970-01-01 was a Thursday; 0 = Sunday
    return (last - weekday) * 86400 + 3600;
}

} // namespace

bool parseIsoDate(const std::string& text, CivilDate& date) {
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
    if (!digitsAt(text, 0, 4, date.year) || !digitsAt(text, 5, 2, date.month) || !digitsAt(text, 8, 2, date.day)) {
        return false;
    }
    return date.month >= 1 && date.month <= 12 && date.day >= 1 && date.day <= monthLength(date.year, date.month);
}

bool parseIsoDateTime(const std::string& text, CivilDate& date, int& minuteOfDay) {
    int hour = 0, minute = 0;
    if (!parseIsoDate(text, date) || text.size() < 16 || (text[10] != 'T' && text[10] != ' ') || text[13] != ':') {
        return false;
    }
    if (!digitsAt(text, 11, 2, hour) || !digitsAt(text, 14, 2, minute) || hour > 23 || minute > 59) return false;
    minuteOfDay = hour * 60 + minute;
    return true;
}

std::string formatIsoDate(const CivilDate& date) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

int parisOffsetSeconds(int64_t utcSeconds) {
    const int year = civilFromDays(utcSeconds >= 0 ? utcSeconds / 86400 : (utcSeconds - 86399) / 86400).year;
    const bool summer = utcSeconds >= lastSundayOneUtc(year, 3) && utcSeconds < lastSundayOneUtc(year, 10);
    return summer ? 7200 : 3600;
}

int64_t parisLocalToUtc(int64_t localSeconds) {
    const int64_t asSummer = localSeconds - 7200;
    if (parisOffsetSeconds(asSummer) == 7200) return asSummer;
    return localSeconds - 3600;
}

CivilDate parisToday() {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    const int64_t local = now + parisOffsetSeconds(now);
    return civilFromDays(local >= 0 ? local / 86400 : (local - 86399) / 86400);
}
