// What a click on the terrain, a key or the mode toolbar does to the routes
// in route mode. The viewer's handlers call these; nothing here draws.
#pragma once

#include "routes/route_colors.h"
#include "routes/route_editor.h"
#include "routes/route_panel_state.h"
#include "viewer/core/picking.h"

#include <vector>

// How near (grid units) a click must be to a point of the selected route to
// select it rather than start a new route.
constexpr double kPointSelectDistance = 12.0;

enum class RouteClickResult {
    NoTerrain,      // "Aucun terrain touché." printed
    PointSelected,  // a point of the selected route is now selectedPoint
    PointAdded,     // to the route in progress (started by this click or not)
    LimitReached,   // "Parcours : nombre maximal de points atteint." printed
};

// A left click in route mode, at the terrain position the pick found
// (world x and z are the grid's column and row).
RouteClickResult onRouteClick(RouteEditor& editor, RoutePanelState& panel, const PickResult& hit);
RouteClickResult onRouteClickAt(RouteEditor& editor, RoutePanelState& panel, bool hit, double x, double y);

enum class RouteKeyResult {
    Ignored,       // not a route key now: the viewer handles it as usual
    Finished,      // Enter kept the route (now selected)
    Dropped,       // Enter with fewer than 2 points: nothing kept
    Abandoned,     // Escape
    Undone,        // Ctrl+Z (also when there was no point to remove)
    PointRemoved,  // Delete removed the selected point
};

// A key press (GLFW key code) the UI did not capture. While drawing in route
// mode, Enter, Escape and Ctrl+Z belong to the route and do nothing else.
RouteKeyResult onRouteKey(RouteEditor& editor, RoutePanelState& panel, int key, bool ctrl);

// The toolbar's mode buttons, in order (mode 0, 1, 2).
struct ModeButton {
    const char* label;
    const char* tooltip;
};
extern const ModeButton kModeButtons[3];

// Colours of a mode button (the current one stands out).
RouteColor modeButtonColor(bool current);
RouteColor modeButtonHoveredColor(bool current);

// Pressing a mode button; leaving route mode abandons the route being drawn.
void setInteractionMode(RouteEditor& editor, RoutePanelState& panel, int mode);

// The toolbar's lines under the buttons for the current mode.
std::vector<PanelLine> toolbarHintLines(const RouteEditor& editor, int mode);
