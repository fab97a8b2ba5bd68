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

bool Viewer::startRouteRenderer() { return routes.renderer.init(); }

void Viewer::releaseRouteRenderer() { routes.renderer.destroy(); }

void Viewer::resetRouteModel() {
    routes.editor.resetForTerrain();
    if (grid) routes.editor.setTerrain(heightGridOf(*grid), georeferenceOf(*grid));
    resetPanelForTerrain(routes.panel);
}

void Viewer::handleRouteClick(double framebufferX, double framebufferY) {
    onRouteClick(routes.editor, routes.panel, pick(static_cast<float>(framebufferX), static_cast<float>(framebufferY)));
}

bool Viewer::handleEditingKey(int key, int mods) {
    return onRouteKey(routes.editor, routes.panel, key, (mods & GLFW_MOD_CONTROL) != 0) != RouteKeyResult::Ignored;
}

void Viewer::drawRoutes(const glm::mat4& view, const glm::mat4& projection) {
    RouteRenderParams params;
    params.seaLevel = seaLevel;
    params.exaggeration = exaggeration;
    params.draught = routes.panel.settings.draught;
    params.colorByClearance = routes.panel.colorByClearance;
    params.pointSize = routePointSize(extents.diagonal);
    params.lineWidth = 3.0f;
    params.selectedRoute = routes.editor.selectedRoute;
    params.selectedPoint = routes.panel.selectedPoint;
    params.verticalStrokes = routes.panel.verticalStrokes;
    routes.renderer.draw(routes.editor, view, projection, params);
}

void Viewer::drawRouteToolbarAndWindow() {
    drawRouteToolbar(routes.editor, routes.panel);
    const RouteRequests requests =
        drawRoutePanel(routes.panel, routes.editor, tides.state.samples, tides.state.datumOffset, seaLevel);
    if (requests.exportRequested) onExportRequested(routes.editor, routes.panel, versionText);
    if (requests.importRequested) onImportRequested(routes.editor, routes.panel);
}
