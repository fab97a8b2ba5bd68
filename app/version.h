#pragma once

inline constexpr const char* kAppVersion = "1.0.2";
// The platform tag the update server knows this build by; update manifests
// are signed for it.
#ifdef _WIN32
inline constexpr const char* kPlatformTag = "win-x64";
#else
inline constexpr const char* kPlatformTag = "linux-x64";
#endif
