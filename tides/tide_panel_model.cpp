#include "tides/tide_panel_model.h"

#include "tides/tide_client.h"
#include "tides/tide_level.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string format(const char* pattern, double value) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

} // namespace

float tideCurveWidth(float avail) { return std::min(460.0f, avail - 60.0f); }

float tideCurveIndent(float avail, float width) { return (avail - width) / 2.0f - 20.0f; }

TideCurve makeTideCurve(const std::vector<WaterLevelSample>& samples, float cursorX, float cursorY, float width) {
    TideCurve curve;
    curve.originX = cursorX + kTideCurveLabelRoom;
    curve.originY = cursorY;
    curve.width = width;
    curve.height = kTideCurveHeight;
    if (!samples.empty()) {
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end(),
            [](const WaterLevelSample& a, const WaterLevelSample& b) { return a.height < b.height; });
        curve.minHeight = low->height;
        curve.maxHeight = high->height;
    }
    curve.range = std::max(curve.maxHeight - curve.minHeight, 0.01f);
    return curve;
}

float tideCurveX(const TideCurve& curve, float hour) { return curve.originX + hour / 24.0f * curve.width; }

float tideCurveY(const TideCurve& curve, float height) {
    return curve.originY + curve.height - (height - curve.minHeight) / curve.range * curve.height;
}

float tideCurveBottom(const TideCurve& curve) { return curve.originY + curve.height; }

float tideCurveHour(const TideCurve& curve, float mouseX) {
    if (curve.width <= 0.0f) return 0.0f;
    return std::clamp((mouseX - curve.originX) / curve.width * 24.0f, 0.0f, 23.99f);
}

float tideCurveHourLabelX(const TideCurve& curve, int i) {
    return curve.originX + static_cast<float>(i) * curve.width / 4.0f;
}

const char* tideCurveHourLabel(int i) {
    static const char* labels[5] = {"00:00", "06:00", "12:00", "18:00", "00:00"};
    return i >= 0 && i < 5 ? labels[i] : "";
}

std::string formatTideClock(float hour) {
    int hours = static_cast<int>(hour);
    int minutes = static_cast<int>((hour - static_cast<float>(hours)) * 60.0f + 0.001f);
    if (minutes >= 60) {
        minutes -= 60;
        ++hours;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", hours, minutes);
    return text;
}

std::string formatTideHeight(float metres) { return format("%.2f m", metres); }

std::string formatAxisValue(float metres) { return format("%.1f", metres); }

std::string datumOffsetLine(const TideState& state) {
    char text[256];
    std::snprintf(text, sizeof text, "ZH/IGN69 : %.2f m (%s)", state.datumOffset, state.ramSiteName.c_str());
    return text;
}

std::string displayedDateLine(const TideState& state) { return "Date affichée : " + state.displayedDate; }

std::string waterHeightLine(float zhHeight) { return format("Hauteur d'eau (ZH) : %.2f m", zhHeight); }

std::string seaLevelLine(float ign69Level) { return format("Niveau de la mer (IGN69) : %.2f m", ign69Level); }

TidePortLine tidePortLine(const TideState& state) {
    if (!state.siteName.empty()) return TidePortLine::name;
    return state.detectionFailed ? TidePortLine::detectionFailed : TidePortLine::notDetected;
}

std::string tideWaitingText(const TideState& state) {
    if (tideDayPlayable(state)) return {};
    return state.siteId[0] == '\0' ? "En attente de la détection du port..." : "Aucune donnée de marée chargée.";
}

bool autoLoadTide(TideState& state) {
    if (state.samplesLoaded || state.loadAttempted || state.siteId[0] == '\0') return false;
    state.loadAttempted = true;
    loadTodayTide(state);
    return true;
}

bool loadTodayFromButton(TideState& state) {
    state.loadAttempted = true;
    return loadTodayTide(state);
}

bool retryTideDetection(TideState& state) {
    if (!detectReferencePort(state)) return false;
    state.loadAttempted = true;
    return loadTodayTide(state);
}

TidePanelResult applySelectedLevel(const TideState& state) {
    return {true, seaLevelAt(state, state.selectedHour)};
}
