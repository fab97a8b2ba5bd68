// Window geometry rules, kept apart from GLFW so they can be checked alone.
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
