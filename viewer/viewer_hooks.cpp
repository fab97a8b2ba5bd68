// Seams for the route work: the route model and its drawing, the route keys
// and clicks. Until they are filled the view has no routes.
#include "viewer/viewer.h"

bool Viewer::startRouteRenderer() { return true; }

void Viewer::releaseRouteRenderer() {}

void Viewer::resetRouteModel() {}

// A click in route mode: add a point where the terrain is hit, or select one.
void Viewer::handleRouteClick(double, double) {}

// Enter, keypad Enter, Escape and Ctrl+Z while a route is drawn; Delete on a
// selected point. True when the key was used up.
bool Viewer::handleEditingKey(int, int) { return false; }

void Viewer::drawRoutes(const glm::mat4&, const glm::mat4&) {}

// The mode toolbar and the route window, with its GPX export and import requests.
void Viewer::drawRouteToolbarAndWindow() {}
