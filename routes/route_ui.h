// The route windows drawn with the UI toolkit: the mode toolbar and the
// "Parcours" window. They only draw and hand the user's choices to the
// editing functions; everything they show is computed elsewhere.
#pragma once

#include "routes/route_editor.h"
#include "routes/route_panel_state.h"
#include "tides/tide_state.h"

#include <imgui.h>
#include <vector>

// The mode buttons and the hint lines under them, below the main menu bar.
void drawRouteToolbar(RouteEditor& editor, RoutePanelState& panel);
// The toolbar's size at its largest (the most hint lines, the widest one),
// for the windows placed clear of it.
ImVec2 routeToolbarLargestSize();

// The route window (nothing while it is closed). `tideSamples` and
// `datumOffset` are the loaded tide day (ZH) and its IGN69 offset.
RouteRequests drawRoutePanel(RoutePanelState& panel, RouteEditor& editor,
                             const std::vector<WaterLevelSample>& tideSamples, float datumOffset, float seaLevel);
