// The parts of the route window about the selected route: the bottom
// profile chart, the passage windows and the legs table.
#pragma once

#include "routes/route_profile.h"
#include "tides/tide_state.h"

#include <vector>

void drawProfileChart(const std::vector<ProfileSample>& samples, const ProfileStats& stats, float seaLevel,
                      float draught, float avail);
void drawPassageWindows(const ProfileStats& stats, const RouteSettings& settings,
                        const std::vector<WaterLevelSample>& tideSamples, float datumOffset);
void drawLegsTable(const Route& route, double convergence, float speedKnots);
