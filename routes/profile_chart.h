// The bottom profile chart of the route window, laid out in screen pixels:
// everything the drawing code places, computed without the UI toolkit.
#pragma once

#include "routes/route_profile.h"

#include <cstdint>
#include <string>
#include <vector>

struct ChartPoint {
    float x = 0, y = 0;
};

struct Color8 {
    uint8_t r, g, b, a;
};

namespace chartcolor {
constexpr Color8 kBackground{8, 14, 28, 255};
constexpr Color8 kOutline{255, 255, 255, 18};
constexpr Color8 kText{170, 175, 185, 200};
constexpr Color8 kWater{40, 90, 150, 90};
constexpr Color8 kBottom{120, 95, 60, 200};
constexpr Color8 kKeelOverlap{230, 70, 70, 120};
constexpr Color8 kSeaLine{90, 170, 240, 220};
constexpr Color8 kKeelLine{230, 90, 90, 200};
} // namespace chartcolor

struct ChartQuad {
    ChartPoint p[4];
};

struct ChartLabel {
    std::string text;
    ChartPoint at;  // top-left, or the centre of the text's top when `centred`
    bool centred = false;
};

struct ProfileChartLayout {
    static constexpr float kHeight = 190.0f;
    ChartPoint origin;  // top-left corner of the chart
    float width = 0;
    bool available = false;  // false: show kUnavailable centred at `unavailableAt`
    ChartPoint unavailableAt;
    ChartPoint waterMin, waterMax;  // filled rectangle under the sea level
    std::vector<ChartQuad> bottom;       // kBottom quads
    std::vector<ChartQuad> keelOverlap;  // kKeelOverlap quads where the bottom is above the keel
    float seaY = 0;
    bool keelLine = false;  // only for a draught above 1 mm
    float keelY = 0;
    std::vector<std::pair<float, float>> keelDashes;  // x from, x to
    std::vector<ChartLabel> heightLabels;             // top and bottom of the scale
    std::vector<ChartLabel> distanceLabels;           // centred x; y is 0, drawn on the line under the chart
};

inline constexpr const char* kProfileUnavailable = "Profil indisponible (aucun fond valide sur ce parcours)";

// `cursor`: the window's cursor screen position; `avail`: its available width.
ProfileChartLayout layoutProfileChart(ChartPoint cursor, float avail, const std::vector<ProfileSample>& samples,
                                      const ProfileStats& stats, float seaLevel, float draught);
