// A made-up coast in absolute Lambert-93 metres: bands of land up to about
// +40 m and sea bed down to about -30 m (rocks, channels), with a few holes
// where nothing was measured. The same (x, y, seed) always gives the same
// height, so tiles made separately join without seams.
#pragma once

#include <cstdint>
#include <vector>

namespace landscape {

// Height in metres at (x, y).
double height(double x, double y, uint32_t seed);

// A round hole in the survey.
struct Hole {
    double x, y, radius;
};

// The holes (two to four per square kilometre) that may touch the box [minX, maxX] x [minY, maxY].
std::vector<Hole> holesNear(double minX, double minY, double maxX, double maxY, uint32_t seed);

} // namespace landscape
