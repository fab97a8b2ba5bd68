// Rules of the view's windows that need no UI toolkit: which windows hide the
// marker list, which buttons are highlighted, and the colour legend's layout.
#pragma once

#include <array>
#include <cstddef>

// Windows that, while open, hide the depth-marker list and labels.
struct OpenWindows {
    bool tidePanel = false;
    bool help = false;
    bool exaggeration = false;
    bool settings = false;
    bool routePanel = false;
    bool tideCalendar = false;
    bool popup = false;  // any UI popup, menus included
};

bool markerListShown(const OpenWindows& open, std::size_t markerCount);

// The factor buttons x1..x7: the one equal to the rounded exaggeration stands out.
bool exaggerationButtonHighlighted(int factor, float exaggeration);

// The windowed sizes offered by the settings window.
struct WindowSizeChoice {
    int width;
    int height;
    const char* label;
};
inline constexpr std::array<WindowSizeChoice, 4> kWindowSizeChoices{{
    {1280, 720, "1280 x 720"},
    {1600, 900, "1600 x 900"},
    {1920, 1080, "1920 x 1080"},
    {2560, 1440, "2560 x 1440"},
}};
bool windowSizeHighlighted(const WindowSizeChoice& choice, int windowWidth, int windowHeight);

const char* windowModeText(bool fullscreen);

// The colour legend: a 24-pixel bar, land gradient over sea gradient, and
// labels beside their marks (pixels from the bar's top).
struct LegendColour {
    int r, g, b;
};
struct LegendGradient {
    float top, bottom;
    LegendColour topColour, bottomColour;
};
struct LegendLabel {
    const char* text;
    float mark;
};
struct LegendLayout {
    float barWidth = 24;
    float height = 220;
    float reservedWidth = 94;
    float labelGap = 6;    // right of the bar
    float labelRaise = 7;  // above the mark
    LegendGradient land{};
    LegendGradient sea{};
    std::array<LegendLabel, 5> labels{};
};
LegendLayout legendLayout();
