// Window geometry rules, kept apart from GLFW and the UI toolkit so they can
// be checked alone.
#pragma once

struct WindowSize {
    int width = 0;
    int height = 0;
};

struct WindowPosition {
    int x = 0;
    int y = 0;
};

// The windowed size for a monitor mode: three quarters of each side, truncated.
WindowSize windowedSizeForMonitor(int modeWidth, int modeHeight);

// Where a window of the given size sits when centred on a monitor mode.
WindowPosition centredWindowPosition(int modeWidth, int modeHeight, int width, int height);

// A rectangle on screen, in pixels from the top-left corner.
struct UiRect {
    float x = 0, y = 0, width = 0, height = 0;
    float right() const { return x + width; }
    float bottom() const { return y + height; }
};

bool overlaps(const UiRect& a, const UiRect& b);

// What the places of the view's windows depend on: the display and the UI
// toolkit's metrics (their defaults are the program's style).
struct UiMetrics {
    float displayWidth = 1440, displayHeight = 810;
    float frameHeight = 30;  // a button, a title bar, the main menu bar
    float lineHeight = 18;  // a line of text
    float padding = 14;  // inside a window
    float spacing = 7;  // between two items
    // The route toolbar at its largest (while a route is being drawn).
    float toolbarWidth = 380, toolbarHeight = 131;
};

// The view's windows on screen: the toolbar and the legend every frame, the
// others on first use. The toolbar and the legend make a column at the left,
// the marker list under them; the windows opened by a key or a menu start
// right of that column, so none of them hides the toolbar. Only the help and
// the calendar, too large for the screen's remainder, may come over the
// settings or the exaggeration window.
struct UiLayout {
    UiRect toolbar, legend, markers, help, settings, exaggeration, calendar;
};
UiLayout uiLayout(const UiMetrics& m);
