// The hours of the loaded tide day when there is enough water for a route,
// and how the route window lists them.
#pragma once

#include "routes/route_colors.h"
#include "routes/route_profile.h"
#include "tides/tide_state.h"

#include <string>
#include <vector>

struct PassageWindow {
    float start = 0;  // hours of the tide day
    float end = 0;
    bool fromDayStart = false;  // already enough water at the first sample
    bool toDayEnd = false;      // still enough at the last sample
};

// Spans of the day (samples in ascending hours, heights ZH) when the water,
// turned to IGN69 with `datumOffset`, is at or above `needLevel`. Crossing
// hours are interpolated between samples.
std::vector<PassageWindow> passageWindows(const std::vector<WaterLevelSample>& samples, float datumOffset,
                                          float needLevel);

// "07h05": hours and rounded minutes, 60 minutes carried into the hour.
std::string formatHourMinute(float hour);

// "de <= 00h00 a 23h50 ->" (the arrows when the window touches the day's ends).
std::string passageWindowSpan(const PassageWindow& window);

// The lines under "CRÉNEAUX DE PASSAGE": nothing without a valid profile, a
// hint without tide samples, else the level needed and the windows (each a
// green "Passage possible" followed on the same line by its span) or the
// two red lines saying there is none today.
std::vector<PanelLine> passageWindowLines(const ProfileStats& stats, const RouteSettings& settings,
                                          const std::vector<WaterLevelSample>& samples, float datumOffset);
