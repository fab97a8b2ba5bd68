// The colours and text lines the route views share. Drawing code turns a
// RouteColor into the UI toolkit's colour; a PanelLine is one line of a window.
#pragma once

#include <string>

struct RouteColor {
    float r = 0, g = 0, b = 0, a = 1;
};

inline bool operator==(const RouteColor& a, const RouteColor& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

namespace routecolor {
constexpr RouteColor kRed{0.95f, 0.28f, 0.28f, 1.0f};
constexpr RouteColor kOrange{1.0f, 0.65f, 0.2f, 1.0f};
constexpr RouteColor kGreen{0.3f, 0.85f, 0.45f, 1.0f};
constexpr RouteColor kNoHeight{0.55f, 0.58f, 0.62f, 1.0f};
constexpr RouteColor kBlue{0.18f, 0.525f, 0.878f, 1.0f};
constexpr RouteColor kButton{0.031f, 0.337f, 0.667f, 1.0f};
constexpr RouteColor kButtonHovered{0.031f, 0.353f, 0.702f, 1.0f};
constexpr RouteColor kButtonIdle{1.0f, 1.0f, 1.0f, 0.04f};
constexpr RouteColor kButtonIdleHovered{1.0f, 1.0f, 1.0f, 0.1f};
} // namespace routecolor

// One line of text: greyed (the toolkit's disabled colour), coloured, or plain.
struct PanelLine {
    enum class Tone { Plain, Greyed, Colored };
    std::string text;
    Tone tone = Tone::Plain;
    RouteColor color{};
    bool sameLine = false;  // continues the previous line

    static PanelLine plain(std::string t) { return {std::move(t), Tone::Plain, {}, false}; }
    static PanelLine greyed(std::string t) { return {std::move(t), Tone::Greyed, {}, false}; }
    static PanelLine colored(std::string t, RouteColor c) { return {std::move(t), Tone::Colored, c, false}; }
};
