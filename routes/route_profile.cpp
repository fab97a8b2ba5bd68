#include "routes/route_profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

const ActivityPreset kActivityPresets[kActivityPresetCount] = {
    {"Kayak / paddle", 0.3f, 4.0f},
    {"Plaisance a moteur", 1.2f, 12.0f},
    {"Voilier", 1.8f, 5.5f},
    {"Peche cotiere", 0.8f, 8.0f},
    {"Chasse sous-marine", 0.0f, 2.5f},
};

void applyActivityPreset(RouteSettings& settings, int index) {
    if (index < 0 || index >= kActivityPresetCount) return;
    settings.activity = index;
    settings.draught = kActivityPresets[index].draught;
    settings.speed = kActivityPresets[index].speed;
}

const char* activityLabel(const RouteSettings& settings) {
    if (settings.activity < 0 || settings.activity >= kActivityPresetCount) return "";
    return kActivityPresets[settings.activity].label;
}

namespace {

struct Segment {
    const RoutePoint* from;
    const RoutePoint* to;
};

// Point to point, and back to the start for a loop.
std::vector<Segment> routeSegments(const Route& route) {
    std::vector<Segment> segments;
    const size_t n = route.points.size();
    if (n < 2) return segments;
    for (size_t i = 0; i + 1 < n; ++i) segments.push_back({&route.points[i], &route.points[i + 1]});
    if (route.loop) segments.push_back({&route.points[n - 1], &route.points[0]});
    return segments;
}

double segmentLength(const Segment& s) { return std::hypot(s.to->x - s.from->x, s.to->y - s.from->y); }

std::string format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

} // namespace

std::vector<ProfileSample> sampleProfile(const Route& route, const HeightGrid& grid, float step) {
    std::vector<ProfileSample> samples;
    if (route.points.size() < 2 || !grid.points || grid.width < 2 || grid.height < 2) return samples;
    double stepM = step > 0.1f ? step : 5.0;
    const std::vector<Segment> segments = routeSegments(route);
    double total = 0;
    for (const Segment& s : segments) total += segmentLength(s);
    if (total < 1e-6) return samples;
    if (total / stepM > 4000.0) stepM = total / 4000.0;

    const auto add = [&](double distance, double x, double y) {
        ProfileSample sample;
        sample.distance = static_cast<float>(distance);
        sample.valid = sampleHeight(grid, x, y, sample.z);
        if (!sample.valid) sample.z = 0.0f;
        samples.push_back(sample);
    };
    double along = 0;
    for (const Segment& s : segments) {
        const double d = segmentLength(s);
        if (d < 1e-6) continue;
        const int k = std::max(1, static_cast<int>(d / stepM));
        for (int j = 0; j < k; ++j) {
            const double t = static_cast<double>(j) / k;
            add(along + t * d, s.from->x + t * (s.to->x - s.from->x), s.from->y + t * (s.to->y - s.from->y));
        }
        along += d;
    }
    const RoutePoint& end = route.loop ? route.points.front() : route.points.back();
    add(total, end.x, end.y);
    return samples;
}

ProfileStats profileStats(const std::vector<ProfileSample>& samples) {
    ProfileStats stats;
    stats.sampleCount = static_cast<int32_t>(samples.size());
    stats.length = samples.empty() ? 0.0f : samples.back().distance;
    for (const ProfileSample& s : samples) {
        if (!s.valid) continue;
        if (stats.validCount == 0) {
            stats.maxZ = stats.minZ = s.z;
        } else {
            stats.maxZ = std::max(stats.maxZ, s.z);
            stats.minZ = std::min(stats.minZ, s.z);
        }
        ++stats.validCount;
    }
    stats.hasValid = stats.validCount > 0;
    return stats;
}

bool updateProfileCache(ProfileCache& cache, const RouteEditor& editor, float profileStep) {
    const Route* route = editor.selectedRouteOrNone();
    if (!route) {
        cache.samples.clear();
        cache.stats = ProfileStats{};
        cache.routeIndex = -1;
        cache.pointCount = 0;
        cache.routesDirty = false;
        return false;
    }
    const int32_t count = static_cast<int32_t>(route->points.size());
    if (!cache.routesDirty && cache.routeIndex == editor.selectedRoute && cache.pointCount == count) return false;
    cache.samples = sampleProfile(*route, editor.heightGrid, profileStep);
    cache.stats = profileStats(cache.samples);
    cache.routeIndex = editor.selectedRoute;
    cache.pointCount = count;
    cache.routesDirty = false;
    return true;
}

