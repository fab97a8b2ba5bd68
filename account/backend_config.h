// Where the account backend lives and its public anonymous key. Both are
// compiled in; ABYSTO_AUTH_URL and ABYSTO_AUTH_KEY replace them at run time
// (tests and the demo point them at the local stand-in).
#pragma once

#include <string>
#include <string_view>

inline constexpr const char* kDefaultAuthUrl = "https://comptes.abysto3d.fr";
// The project's anonymous key: public, it only identifies the project. A
// JSON Web Token of three base64url parts.
inline constexpr const char* kDefaultAuthAnonKey =
    "eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9"
    ".eyJpc3MiOiJhYnlzdG8zZCIsInJlZiI6InB4cWtkbWh3YnpydHZueWpsY2dhIiwicm9sZSI6ImFub24iLCJpYXQiOjE3MzU2ODk2MDAsImV4cC"
    "I6MjA1MTIyMjQwMH0"
    ".qKK7NULHXNIzivU1oXcYGcPd6Px14F2rkzdimcIlfwQ";
static_assert(std::string_view(kDefaultAuthAnonKey).size() == 208, "the backend's keys are 208 characters long");

// Base URL without trailing slash; the endpoint paths are appended to it.
std::string authBackendUrl();
std::string authAnonKey();
