#include "routes/route_panel_state.h"

#include <cstdio>

void setStatus(RoutePanelState& panel, const std::string& text, bool isError) {
    panel.statusText = text;
    panel.statusIsError = isError;
}

void resetPanelForTerrain(RoutePanelState& panel) {
    panel.selectedPoint = -1;
    panel.profile.routesDirty = true;
}

std::string routeListLine(const Route& route) {
    return routeDisplayName(route) + "  (" + std::to_string(route.points.size()) + " pts)";
}

std::string routeListHeading(const RouteEditor& editor) {
    return "PARCOURS (" + std::to_string(editor.routes.size()) + ")";
}

void chooseActivity(RoutePanelState& panel, int index) { applyActivityPreset(panel.settings, index); }

void selectRouteFromList(RouteEditor& editor, RoutePanelState& panel, int index) {
    editor.selectRoute(index);
    panel.selectedPoint = -1;
    panel.profile.routesDirty = true;
}

void deleteRouteFromList(RouteEditor& editor, RoutePanelState& panel, int index) {
    editor.deleteRoute(index);
    panel.selectedPoint = -1;
    panel.profile.routesDirty = true;
}

void setSelectedRouteLoop(RouteEditor& editor, RoutePanelState& panel, bool loop) {
    Route* route = editor.selectedRouteOrNone();
    if (!route || route->loop == loop) return;
    route->loop = loop;
    panel.profile.routesDirty = true;
}

void renameSelectedRoute(RouteEditor& editor, const std::string& name) {
    Route* route = editor.selectedRouteOrNone();
    if (!route) return;
    size_t n = std::min(name.size(), kRouteNameMaxBytes);
    // Never leave half of a UTF-8 character at the end.
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) --n;
    route->name = name.substr(0, n);
}
