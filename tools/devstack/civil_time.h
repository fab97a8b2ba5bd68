// Calendar arithmetic for the tide stand-in: UTC instants as seconds since
// 1970, dates without a time-zone database (Europe/Paris rules built in).
#pragma once

#include <cstdint>
#include <string>

struct CivilDate {
    int year = 1970;
    int month = 1;
    int day = 1;
};

// Days since 1970-01-01 of a proleptic Gregorian date, and back.
int64_t daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(int64_t days);

// "2026-12-06" or "2026-12-06T07:30" (seconds and a trailing zone are
// ignored); false unless the text starts with a valid date (and time).
bool parseIsoDate(const std::string& text, CivilDate& date);
bool parseIsoDateTime(const std::string& text, CivilDate& date, int& minuteOfDay);

std::string formatIsoDate(const CivilDate& date);

// Offset of Europe/Paris at a UTC instant: 3600 in winter, 7200 from the
// last Sunday of March to the last Sunday of October (01:00 UTC both).
int parisOffsetSeconds(int64_t utcSeconds);
// The UTC instant of a Paris wall-clock time (seconds since 1970 of the
// local reading); the earlier reading wins in the autumn's repeated hour.
int64_t parisLocalToUtc(int64_t localSeconds);
// Today's date in Paris.
CivilDate parisToday();