double travelHours(double metres, double knots) {
    if (!(knots > 0.01)) return 0.0;
    return metres / (knots * 0.514444) / 3600.0;
}

std::string formatDuration(double hours) {
    if (!(hours > 0.0)) return "--";
    long h = static_cast<long>(hours);
    long m = static_cast<long>((hours - static_cast<double>(h)) * 60.0 + 0.5);
    if (m >= 60) {
        m = 0;
        ++h;
    }
    return h == 0 ? format("%ld min", m) : format("%ldh%02ld", h, m);
}

std::vector<Leg> computeLegs(const Route& route, double convergence) {
    constexpr double kPi = 3.14159265358979323846;
    std::vector<Leg> legs;
    for (const Segment& s : routeSegments(route)) {
        const double dx = s.to->x - s.from->x;
        const double dy = s.to->y - s.from->y;
        // Rows grow southwards, so north is -dy.
        double heading = std::fmod(std::atan2(dx, -dy) * 180.0 / kPi + convergence, 360.0);
        if (heading < 0) heading += 360.0;
        float h = static_cast<float>(heading);
        if (h >= 360.0f) h = 0.0f;  // 359.99999999 rounds up to 360 as a float
        legs.push_back({static_cast<float>(std::hypot(dx, dy)), h});
    }
    return legs;
}

float requiredLevel(const ProfileStats& stats, float draught, float margin) {
    return stats.hasValid ? stats.maxZ + draught + margin : 0.0f;
}

RouteColor clearanceColor(const RoutePoint& point, bool colorByClearance, float draught, float seaLevel) {
    if (!colorByClearance) return routecolor::kGreen;
    if (!point.hasZ) return routecolor::kNoHeight;
    const float c = seaLevel - point.z - draught;
    if (c < 0.0f) return routecolor::kRed;
    if (c < 0.5f) return routecolor::kOrange;
    return routecolor::kGreen;
}

std::vector<PanelLine> routeSummaryLines(const ProfileStats& stats, const RouteSettings& settings, float seaLevel) {
    std::vector<PanelLine> lines;
    lines.push_back(PanelLine::colored(format("%.2f km", stats.length / 1000.0), routecolor::kBlue));
    PanelLine nm = PanelLine::greyed(format("(%.2f NM)", stats.length / 1852.0));
    nm.sameLine = true;
    lines.push_back(nm);
    lines.push_back(PanelLine::greyed(format("Durée estimée à %.1f noeuds : %s", static_cast<double>(settings.speed),
                                             formatDuration(travelHours(stats.length, settings.speed)).c_str())));
    if (stats.hasValid) {
        lines.push_back(PanelLine::plain(format("Hauteur d'eau : %.2f m au plus bas, %.2f m au plus profond",
                                                static_cast<double>(seaLevel - stats.maxZ),
                                                static_cast<double>(seaLevel - stats.minZ))));
        const float c = keelClearance(seaLevel, stats.maxZ, settings.draught);
        if (c < 0.0f)
            lines.push_back(PanelLine::colored(
                format("Talonnage : %.2f m manquants au point le plus haut", static_cast<double>(-c)), routecolor::kRed));
        else if (c < settings.margin)
            lines.push_back(PanelLine::colored(format("Marge sous quille : %.2f m (sous votre marge de %.2f m)",
                                                      static_cast<double>(c), static_cast<double>(settings.margin)),
                                               routecolor::kOrange));
        else
            lines.push_back(
                PanelLine::colored(format("Marge sous quille : %.2f m", static_cast<double>(c)), routecolor::kGreen));
    }
    if (stats.sampleCount > 0 && stats.validCount < stats.sampleCount)
        lines.push_back(PanelLine::greyed(
            format("%d point(s) du profil hors données bathymétriques.", stats.sampleCount - stats.validCount)));
    return lines;
}

std::string formatDistance(double metres) {
    return metres >= 1000.0 ? format("%.2f km", metres / 1000.0) : format("%.0f m", metres);
}

std::vector<LegRow> legRows(const std::vector<Leg>& legs, float speedKnots) {
    std::vector<LegRow> rows;
    for (size_t i = 0; i < legs.size(); ++i) {
        LegRow row;
        row.step = format("%d -> %d", static_cast<int>(i) + 1, static_cast<int>(i) + 2);
        row.distance = formatDistance(legs[i].distance);
        // Rounded here so that 359.7 reads 000, not 360.
        const long heading = std::lround(static_cast<double>(legs[i].heading)) % 360;
        row.heading = format("%03ld deg", heading);
        row.duration = formatDuration(travelHours(legs[i].distance, speedKnots));
        rows.push_back(std::move(row));
    }
    return rows;
}
