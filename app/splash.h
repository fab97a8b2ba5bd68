// The start-up and loading screen: one complete frame per call, drawn into
// the viewer's window with its UI (fonts from UIManager::init).
#pragma once

#include <string>

struct GLFWwindow;

// Draws and presents one frame: title, subtitle, message, progress bar and
// version. A fraction from 0 to 1 fills that share of the bar; a negative one
// shows a block moving with the clock.
void showSplash(GLFWwindow* window, const std::string& message, float fraction);

struct SplashBarRect {
    float x0 = 0, y0 = 0, x1 = 0, y1 = 0;
};

inline constexpr float kSplashBarWidth = 300.0f;
inline constexpr float kSplashBarHeight = 3.0f;

// The coloured part of the bar whose track starts at (left, top): the fill for
// a fraction >= 0 (not clamped), else the 40-pixel block at `seconds` on the clock.
SplashBarRect splashBarRect(float left, float top, float fraction, double seconds);
