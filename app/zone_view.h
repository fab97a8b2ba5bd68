// One loading cycle up to the view: the chosen tiles merged and meshed, the
// tide calibrated on the zone's centre, the orthophoto draped, the view given
// its terrain. The program then runs the view; the benchmark draws one frame.
#pragma once

#include "app/load_zone.h"

#include <string>
#include <vector>

struct Viewer;

void prepareZoneView(Viewer& viewer, const std::vector<std::string>& paths, const LoadStepCallback& splash);
