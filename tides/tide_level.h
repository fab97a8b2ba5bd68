// Water height at any hour of the loaded day, the sea level it gives in the
// land datum, and the timelapse that plays the day on the terrain.
#pragma once

#include "tides/tide_state.h"

#include <vector>

// Linear interpolation on the day's samples (assumed in ascending hour);
// before the first or after the last sample: the last height; none: 0.
float interpolateLevel(const std::vector<WaterLevelSample>& samples, float hour);

// IGN69 = ZH + datum offset, and back.
float zhToIgn69(float zhHeight, float datumOffset);
float ign69ToZh(float ign69Height, float datumOffset);

// The sea level (IGN69) for an hour of the loaded day.
float seaLevelAt(const TideState& state, float hour);

// True when the loaded day can be played.
bool tideDayPlayable(const TideState& state);

// One frame of the timelapse: advances `hour` by dt * speed (looping over the
// day) and sets `seaLevel`. Returns true when the sea level was written, so the
// caller rebuilds what depends on it; false (nothing touched) when not playing
// or no day is loaded.
bool stepTimelapse(const TideState& state, bool playing, float speed, float dt, float& hour, float& seaLevel);

// The P key: flips `playing`; turning it on with no day loaded prints the
// hint to load the tide first (the flag stays on and playback starts later).
void toggleTimelapseFromKey(const TideState& state, bool& playing);
