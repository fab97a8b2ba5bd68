// Orthophoto images fetched from a WMS 1.3.0 service and decoded to RGB: of a
// latitude/longitude box for the zone map, of a Lambert-93 box for the
// terrain texture (so the image lies exactly over the mesh).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The national orthophoto service; ABYSTO_WMS_URL replaces it at run time
// (tests and demos point it at the local stand-in).
inline constexpr const char* kDefaultWmsBaseUrl = "https://data.geopf.fr";

struct SatelliteImage {
    bool ok = false;
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;  // width * height * 3, RGB, rows from north to south
};

// ABYSTO_WMS_URL when set and not empty, else the compiled default; no trailing slash.
std::string wmsBaseUrl();

// The GetMap URL for the box; BBOX in latitude-first order, six significant digits.
std::string satelliteRequestUrl(const std::string& baseUrl, double minLon, double minLat, double maxLon,
                                double maxLat, int width, int height);

// The GetMap URL for a Lambert-93 box in metres (CRS=EPSG:2154, easting first).
std::string satelliteRequestUrlLambert93(const std::string& baseUrl, double minX, double minY, double maxX,
                                         double maxY, int width, int height);

// Image height for a requested width that keeps the box's ratio in degrees
// (no cosine-of-latitude correction); a box narrower than 0.0001 degree gets a square.
int satelliteImageHeight(double minLon, double minLat, double maxLon, double maxLat, int width = 1024);

// The RGB pixels of a WMS answer's body (ok = false, with the decoding
// message, for anything that is not an image: a service exception, an error page).
SatelliteImage decodeSatelliteImage(const std::string& body);

// One synchronous GET (15 s at most). Failures print one line on std::cerr and give ok = false.
SatelliteImage fetchSatelliteImage(double minLon, double minLat, double maxLon, double maxLat, int width,
                                   int height);
SatelliteImage fetchSatelliteImageLambert93(double minX, double minY, double maxX, double maxY, int width,
                                            int height);

