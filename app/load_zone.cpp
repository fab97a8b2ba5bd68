#include "app/load_zone.h"

#include <iostream>

LoadedZone loadZone(const std::vector<std::string>& paths, const LoadStepCallback& onStep) {
    auto step = [&](const char* message, float progress) {
        if (onStep) onStep(message, progress);
    };
    LoadedZone zone;

    step("Fusion des dalles sélectionnées...", -1.0f);
    std::cout << paths.size() << " dalle(s) sélectionnée(s) à fusionner." << std::endl;
    zone.dataset = std::make_unique<Bathy>(paths);

    step("Lecture des données bathymétriques...", 0.3f);
    zone.dataset->logInfo();
    zone.dataset->logGeoTransform();  // also stores the geotransform the grid needs
    zone.dataset->logExtent();

    step("Génération du maillage 3D...", 0.5f);
    zone.grid.dataset = zone.dataset.get();
    zone.grid.generate();
    zone.grid.logCounts();
    return zone;
}
