// Text lines and colours of the route views turned into UI toolkit calls.
#pragma once

#include "routes/route_colors.h"

#include <imgui.h>
#include <vector>

inline ImVec4 toImVec4(const RouteColor& c) { return ImVec4(c.r, c.g, c.b, c.a); }

// Greyed lines in the disabled text colour, coloured ones in theirs; a line
// marked sameLine continues the previous one.
void drawPanelLines(const std::vector<PanelLine>& lines);
