#include "routes/passage_windows.h"

#include <cmath>
#include <cstdio>

std::vector<PassageWindow> passageWindows(const std::vector<WaterLevelSample>& samples, float datumOffset,
                                          float needLevel) {
    std::vector<PassageWindow> windows;
    if (samples.size() < 2) return windows;
    const auto level = [&](size_t i) { return datumOffset + samples[i].height; };
    bool inside = level(0) >= needLevel;
    PassageWindow current;
    if (inside) {
        current.start = samples[0].hour;
        current.fromDayStart = true;
    }
    for (size_t i = 1; i < samples.size(); ++i) {
        const bool now = level(i) >= needLevel;
        if (now == inside) continue;
        const float l0 = level(i - 1), l1 = level(i);
        const float f = std::fabs(l1 - l0) < 1e-6f ? 0.0f : (needLevel - l0) / (l1 - l0);
        const float t = samples[i - 1].hour + (samples[i].hour - samples[i - 1].hour) * f;
        if (now) {
            current = PassageWindow{};
            current.start = t;
        } else {
            current.end = t;
            current.toDayEnd = false;
            windows.push_back(current);
        }
        inside = now;
    }
    if (inside) {
        current.end = samples.back().hour;
        current.toDayEnd = true;
        windows.push_back(current);
    }
    return windows;
}

std::string formatHourMinute(float hour) {
    int h = static_cast<int>(hour);
    int m = static_cast<int>((hour - static_cast<float>(h)) * 60.0f + 0.5f);
    if (m >= 60) {
        m = 0;
        ++h;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02dh%02d", h, m);
    return buf;
}

std::string passageWindowSpan(const PassageWindow& window) {
    return std::string("de ") + (window.fromDayStart ? "<= " : "") + formatHourMinute(window.start) + " a " +
           formatHourMinute(window.end) + (window.toDayEnd ? " ->" : "");
}

std::vector<PanelLine> passageWindowLines(const ProfileStats& stats, const RouteSettings& settings,
                                          const std::vector<WaterLevelSample>& samples, float datumOffset) {
    std::vector<PanelLine> lines;
    if (!stats.hasValid) return lines;
    if (samples.empty()) {
        lines.push_back(PanelLine::greyed("Ouvrez le panneau Marée pour calculer les créneaux de passage."));
        return lines;
    }
    const float need = requiredLevel(stats, settings.draught, settings.margin);
    char buf[128];
    std::snprintf(buf, sizeof buf, "Niveau d'eau nécessaire : %.2f m IGN69", static_cast<double>(need));
    lines.push_back(PanelLine::greyed(buf));
    const std::vector<PassageWindow> windows = passageWindows(samples, datumOffset, need);
    if (windows.empty()) {
        lines.push_back(PanelLine::colored("Aucun créneau aujourd'hui : le haut-fond ne", routecolor::kRed));
        std::snprintf(buf, sizeof buf, "passe jamais sous %.2f m d'eau.",
                      static_cast<double>(settings.draught + settings.margin));
        lines.push_back(PanelLine::colored(buf, routecolor::kRed));
        return lines;
    }
    for (const PassageWindow& w : windows) {
        lines.push_back(PanelLine::colored("Passage possible", routecolor::kGreen));
        PanelLine span = PanelLine::plain(passageWindowSpan(w));
        span.sameLine = true;
        lines.push_back(span);
    }
    return lines;
}
