#include "viewer/satellite_texture.h"

#include "viewer/satellite_image.h"
#include "viewer/viewer.h"

#include <algorithm>
#include <cmath>
#include <iostream>

bool textureBoxOf(const TerrainGrid& grid, Lambert93Box& box) {
    const bool any = std::any_of(grid.points.begin(), grid.points.end(), [](const GridPoint& p) { return p.valid; });
    if (!any) return false;
    // Render space is x east, z = - northing, both relative to the grid's origin.
    const RenderBounds b = renderBoundsOf(grid.points);
    box = {grid.originX + b.minX, grid.originY - b.maxZ, grid.originX + b.maxX, grid.originY - b.minZ};
    return true;
}

int textureImageHeight(const Lambert93Box& box, int width) {
    const double across = box.maxX - box.minX;
    if (!(across > 0.0)) return width;
    const double height = std::round((box.maxY - box.minY) / across * width);
    return static_cast<int>(std::clamp(height, 1.0, 4096.0));
}

void uploadSatelliteTexture(Viewer& viewer, const TerrainGrid& grid) {
    Lambert93Box box;
    if (!textureBoxOf(grid, box)) return;
    std::cout << "Récupération de la texture satellite du terrain..." << std::endl;
    const int width = 1024;
    const SatelliteImage image =
        fetchSatelliteImageLambert93(box.minX, box.minY, box.maxX, box.maxY, width, textureImageHeight(box, width));
    if (!image.ok || !viewer.uploadSatelliteImage(image.width, image.height, image.pixels.data()))
        std::cerr << "Échec récupération texture satellite." << std::endl;
}
