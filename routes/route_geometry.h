// The 3D lines of the routes: every visible route and the one being drawn,
// floating on the sea surface, with vertical strokes down to the bottom and a
// cross at every point. Built on the CPU every frame; the renderer uploads
// the list as it is and draws it as separate line segments.
#pragma once

#include "routes/route_colors.h"
#include "routes/route_editor.h"

#include <vector>

// One GPU vertex: attribute 0 = position (3 floats, offset 0), attribute 1 =
// colour (4 floats, offset 12), stride 28.
struct RouteVertex {
    float x, y, z;
    float r, g, b, a;
};
static_assert(sizeof(RouteVertex) == 28);

struct RouteRenderParams {
    float seaLevel = 0;      // IGN69 metres
    float exaggeration = 1;  // vertical exaggeration of the view
    float draught = 0;
    bool colorByClearance = true;
    float pointSize = 1;     // half size of the crosses (see routePointSize)
    float lineWidth = 3.0f;
    int selectedRoute = -1;
    int selectedPoint = -1;
    bool verticalStrokes = true;
};

// Cross size for a terrain of that horizontal diagonal (metres).
inline float routePointSize(float terrainDiagonal) { return terrainDiagonal * 0.004f; }

namespace routecolor {
constexpr RouteColor kStroke{0.55f, 0.7f, 0.9f, 0.55f};
constexpr RouteColor kInProgress{0.85f, 0.85f, 0.85f, 0.75f};
constexpr RouteColor kCross{1.0f, 1.0f, 1.0f, 0.9f};
constexpr RouteColor kSelectedCross{1.0f, 0.9f, 0.3f, 1.0f};
} // namespace routecolor

// Appends one route's segments (pairs of vertices). A finished route's line
// takes each point's clearance colour; `routeIndex` finds the selected point.
void appendRouteGeometry(std::vector<RouteVertex>& out, const Route& route, bool finished, int routeIndex,
                         const RouteRenderParams& params);

// Everything drawn this frame: visible routes in order, then the route in progress.
// Drawn with the colour-vertex program (viewer/shader_sources.h).
std::vector<RouteVertex> buildRouteVertices(const RouteEditor& editor, const RouteRenderParams& params);
