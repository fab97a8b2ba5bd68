// The parts of the view that are not there yet: route drawing, depth
// markers, the reference grid, the remaining keys and the view's windows.
#include "viewer/viewer.h"

bool Viewer::startRouteRenderer() { return true; }

void Viewer::releaseRouteRenderer() {}

void Viewer::resetRouteModel() {}

void Viewer::clearDepthMarkers() {}

void Viewer::rebuildReferenceGrid() {}

void Viewer::handleClick(double, double) {}

bool Viewer::handleEditingKey(int, int) { return false; }

void Viewer::handleViewKey(int, int) {}

void Viewer::drawViewUi() {}
