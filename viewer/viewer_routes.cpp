// The routes in the view: their model reset for each terrain, the route-mode
// click, the route keys, their 3D drawing, the mode toolbar and the route
// window with its GPX export and import.
#include "routes/gpx_dialogs.h"
#include "routes/route_input.h"
#include "routes/route_ui.h"
#include "terrain/bathy.h"
#include "viewer/viewer.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

namespace {

// Where the grid sits in Lambert-93, and the meridian convergence at its centre
// (none when the centre cannot be converted: headings then stay grid headings).
Georeference georeferenceOf(const TerrainGrid& terrain) {
    const double centreX = terrain.originX + (terrain.width - 1) / 2.0;
    const double centreY = terrain.originY - (terrain.height - 1) / 2.0;
    GeoPoint centre;
    Georeference geo = makeGeoreference(terrain.originX, terrain.originY, 0.0, 3.0);
    if (geo.georeferenced && lambert93ToWgs84(centreX, centreY, centre))
        geo = makeGeoreference(terrain.originX, terrain.originY, centre.lat, centre.lon);
    return geo;
}

} // namespace

bool Viewer::startRouteRenderer() { return routeRenderer.init(); }

void Viewer::releaseRouteRenderer() { routeRenderer.destroy(); }

void Viewer::resetRouteModel() {
    routeEditor.resetForTerrain();
    if (grid) routeEditor.setTerrain(heightGridOf(*grid), georeferenceOf(*grid));
    resetPanelForTerrain(routePanel);
}

void Viewer::handleRouteClick(double framebufferX, double framebufferY) {
    onRouteClick(routeEditor, routePanel, pick(static_cast<float>(framebufferX), static_cast<float>(framebufferY)));
}

bool Viewer::handleEditingKey(int key, int mods) {
    return onRouteKey(routeEditor, routePanel, key, (mods & GLFW_MOD_CONTROL) != 0) != RouteKeyResult::Ignored;
}

void Viewer::drawRoutes(const glm::mat4& view, const glm::mat4& projection) {
    RouteRenderParams params;
    params.seaLevel = seaLevel;
    params.exaggeration = exaggeration;
    params.draught = routePanel.settings.draught;
    params.colorByClearance = routePanel.colorByClearance;
    params.pointSize = routePointSize(diagonal);
    params.lineWidth = 3.0f;
    params.selectedRoute = routeEditor.selectedRoute;
    params.selectedPoint = routePanel.selectedPoint;
    params.verticalStrokes = routePanel.verticalStrokes;
    routeRenderer.draw(routeEditor, view, projection, params);
}

void Viewer::drawRouteToolbarAndWindow() {
    drawRouteToolbar(routeEditor, routePanel);
    const RouteRequests requests = drawRoutePanel(routePanel, routeEditor, tide.samples, tide.datumOffset, seaLevel);
    if (requests.exportRequested) onExportRequested(routeEditor, routePanel, versionText);
    if (requests.importRequested) onImportRequested(routeEditor, routePanel);
}
