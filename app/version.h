#pragma once

inline constexpr const char* kAppVersion = "1.0.2";
// The platform tag the update server knows this build by.
inline constexpr const char* kPlatformTag = "win-x64";
