// The view's own small windows: help, colour legend, vertical exaggeration
// and settings. Each is drawn inside the UI frame when its switch is on.
#pragma once

#include "viewer/window_layout.h"

struct Viewer;

// `place` is the window's first place (the legend's place every frame).
void drawHelpWindow(bool& open, const UiRect& place);
void drawLegend(const UiRect& place);
void drawExaggerationWindow(Viewer& viewer, const UiRect& place);
void drawSettingsWindow(Viewer& viewer, const UiRect& place);
