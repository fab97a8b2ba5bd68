// The start screen's last notice, shown under the map: information stays 4 s, an error 8 s.
#pragma once

#include <string>

struct Toast {
    std::string text;
    bool error = false;
    double expiry = 0.0;  // seconds on the window system's clock
};

void showToast(Toast& toast, const std::string& text, bool isError, double now);
// The text to show now, clearing the notice once it has expired.
const std::string& currentToast(Toast& toast, double now);
