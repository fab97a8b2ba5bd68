// The route window's state and the changes its widgets make, kept apart
// from the drawing so they can be tested.
#pragma once

#include "routes/route_editor.h"
#include "routes/route_profile.h"

#include <cstdint>
#include <string>

enum InteractionMode : int32_t { kModeNavigate = 0, kModeMarker = 1, kModeRoute = 2 };

struct RoutePanelState {
    bool routePanelOpen = false;
    int32_t interactionMode = kModeMarker;
    RouteSettings settings;
    bool colorByClearance = true;
    bool verticalStrokes = true;
    int32_t selectedPoint = -1;  // a point of the selected route, -1 for none
    ProfileCache profile;        // holds routesDirty
    std::string statusText;
    bool statusIsError = false;
};

// What the window asks the view loop to do after it (export first).
struct RouteRequests {
    bool exportRequested = false;
    bool importRequested = false;
};

void setStatus(RoutePanelState& panel, const std::string& text, bool isError);

// A new terrain: the viewer's part of the reset (the editor resets itself).
void resetPanelForTerrain(RoutePanelState& panel);

// The route list: "name  (N pts)" and the heading "PARCOURS (N)".
std::string routeListLine(const Route& route);
std::string routeListHeading(const RouteEditor& editor);

void chooseActivity(RoutePanelState& panel, int index);
void selectRouteFromList(RouteEditor& editor, RoutePanelState& panel, int index);
void deleteRouteFromList(RouteEditor& editor, RoutePanelState& panel, int index);
// "Boucle (retour au départ)": a change makes the profile stale.
void setSelectedRouteLoop(RouteEditor& editor, RoutePanelState& panel, bool loop);
// "##name": stored at once, cut to 127 bytes on a character boundary; the
// profile is not recomputed for a name.
void renameSelectedRoute(RouteEditor& editor, const std::string& name);
constexpr size_t kRouteNameMaxBytes = 127;

// "Exporter en GPX" is enabled only with routes.
inline bool canExportRoutes(const RouteEditor& editor) { return !editor.routes.empty(); }
