#include "routes/route_model.h"

#include <algorithm>
#include <cmath>

std::string routeDisplayName(const Route& route) { return route.name.empty() ? "Sans nom" : route.name; }

HeightGrid heightGridOf(const TerrainGrid& grid) { return HeightGrid{&grid.points, grid.width, grid.height}; }

bool heightGridUsable(const HeightGrid& grid) {
    return grid.points && grid.width >= 2 && grid.height >= 2 &&
           grid.points->size() >= static_cast<size_t>(grid.width) * static_cast<size_t>(grid.height);
}

bool sampleHeight(const HeightGrid& grid, double x, double y, float& z) {
    if (!heightGridUsable(grid)) return false;
    // Written so that NaN positions fail too.
    if (!(x >= 0.0 && y >= 0.0 && x <= grid.width - 1 && y <= grid.height - 1)) return false;
    const int i0 = static_cast<int>(std::floor(x));
    const int j0 = static_cast<int>(std::floor(y));
    const int i1 = std::min(i0 + 1, grid.width - 1);
    const int j1 = std::min(j0 + 1, grid.height - 1);
    const std::vector<GridPoint>& pts = *grid.points;
    const auto at = [&](int i, int j) -> const GridPoint& {
        return pts[static_cast<size_t>(j) * static_cast<size_t>(grid.width) + static_cast<size_t>(i)];
    };
    const GridPoint& p00 = at(i0, j0);
    const GridPoint& p10 = at(i1, j0);
    const GridPoint& p01 = at(i0, j1);
    const GridPoint& p11 = at(i1, j1);
    if (!p00.valid || !p10.valid || !p01.valid || !p11.valid) return false;
    const double fx = x - i0;
    const double fy = y - j0;
    z = static_cast<float>(((1 - fx) * p00.z + fx * p10.z) * (1 - fy) + ((1 - fx) * p01.z + fx * p11.z) * fy);
    return true;
}

double meridianConvergence(double latitudeDeg, double longitudeDeg) {
    constexpr double kPi = 3.14159265358979323846;
    return std::sin(latitudeDeg * kPi / 180.0) * (longitudeDeg - 3.0);
}

Georeference makeGeoreference(double originX, double originY, double centreLat, double centreLon) {
    Georeference geo;
    geo.originX = originX;
    geo.originY = originY;
    geo.convergence = meridianConvergence(centreLat, centreLon);
    geo.georeferenced = originX != 0.0 || originY != 0.0;
    return geo;
}

bool gridToLambert(const Georeference& geo, double x, double y, double& X, double& Y) {
    if (!geo.georeferenced) return false;
    X = geo.originX + x;
    Y = geo.originY - y;
    return true;
}

bool lambertToGrid(const Georeference& geo, double X, double Y, double& x, double& y) {
    if (!geo.georeferenced) return false;
    x = X - geo.originX;
    y = geo.originY - Y;
    return true;
}
