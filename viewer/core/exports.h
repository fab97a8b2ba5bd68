// Files written for the user from the 3D view: depth markers as CSV and GPX
// waypoints, and the framebuffer as a 24-bit BMP. Lines of the text files end
// with CR LF, as other programs expect them.
#pragma once

#include "terrain/bathy.h"
#include "viewer/core/picking.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// WGS84 position of each marker (none where the conversion fails), from the
// Lambert-93 position of the grid's top-left corner.
std::vector<std::optional<GeoPoint>> markerPositionsWgs84(const std::vector<DepthMarker>& markers,
                                                          double originX, double originY);

std::string markersCsv(const std::vector<DepthMarker>& markers,
                       const std::vector<std::optional<GeoPoint>>& positions, float seaLevel);
std::string markersGpx(const std::vector<DepthMarker>& markers,
                       const std::vector<std::optional<GeoPoint>>& positions);

// A BMP file of w x h pixels from RGB rows given bottom row first, tightly packed.
std::vector<uint8_t> encodeBmp(int width, int height, const std::vector<uint8_t>& rgbBottomUp);

// Writes `bytes` to `path` in one pass; false (with one French line on stderr) when
// the file cannot be opened or written completely.
bool writeExportFile(const std::string& path, const std::string& bytes);
