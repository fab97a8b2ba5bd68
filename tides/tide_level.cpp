#include "tides/tide_level.h"

#include <algorithm>
#include <cmath>
#include <iostream>

float interpolateLevel(const std::vector<WaterLevelSample>& samples, float hour) {
    if (samples.empty()) return 0.0f;
    for (size_t i = 0; i + 1 < samples.size(); ++i) {
        const WaterLevelSample& a = samples[i];
        const WaterLevelSample& b = samples[i + 1];
        if (a.hour <= hour && hour <= b.hour) {
            return a.height + (hour - a.hour) / std::max(b.hour - a.hour, 0.0001f) * (b.height - a.height);
        }
    }
    return samples.back().height;
}

float zhToIgn69(float zhHeight, float datumOffset) { return zhHeight + datumOffset; }

float ign69ToZh(float ign69Height, float datumOffset) { return ign69Height - datumOffset; }

float seaLevelAt(const TideState& state, float hour) {
    return zhToIgn69(interpolateLevel(state.samples, hour), state.datumOffset);
}

bool tideDayPlayable(const TideState& state) { return state.samplesLoaded && !state.samples.empty(); }

bool stepTimelapse(const TideState& state, bool playing, float speed, float dt, float& hour, float& seaLevel) {
    if (!playing || !tideDayPlayable(state)) return false;
    hour += dt * speed;
    // A long pause between frames can add more than a day: wrap it all.
    if (hour >= 24.0f) hour = std::fmod(hour, 24.0f);
    seaLevel = seaLevelAt(state, hour);
    return true;
}

void toggleTimelapseFromKey(const TideState& state, bool& playing) {
    playing = !playing;
    if (playing && !tideDayPlayable(state)) {
        std::cout << "Charge d'abord les données de marée (T) avant de lancer le timelapse." << std::endl;
    }
}
