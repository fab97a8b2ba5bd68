#include "tides/tide_client.h"
#include "tides/nearest_site.h"

#include "tides/fetch_url.h"
#include "tides/tide_dates.h"
#include "tides/tide_parsing.h"
#include "tides/tide_service_config.h"

#include <cmath>
#include <iostream>

std::string sitesUrl(const std::string& apiKey) {
    return tideServiceUrl() + "/sites?key=" + encodeQueryValue(apiKey);
}

std::string waterLevelsUrl(const std::string& apiKey, const std::string& siteId, const std::string& date,
                           int stepMinutes) {
    const std::string day = encodeQueryValue(date);
    return tideServiceUrl() + "/water-levels?site=" + encodeQueryValue(siteId) + "&from=" + day + "T00:00&to=" + day +
           "T23:59&step=" + std::to_string(stepMinutes) + "&tz=UTC&key=" + encodeQueryValue(apiKey);
}

std::string tideExtremaUrl(const std::string& apiKey, const std::string& siteId, const std::string& firstDate,
                           const std::string& lastDate) {
    return tideServiceUrl() + "/tide-extrema?site=" + encodeQueryValue(siteId) + "&from=" + encodeQueryValue(firstDate) +
           "&to=" + encodeQueryValue(lastDate) + "&tz=Europe/Paris&key=" + encodeQueryValue(apiKey);
}

bool fetchSites(const std::string& apiKey, std::vector<TideSite>& sites) {
    std::string body;
    if (!fetchUrl(sitesUrl(apiKey), body)) return false;
    return parseSites(body, sites);
}

bool fetchWaterLevels(const std::string& apiKey, const std::string& siteId, const std::string& date, int stepMinutes,
                      std::vector<WaterLevelSample>& samples) {
    std::string body;
    if (!fetchUrl(waterLevelsUrl(apiKey, siteId, date, stepMinutes), body)) return false;
    return parseWaterLevels(body, samples);
}

bool fetchMonthCoeffs(const std::string& apiKey, const std::string& siteId, int year, int month,
                      std::vector<DayCoefficients>& days) {
    const LocalDate today = todayLocal();
    return fetchMonthCoeffsAround(apiKey, siteId, year, month, localNoon(today.year, today.month, today.day), days);
}

bool fetchMonthCoeffsAround(const std::string& apiKey, const std::string& siteId, int year, int month,
                            std::time_t todayNoon, std::vector<DayCoefficients>& days) {
    days.clear();
    if (siteId.empty() || apiKey.empty()) return false;
    if (daysInMonth(year, month) == 0 || year < 1900 || year > 2100) {
        std::cerr << "fetchMonthCoeffs : parametres invalides (year=" << year << ", month=" << month << ")" << std::endl;
        return false;
    }
    int first = 0, last = 0;
    if (!daysInWindow(year, month, todayNoon, first, last)) {
        std::cerr << "Coefficients : " << month << "/" << year
                  << " est entierement hors de la fenetre J-30/J+30 de l'API." << std::endl;
        return false;
    }
    const std::string firstDate = formatDate(year, month, first);
    const std::string lastDate = formatDate(year, month, last);
    std::string body;
    if (!fetchUrl(tideExtremaUrl(apiKey, siteId, firstDate, lastDate), body)) return false;
    if (parseTideExtrema(body, days) != ExtremaParse::ok) return false;
    if (days.empty()) {
        std::cerr << "Coefficients : aucune pleine mer exploitable pour " << month << "/" << year << std::endl;
        return false;
    }
    std::cout << "Coefficients reels recuperes pour " << siteId << " " << month << "/" << year << " : " << days.size()
              << " jour(s) (" << firstDate << " -> " << lastDate << ")" << std::endl;
    return true;
}

bool nearestTideSite(const std::vector<TideSite>& sites, double latitude, double longitude, TideSite& nearest) {
    const TideSite* best =
        nearestSite(sites, latitude, longitude, [](const TideSite& site) { return !site.id.empty(); });
    if (!best) return false;
    nearest = *best;
    return true;
}

bool detectReferencePort(TideState& state) {
    state.siteId[0] = '\0';
    state.siteName.clear();
    state.detectionFailed = false;
    if (state.apiKey[0] == '\0' || (state.latitude == 0.0 && state.longitude == 0.0)) {
        state.detectionFailed = true;
        return false;
    }
    std::vector<TideSite> sites;
    if (!fetchSites(state.apiKey, sites) || sites.empty()) {
        state.detectionFailed = true;
        std::cerr << "Port de reference : detection echouee (API injoignable)." << std::endl;
        return false;
    }
    TideSite nearest;
    if (!nearestTideSite(sites, state.latitude, state.longitude, nearest)) {
        state.detectionFailed = true;
        return false;
    }
    setTideSiteId(state, nearest.id);
    state.siteName = nearest.name;
    std::cout << "Port de reference : " << state.siteName << " (" << state.siteId << ")" << std::endl;
    return true;
}

bool loadTodayTide(TideState& state) {
    if (state.siteId[0] == '\0' || state.apiKey[0] == '\0') return false;
    const LocalDate today = todayLocal();
    const std::string date = formatDate(today.year, today.month, today.day);
    state.samples.clear();
    state.samplesLoaded = fetchWaterLevels(state.apiKey, state.siteId, date, 10, state.samples);
    if (state.samplesLoaded) {
        state.displayedDate = date;
        state.selectedHour = localClockHour();
    } else {
        std::cerr << "Echec recuperation maree du jour." << std::endl;
    }
    return state.samplesLoaded;
}

void loadTideForDate(TideState& state, const std::string& date) {
    if (state.siteId[0] == '\0' || state.apiKey[0] == '\0') return;
    state.samples.clear();
    state.samplesLoaded = fetchWaterLevels(state.apiKey, state.siteId, date, 10, state.samples);
    state.loadAttempted = true;
    if (state.samplesLoaded) {
        state.displayedDate = date;
        state.selectedHour = 12.0f;
        std::cout << "Maree chargee pour " << date << " (" << state.samples.size() << " points)" << std::endl;
    } else {
        std::cerr << "Echec chargement maree pour " << date << std::endl;
    }
}
