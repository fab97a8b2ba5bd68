// The tide data the rest of the program reads: the service's sites, one
// day's water-level curve, a month's coefficients, and the per-viewer state.
#pragma once

#include <string>
#include <vector>

struct TideSite {
    std::string id;    // "site_id", may be empty
    std::string name;  // first usable name key, else the prettified id
    double latitude = 0.0;
    double longitude = 0.0;
};

struct WaterLevelSample {
    float height = 0.0f;  // metres above chart datum (ZH)
    float hour = 0.0f;    // hour of day, UTC, [0, 24)
};

struct DayCoefficients {
    int day = 0;        // 1..31
    int morning = 0;    // 0 when no morning high water
    int afternoon = 0;  // 0 when no afternoon high water
};

struct TideState {
    char apiKey[128] = {};
    char siteId[64] = {};  // reference port; empty = none
    float datumOffset = -3.0f;  // IGN69 = ZH + datumOffset
    std::vector<WaterLevelSample> samples;
    float selectedHour = 12.0f;
    bool samplesLoaded = false;
    std::string ramSiteName;
    bool datumOffsetKnown = false;
    double latitude = 0.0;
    double longitude = 0.0;
    std::string siteName;
    bool detectionFailed = false;
    bool loadAttempted = false;
    std::string displayedDate;  // "%04d-%02d-%02d"
    bool tidePanelOpen = false;
};

// A fresh state holding the service key (tideServiceKey()).
TideState makeTideState();

// Copies text into the fixed buffers, cutting it to fit (127 and 63 characters).
void setTideKey(TideState& state, const std::string& key);
void setTideSiteId(TideState& state, const std::string& id);

// A new terrain: forgets the port and the loaded day, keeps the key, the
// datum offset, the coordinates and whether the window is open.
void resetTide(TideState& state);

// The ZH -> IGN69 offset taken from the altimetric references.
void setDatumOffset(TideState& state, float offset, const std::string& siteName);
