// The view's keys that act whatever the UI is doing, by GLFW key code
// (physical positions named after the US layout).
#pragma once

enum class ViewKey {
    None,
    ExaggerationUp,
    ExaggerationDown,
    Minimap,
    TidePanel,
    Satellite,
    Help,
    ExaggerationWindow,
    ReturnToMenu,
    Timelapse,
    Fullscreen,
    Settings,
    Screenshot,
};

ViewKey viewKeyFor(int glfwKey);
