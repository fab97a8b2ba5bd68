// Reading the tide service's answers. Each parser logs its own French error
// line and returns false on a malformed document; nothing is thrown.
#pragma once

#include "tides/tide_state.h"

#include <string>
#include <vector>

// "le_havre" -> "Le-Havre": '-' and '_' become '-', words start upper-case.
std::string prettifySiteId(const std::string& id);

// Appends the sites of a /sites answer ("Erreur JSON /sites : " on failure).
bool parseSites(const std::string& body, std::vector<TideSite>& sites);

// Appends the points of a /water-levels answer ("Erreur JSON /water-levels : "
// on failure; points read before the fault stay). No "data" = no points, true.
bool parseWaterLevels(const std::string& body, std::vector<WaterLevelSample>& samples);

// Hour of day from an ISO 8601 date and time ("2026-12-06T07:30..." -> 7.5);
// 0.0 for a text shorter than 16 characters. False when the hour or minute
// digits cannot be read.
bool parseSampleHour(const std::string& time, float& hour);

// Whole hour at the start of an extremum's "HH:MM" (0 when unreadable).
int parseLeadingHour(const std::string& time);

// A coefficient rounded half away from zero; false when it is not a usable
// value (below 1 after rounding, or not finite / beyond an int).
bool roundCoefficient(double coef, int& value);

struct HighWater {
    int hour = 0;
    int coefficient = 0;
};

// One day's record from its high waters: with two or more, the earliest gives
// the morning and the latest the afternoon value; a single one counts as
// morning before 12:00, else afternoon. False for a day without high water.
bool dayFromHighWaters(int day, std::vector<HighWater> highWaters, DayCoefficients& result);

enum class ExtremaParse {
    ok,          // records appended (maybe none)
    unexpected,  // no "data" array: "Coefficients : reponse inattendue : " logged
    jsonError,   // "Erreur JSON /tide-extrema : " logged
};

// Appends one record per day of a /tide-extrema answer that has a usable high water.
ExtremaParse parseTideExtrema(const std::string& body, std::vector<DayCoefficients>& days);
