// The loading steps of one cycle, between the zone selector and the view:
// merge the chosen tile files, describe the mosaic, build its terrain grid.
#pragma once

#include "terrain/bathy.h"
#include "terrain/terrain_grid.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct LoadedZone {
    std::unique_ptr<Bathy> dataset;  // held by pointer so the grid's reference stays valid
    TerrainGrid grid;
};

// Called before each blocking step with its splash message and progress
// fraction (negative for an indeterminate bar).
using LoadStepCallback = std::function<void(const char* message, float progress)>;

// Never fails as a whole: a failed merge gives an empty grid, and the
// dataset and grid messages tell why.
LoadedZone loadZone(const std::vector<std::string>& paths, const LoadStepCallback& onStep = {});
