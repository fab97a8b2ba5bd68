#include "routes/profile_chart.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

} // namespace

ProfileChartLayout layoutProfileChart(ChartPoint cursor, float avail, const std::vector<ProfileSample>& samples,
                                      const ProfileStats& stats, float seaLevel, float draught) {
    constexpr float H = ProfileChartLayout::kHeight;
    ProfileChartLayout c;
    c.origin = {cursor.x + 42.0f, cursor.y};
    c.width = std::max(avail - 50.0f, 120.0f);
    const ChartPoint O = c.origin;
    const float w = c.width;
    if (samples.empty() || !stats.hasValid) {
        c.unavailableAt = {O.x + w * 0.5f, O.y + 89.0f};
        return c;
    }
    c.available = true;

    const float keel = seaLevel - draught;
    float lo = std::min({stats.minZ, keel, seaLevel});
    const float hi = std::max({stats.maxZ, seaLevel, keel});
    const float pad = std::max((hi - lo) * 0.12f, 0.5f);
    lo -= pad;
    const float top = hi + pad;
    const float range = std::max(top - lo, 0.01f);
    const float L = std::max(stats.length, 1.0f);
    const auto X = [&](float d) { return O.x + d / L * w; };
    const auto Y = [&](float z) { return O.y + H - (z - lo) / range * H; };
    const float bottomY = O.y + H;

    c.waterMin = {O.x, Y(seaLevel)};
    c.waterMax = {O.x + w, bottomY};
    for (size_t i = 0; i + 1 < samples.size(); ++i) {
        const ProfileSample& a = samples[i];
        const ProfileSample& b = samples[i + 1];
        if (!a.valid || !b.valid) continue;
        const float x1 = X(a.distance), x2 = X(b.distance);
        c.bottom.push_back({{{x1, Y(a.z)}, {x2, Y(b.z)}, {x2, bottomY}, {x1, bottomY}}});
        if (a.z > keel || b.z > keel)
            c.keelOverlap.push_back({{{x1, Y(keel)}, {x2, Y(keel)}, {x2, Y(b.z)}, {x1, Y(a.z)}}});
    }
    c.seaY = Y(seaLevel);
    c.keelLine = draught > 0.001f;
    c.keelY = Y(keel);
    if (c.keelLine)
        for (float x = O.x; x < O.x + w; x += 8.0f) c.keelDashes.push_back({x, std::min(x + 4.0f, O.x + w)});
    c.heightLabels.push_back({format("%.1f", top), {O.x - 42.0f, O.y - 4.0f}, false});
    c.heightLabels.push_back({format("%.1f", lo), {O.x - 42.0f, O.y + 178.0f}, false});
    for (int i = 0; i <= 4; ++i) {
        const float d = i * L / 4.0f;
        const std::string text = d >= 1000.0f ? format("%.1f km", d / 1000.0) : format("%.0f m", d);
        c.distanceLabels.push_back({text, {X(d), 0.0f}, true});
    }
    return c;
}
