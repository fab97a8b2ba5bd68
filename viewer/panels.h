// The view's own small windows: help, colour legend, vertical exaggeration
// and settings. Each is drawn inside the UI frame when its switch is on.
#pragma once

struct Viewer;

void drawHelpWindow(bool& open);
void drawLegend();
void drawExaggerationWindow(Viewer& viewer);
void drawSettingsWindow(Viewer& viewer);
