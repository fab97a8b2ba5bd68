#include "routes/route_editor.h"

#include <cmath>

void RouteEditor::startRoute(const std::string& name) {
    inProgress = Route{};
    inProgress.name = name;
    drawing = true;
}

bool RouteEditor::addPoint(double x, double y) {
    if (!drawing || inProgress.points.size() >= static_cast<size_t>(kMaxRoutePoints)) return false;
    RoutePoint p;
    p.x = x;
    p.y = y;
    p.hasZ = sampleHeight(heightGrid, x, y, p.z);
    if (!p.hasZ) p.z = 0.0f;
    inProgress.points.push_back(p);
    return true;
}

void RouteEditor::undoLastPoint() {
    if (drawing && !inProgress.points.empty()) inProgress.points.pop_back();
}

int RouteEditor::finishRoute() {
    if (!drawing || inProgress.points.size() < 2) {
        abandonRoute();
        return -1;
    }
    routes.push_back(inProgress);
    inProgress = Route{};
    drawing = false;
    selectedRoute = static_cast<int32_t>(routes.size()) - 1;
    return selectedRoute;
}

void RouteEditor::abandonRoute() {
    inProgress = Route{};
    drawing = false;
}

void RouteEditor::selectRoute(int index) {
    selectedRoute = (index >= 0 && index < static_cast<int>(routes.size())) ? index : -1;
}

void RouteEditor::deleteRoute(int index) {
    if (index < 0 || index >= static_cast<int>(routes.size())) return;
    routes.erase(routes.begin() + index);
    const int count = static_cast<int>(routes.size());
    if (count == 0)
        selectedRoute = -1;
    else if (selectedRoute >= count)
        selectedRoute = count - 1;
    else if (selectedRoute > index)
        --selectedRoute;
}

Route* RouteEditor::selectedRouteOrNone() {
    if (selectedRoute < 0 || selectedRoute >= static_cast<int>(routes.size())) return nullptr;
    return &routes[static_cast<size_t>(selectedRoute)];
}

const Route* RouteEditor::selectedRouteOrNone() const {
    return const_cast<RouteEditor*>(this)->selectedRouteOrNone();
}

void RouteEditor::resetForTerrain() {
    routes.clear();
    inProgress = Route{};
    drawing = false;
    selectedRoute = -1;
    geo = Georeference{};
    heightGrid = HeightGrid{};
}

void RouteEditor::setTerrain(const HeightGrid& grid, const Georeference& georeference) {
    heightGrid = grid;
    geo = georeference;
}

void removePoint(Route& route, int index) {
    if (index < 0 || index >= static_cast<int>(route.points.size())) return;
    route.points.erase(route.points.begin() + index);
}

int nearestPointIndex(const Route& route, double x, double y, double maxDistance) {
    int best = -1;
    double bestDistance = maxDistance;
    for (size_t i = 0; i < route.points.size(); ++i) {
        const double d = std::hypot(x - route.points[i].x, y - route.points[i].y);
        if (d <= bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::string nextRouteName(const RouteEditor& editor) {
    return "Parcours " + std::to_string(editor.routes.size() + 1);
}
