// Routes drawn on the terrain: their points in grid coordinates, the height
// grid they are sampled from and the georeference that ties the grid to
// Lambert-93.
#pragma once

#include "terrain/terrain_grid.h"

#include <cstdint>
#include <string>
#include <vector>

// A route point: x is the grid column, y the grid row (rows grow southwards);
// one grid unit is one metre of the 1 m terrain data.
struct RoutePoint {
    double x = 0;
    double y = 0;
    float z = 0.0f;     // terrain height, IGN69 metres; 0 when unknown
    bool hasZ = false;  // z was sampled from valid terrain
};

constexpr int kMaxRoutePoints = 500;

struct Route {
    std::string name;
    std::vector<RoutePoint> points;  // drawing order, at most kMaxRoutePoints
    bool visible = true;
    bool loop = false;  // returns from the last point to the first
};

// The name shown for a route ("Sans nom" when it has none).
std::string routeDisplayName(const Route& route);

// A read-only view of the terrain grid's points.
struct HeightGrid {
    const std::vector<GridPoint>* points = nullptr;
    int32_t width = 0;
    int32_t height = 0;
};

HeightGrid heightGridOf(const TerrainGrid& grid);

// At least 2 x 2 points and as many points as width x height.
bool heightGridUsable(const HeightGrid& grid);

// Bilinear height at grid position (x, y); false outside the grid or when one
// of the four surrounding points is not valid.
bool sampleHeight(const HeightGrid& grid, double x, double y, float& z);

// Where the grid sits in Lambert-93, and how far grid north is from true north.
struct Georeference {
    double originX = 0;      // Lambert-93 X of grid position (0, 0)
    double originY = 0;      // Lambert-93 Y of grid position (0, 0)
    double convergence = 0;  // degrees, added to grid headings to get true ones
    bool georeferenced = false;
};

// Meridian convergence (degrees) at a WGS84 position, relative to Lambert-93's
// central meridian (3 degrees east).
double meridianConvergence(double latitudeDeg, double longitudeDeg);

// The georeference of a terrain from its origin and the WGS84 position of its
// centre. A terrain whose origin is (0, 0) is taken as not georeferenced.
Georeference makeGeoreference(double originX, double originY, double centreLat, double centreLon);

bool gridToLambert(const Georeference& geo, double x, double y, double& X, double& Y);
bool lambertToGrid(const Georeference& geo, double X, double Y, double& x, double& y);
