// Tracks (or, when a file has none, routes) of a GPX file turned into routes
// on the terrain. A tolerant text scan rather than an XML parser, so that the
// many dialects written by GPS devices and services all load.
#pragma once

#include "routes/route_editor.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The number in attribute `name` of a tag's text (either quote character,
// case ignored, leading spaces skipped, trailing characters ignored); nothing
// when the attribute or the number is absent.
std::optional<double> readAttribute(std::string_view tag, std::string_view name);

struct GpxRoutes {
    std::vector<Route> routes;
    int outside = 0;  // points of those routes without terrain height
};

// The routes of a GPX text, their points converted to the grid and their
// heights sampled from it (elevations in the file are ignored).
GpxRoutes parseGpxRoutes(std::string_view text, const Georeference& geo, const HeightGrid& grid);

// Reads `path` and appends its routes to the editor; `outside` receives the
// number of their points outside the loaded terrain. On failure the routes are
// untouched and lastGpxError() says why.
bool importGpx(const std::string& path, const Georeference& geo, const HeightGrid& grid, RouteEditor& editor,
               int& outside);
