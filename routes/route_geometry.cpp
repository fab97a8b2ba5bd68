#include "routes/route_geometry.h"

#include "routes/route_profile.h"

#include <algorithm>

namespace {

void push(std::vector<RouteVertex>& out, double x, float y, double z, const RouteColor& c) {
    out.push_back({static_cast<float>(x), y, static_cast<float>(z), c.r, c.g, c.b, c.a});
}

} // namespace

void appendRouteGeometry(std::vector<RouteVertex>& out, const Route& route, bool finished, int routeIndex,
                         const RouteRenderParams& params) {
    const float ys = params.seaLevel * params.exaggeration;
    const std::vector<RoutePoint>& pts = route.points;

    if (params.verticalStrokes)
        for (const RoutePoint& p : pts) {
            if (!p.hasZ) continue;
            push(out, p.x, ys, p.y, routecolor::kStroke);
            push(out, p.x, p.z * params.exaggeration, p.y, routecolor::kStroke);
        }

    const auto colorOf = [&](const RoutePoint& p) {
        return finished ? clearanceColor(p, params.colorByClearance, params.draught, params.seaLevel)
                        : routecolor::kInProgress;
    };
    const auto line = [&](const RoutePoint& a, const RoutePoint& b) {
        push(out, a.x, ys, a.y, colorOf(a));
        push(out, b.x, ys, b.y, colorOf(b));
    };
    for (size_t i = 0; i + 1 < pts.size(); ++i) line(pts[i], pts[i + 1]);
    if (route.loop && pts.size() >= 2) line(pts.back(), pts.front());

    const float base = std::max(params.pointSize, 0.5f);
    for (size_t i = 0; i < pts.size(); ++i) {
        const bool selected = finished && routeIndex == params.selectedRoute &&
                              static_cast<int>(i) == params.selectedPoint;
        const float s = selected ? base * 1.8f : base;
        const RouteColor& c = selected ? routecolor::kSelectedCross : routecolor::kCross;
        const RoutePoint& p = pts[i];
        push(out, p.x - s, ys, p.y, c);
        push(out, p.x + s, ys, p.y, c);
        push(out, p.x, ys, p.y - s, c);
        push(out, p.x, ys, p.y + s, c);
    }
}

std::vector<RouteVertex> buildRouteVertices(const RouteEditor& editor, const RouteRenderParams& params) {
    std::vector<RouteVertex> out;
    for (size_t i = 0; i < editor.routes.size(); ++i)
        if (editor.routes[i].visible) appendRouteGeometry(out, editor.routes[i], true, static_cast<int>(i), params);
    if (editor.drawing) appendRouteGeometry(out, editor.inProgress, false, -1, params);
    return out;
}
