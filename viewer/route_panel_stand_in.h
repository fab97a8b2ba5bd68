// Stand-in for the route window's state, holding only the switch the view's
// menu flips. The route window's own state takes its place in the Viewer
// under the same member and field name.
#pragma once

struct RoutePanelStandIn {
    bool routePanelOpen = false;
};
