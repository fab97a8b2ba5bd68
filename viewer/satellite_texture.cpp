#include "viewer/satellite_texture.h"

#include "viewer/satellite_image.h"
#include "viewer/viewer.h"

#include <iostream>

void uploadSatelliteTexture(Viewer& viewer, const GeoPoint& southWest, const GeoPoint& northEast) {
    std::cout << "Récupération de la texture satellite du terrain..." << std::endl;
    const int width = 1024;
    const int height = satelliteImageHeight(southWest.lon, southWest.lat, northEast.lon, northEast.lat, width);
    const SatelliteImage image =
        fetchSatelliteImage(southWest.lon, southWest.lat, northEast.lon, northEast.lat, width, height);
    if (!image.ok || !viewer.uploadSatelliteImage(image.width, image.height, image.pixels.data()))
        std::cerr << "Échec récupération texture satellite." << std::endl;
}
