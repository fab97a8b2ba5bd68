// Where the tide prediction service lives and the key it expects. Both are
// compiled in; ABYSTO_TIDE_URL and ABYSTO_TIDE_KEY replace them at run time
// (tests and the demo point them at the local stand-in).
#pragma once

#include <string>

inline constexpr const char* kDefaultTideServiceUrl = "https://api.marees.abysto3d.fr/v1";
// 32 lowercase hexadecimal characters; never shown to the user.
inline constexpr const char* kDefaultTideServiceKey = "7c4e1f09a2b84d3e96f05a1c8d27b6e3";

// Base URL every tide request starts with (no trailing slash expected).
std::string tideServiceUrl();
// The key copied into a new TideState.
std::string tideServiceKey();
