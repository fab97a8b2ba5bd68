// The routes of the terrain on screen and the route being drawn, with every
// editing operation. One editor per viewer, reset for each terrain.
#pragma once

#include "routes/route_model.h"

#include <cstdint>
#include <string>
#include <vector>

struct RouteEditor {
    std::vector<Route> routes;  // finished routes
    Route inProgress;           // the route being drawn (defaults while idle)
    bool drawing = false;
    int32_t selectedRoute = -1;  // index into routes, -1 for none
    Georeference geo;
    HeightGrid heightGrid;

    void startRoute(const std::string& name);
    // False while idle or when the route in progress has kMaxRoutePoints points.
    bool addPoint(double x, double y);
    void undoLastPoint();
    // Keeps a route of at least 2 points and selects it (its index); anything
    // shorter is dropped (-1).
    int finishRoute();
    void abandonRoute();

    void selectRoute(int index);
    void deleteRoute(int index);
    Route* selectedRouteOrNone();
    const Route* selectedRouteOrNone() const;

    // A new terrain: no routes, nothing drawn, no grid, no georeference.
    void resetForTerrain();
    // What the viewer sets once the terrain is shown.
    void setTerrain(const HeightGrid& grid, const Georeference& georeference);
};

// Ignored for an index outside the route.
void removePoint(Route& route, int index);

// The point nearest to (x, y) within maxDistance (the last one among equals),
// or -1.
int nearestPointIndex(const Route& route, double x, double y, double maxDistance);

// "Parcours N" for the next route started by a click.
std::string nextRouteName(const RouteEditor& editor);
