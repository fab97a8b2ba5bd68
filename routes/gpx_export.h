// Routes written as GPX 1.1 tracks in WGS84, for chart plotters, GPS devices
// and mapping tools. Lines end with CR LF, as other programs expect.
#pragma once

#include "routes/route_model.h"

#include <string>
#include <vector>

// "&", "<", ">", the double quote and the apostrophe as entities; other bytes as they are.
std::string xmlEscape(const std::string& text);

// The GPX text of every route with at least 2 points (hidden ones too), a loop
// closed by its first point again. `written` receives the number of tracks.
std::string routesGpx(const std::vector<Route>& routes, const Georeference& geo, const std::string& creator,
                      int& written);

// Writes the routes to `path`. On failure lastGpxError() says why; a file is
// only written when at least one route can be.
bool exportGpx(const std::string& path, const std::vector<Route>& routes, const Georeference& geo,
               const std::string& creator);
