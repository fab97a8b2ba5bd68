#include "viewer/view_rules.h"

#include <cmath>

bool markerListShown(const OpenWindows& open, std::size_t markerCount) {
    if (markerCount == 0) return false;
    return !(open.tidePanel || open.help || open.exaggeration || open.settings || open.routePanel ||
             open.tideCalendar || open.popup);
}

bool exaggerationButtonHighlighted(int factor, float exaggeration) {
    return factor == static_cast<int>(std::lround(exaggeration));
}

bool windowSizeHighlighted(const WindowSizeChoice& choice, int windowWidth, int windowHeight) {
    return choice.width == windowWidth && choice.height == windowHeight;
}

const char* windowModeText(bool fullscreen) { return fullscreen ? "Plein écran" : "Fenêtré"; }

LegendLayout legendLayout() {
    LegendLayout layout;
    const float shore = 77.0f;  // sea level on the bar
    layout.land = {0.0f, shore, {115, 77, 38}, {64, 140, 51}};
    layout.sea = {shore, layout.height, {191, 235, 250}, {5, 20, 64}};
    // Depth marks split the sea part in three equal steps of ten metres.
    const float tenMetres = (layout.height - shore) / 3.0f;
    layout.labels = {{{"+50m", 0.0f},
                      {"0m (mer)", shore},
                      {"-10m", shore + tenMetres},
                      {"-20m", shore + 2.0f * tenMetres},
                      {"-30m", layout.height}}};
    return layout;
}
