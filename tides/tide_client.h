// The tide prediction service: sites, a day's water levels, a month's
// coefficients, and the operations that fill a TideState from them.
// Every call blocks until the answer (at most 15 s per request).
#pragma once

#include "tides/tide_state.h"

#include <ctime>
#include <string>
#include <vector>

// Request URLs (base = tideServiceUrl()); query values are percent-encoded
// where they hold anything but unreserved characters.
std::string sitesUrl(const std::string& apiKey);
std::string waterLevelsUrl(const std::string& apiKey, const std::string& siteId, const std::string& date, int stepMinutes);
std::string tideExtremaUrl(const std::string& apiKey, const std::string& siteId, const std::string& firstDate,
                           const std::string& lastDate);

bool fetchSites(const std::string& apiKey, std::vector<TideSite>& sites);
// Appends the day's curve (date "%04d-%02d-%02d", UTC); callers clear `samples`.
bool fetchWaterLevels(const std::string& apiKey, const std::string& siteId, const std::string& date, int stepMinutes,
                      std::vector<WaterLevelSample>& samples);
// One record per day with a usable high water, limited to today's J-30/J+30 window.
bool fetchMonthCoeffs(const std::string& apiKey, const std::string& siteId, int year, int month,
                      std::vector<DayCoefficients>& days);
// The same with another day counting as today (its local noon).
bool fetchMonthCoeffsAround(const std::string& apiKey, const std::string& siteId, int year, int month,
                            std::time_t todayNoon, std::vector<DayCoefficients>& days);

// The site with an id nearest to (latitude, longitude) in plain degrees; the
// first listed wins a tie. False when no site has an id.
bool nearestTideSite(const std::vector<TideSite>& sites, double latitude, double longitude, TideSite& nearest);

// Picks the reference port nearest to the state's coordinates.
bool detectReferencePort(TideState& state);
// Today's curve (selected hour = now); false without port or key.
bool loadTodayTide(TideState& state);
// The curve of `date` (selected hour = 12:00); marks the load as attempted.
void loadTideForDate(TideState& state, const std::string& date);
