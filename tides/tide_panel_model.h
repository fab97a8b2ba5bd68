// Everything the tide window computes without the UI toolkit: the curve's
// geometry, the hour under the mouse, the texts, the loads its buttons start
// and the level "Appliquer sur le terrain" hands to the view.
#pragma once

#include "tides/tide_state.h"

#include <string>
#include <vector>

struct TidePanelResult {
    bool apply = false;
    float level = 0.0f;  // IGN69 metres; 0 when apply is false
};

// The curve's frame in screen pixels.
struct TideCurve {
    float originX = 0.0f;  // top-left corner
    float originY = 0.0f;
    float width = 0.0f;
    float height = 200.0f;
    float minHeight = 0.0f;  // metres ZH
    float maxHeight = 0.0f;
    float range = 0.01f;  // max(max - min, 0.01)
};

inline constexpr float kTideCurveHeight = 200.0f;
inline constexpr float kTideCurveLabelRoom = 40.0f;

// Width of the curve for the available content width: min(460, avail - 60).
float tideCurveWidth(float avail);
// How far the cursor moves right before the curve: (avail - width) / 2 - 20.
float tideCurveIndent(float avail, float width);
// The frame for samples drawn from the cursor position (cursorX, cursorY),
// leaving room for the height labels at the left.
TideCurve makeTideCurve(const std::vector<WaterLevelSample>& samples, float cursorX, float cursorY, float width);

float tideCurveX(const TideCurve& curve, float hour);
float tideCurveY(const TideCurve& curve, float height);
float tideCurveBottom(const TideCurve& curve);
// The hour under a mouse x on the curve, clamped to 0..23.99.
float tideCurveHour(const TideCurve& curve, float mouseX);
// x of the hour label i (0..4: 00:00, 06:00, 12:00, 18:00, 00:00).
float tideCurveHourLabelX(const TideCurve& curve, int i);
const char* tideCurveHourLabel(int i);

// "07:30"; a value a hair below a whole minute counts as that minute, so
// 14:10 stored as a float never reads 14:09.
std::string formatTideClock(float hour);
// "%.2f m", "%.1f" of the height axis.
std::string formatTideHeight(float metres);
std::string formatAxisValue(float metres);

// Header and footer lines.
std::string datumOffsetLine(const TideState& state);   // "ZH/IGN69 : -3.64 m (Brest)"
std::string displayedDateLine(const TideState& state); // "Date affichée : 2026-12-06"
std::string waterHeightLine(float zhHeight);           // "Hauteur d'eau (ZH) : 4.20 m"
std::string seaLevelLine(float ign69Level);            // "Niveau de la mer (IGN69) : 1.20 m"

// Which port line the header shows.
enum class TidePortLine { name, detectionFailed, notDetected };
TidePortLine tidePortLine(const TideState& state);

// The greyed text shown instead of the curve, or empty when the curve is drawn.
std::string tideWaitingText(const TideState& state);

// The automatic first load: once per terrain, when the port is known and
// nothing was loaded or attempted. True when it ran.
bool autoLoadTide(TideState& state);
// "Charger la marée du jour".
bool loadTodayFromButton(TideState& state);
// "Réessayer la détection": detect again, then load today's curve.
bool retryTideDetection(TideState& state);

// "Appliquer sur le terrain" at the selected hour.
TidePanelResult applySelectedLevel(const TideState& state);
