// The satellite image draped over the land of a zone.
#pragma once

#include "terrain/bathy.h"

struct Viewer;

// Fetches the orthophoto of the box (1024 pixels wide, the box's ratio in
// degrees) and makes it the viewer's satellite texture. On failure the
// previous texture stays. The satellite switch is left as it is.
void uploadSatelliteTexture(Viewer& viewer, const GeoPoint& southWest, const GeoPoint& northEast);
