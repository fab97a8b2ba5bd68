// What a boater asks of a route: its bottom profile, length, duration, legs
// and headings, and whether the keel clears the bottom.
#pragma once

#include "routes/route_colors.h"
#include "routes/route_editor.h"

#include <cstdint>
#include <string>
#include <vector>

// The user's boat; kept for the run, not saved.
struct RouteSettings {
    int32_t activity = 0;
    float draught = 0.3f;  // metres below the waterline
    float margin = 0.5f;   // safety margin under the keel, metres
    float speed = 4.0f;    // knots
    float profileStep = 5.0f;  // metres between profile samples
};

struct ActivityPreset {
    const char* label;
    float draught;
    float speed;
};

constexpr int kActivityPresetCount = 5;
extern const ActivityPreset kActivityPresets[kActivityPresetCount];

// Sets the activity, draught and speed of a preset; the margin stays.
// Ignored for an unknown index.
void applyActivityPreset(RouteSettings& settings, int index);
// The label of the settings' preset ("" for an unknown index).
const char* activityLabel(const RouteSettings& settings);

struct ProfileSample {
    float distance = 0;  // metres from the first point along the route
    float z = 0;         // IGN69 metres; 0 when unknown
    bool valid = false;
};

struct ProfileStats {
    float length = 0;  // the last sample's distance
    float maxZ = 0;    // highest valid bottom
    float minZ = 0;    // lowest valid bottom
    int32_t validCount = 0;
    int32_t sampleCount = 0;
    bool hasValid = false;
};

// Samples of the bottom every `step` metres along the route (at most about
// 4000, the step grows for longer routes), ending at the last point (the first
// for a loop).
std::vector<ProfileSample> sampleProfile(const Route& route, const HeightGrid& grid, float step);
ProfileStats profileStats(const std::vector<ProfileSample>& samples);

// The profile of the selected route, recomputed only when the selection, its
// point count or routesDirty says it is stale.
struct ProfileCache {
    std::vector<ProfileSample> samples;
    ProfileStats stats;
    bool routesDirty = false;
    int32_t routeIndex = -1;
    int32_t pointCount = 0;
};

// True when it recomputed.
bool updateProfileCache(ProfileCache& cache, const RouteEditor& editor, float profileStep);

// Hours to cover `metres` at `knots` (0 for a speed not above 0.01).
double travelHours(double metres, double knots);
// "15 min", "1h21"; "--" for no duration.
std::string formatDuration(double hours);

struct Leg {
    float distance = 0;  // metres
    float heading = 0;   // degrees from true north, [0, 360)
};

// One leg per segment (the closing one of a loop included), headings turned
// from grid north to true north with the convergence.
std::vector<Leg> computeLegs(const Route& route, double convergence);

inline float keelClearance(float seaLevel, float maxZ, float draught) { return seaLevel - maxZ - draught; }
// The water level (IGN69) a route needs: highest bottom + draught + margin.
float requiredLevel(const ProfileStats& stats, float draught, float margin);

// Colour of a route point in the 3D view, from the water under its keel.
RouteColor clearanceColor(const RoutePoint& point, bool colorByClearance, float draught, float seaLevel);

// The route window's lines about the selected route: length, duration, water
// depth and keel clearance, and the samples outside the data.
std::vector<PanelLine> routeSummaryLines(const ProfileStats& stats, const RouteSettings& settings, float seaLevel);

// One row of the legs table: "Étape", "Distance", "Cap", "Durée".
struct LegRow {
    std::string step, distance, heading, duration;
};
std::vector<LegRow> legRows(const std::vector<Leg>& legs, float speedKnots);

// "1.25 km" from 1000 m on, else "850 m".
std::string formatDistance(double metres);
