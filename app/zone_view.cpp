#include "app/zone_view.h"

#include "viewer/satellite_texture.h"
#include "viewer/viewer.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

void prepareZoneView(Viewer& viewer, const std::vector<std::string>& paths, const LoadStepCallback& splash) {
    auto step = [&](const char* message, float fraction) {
        if (splash) splash(message, fraction);
    };
    LoadedZone zone = loadZone(paths, splash);

    step("Calibration des marées...", 0.6f);
    GeoPoint centre;
    if (zone.dataset->centreWgs84(centre)) viewer.onTerrainLocated(centre.lat, centre.lon);

    step("Récupération de l'imagerie satellite...", 0.8f);
    uploadSatelliteTexture(viewer, zone.grid);

    step("Préparation du rendu...", 0.95f);
    // The start screen may have resized the window while the view was not listening.
    int width = 0, height = 0;
    glfwGetFramebufferSize(viewer.window, &width, &height);
    viewer.onFramebufferSize(width, height);
    viewer.setTerrain(std::move(zone.grid));
}
