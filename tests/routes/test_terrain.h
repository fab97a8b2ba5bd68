// Small made-up terrains for the route tests.
#pragma once

#include "routes/route_editor.h"
#include "routes/route_model.h"

#include <functional>
#include <vector>

struct TestTerrain {
    std::vector<GridPoint> points;
    int width = 0;
    int height = 0;
    HeightGrid grid() const { return HeightGrid{&points, width, height}; }
};

// A width x height grid whose point (column, row) has z(column, row).
inline TestTerrain makeTerrain(int width, int height, const std::function<float(int, int)>& z) {
    TestTerrain t;
    t.width = width;
    t.height = height;
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            t.points.push_back({static_cast<float>(col), static_cast<float>(-row), z(col, row), true});
    return t;
}

inline Route makeRoute(const std::vector<std::pair<double, double>>& xy, bool loop = false) {
    Route r;
    r.loop = loop;
    for (auto [x, y] : xy) r.points.push_back({x, y, 0.0f, false});
    return r;
}

// A route drawn through the editor and finished, as a click road would.
inline void addRoute(RouteEditor& editor, const std::string& name, const std::vector<std::pair<double, double>>& xy) {
    editor.startRoute(name);
    for (auto [x, y] : xy) editor.addPoint(x, y);
    editor.finishRoute();
}
