// Version numbers of the program and the offer decision they lead to.
#pragma once

#include "update/update_manifest.h"

#include <cstdint>
#include <string>

struct ParsedVersion {
    bool valid = false;
    int32_t major = 0, minor = 0, patch = 0;
    std::string preRelease;
};

// "[v]MAJOR[.MINOR[.PATCH]][-PRERELEASE][+BUILD]", each number at most 1 000 000.
ParsedVersion parseVersion(const std::string& text);
// -1, 0 or 1. A valid version is above an invalid one; without pre-release
// above with; pre-releases compare byte by byte.
int compareVersions(const ParsedVersion& a, const ParsedVersion& b);

enum UpdateDecision : int { UpdateNotOffered = 0, UpdateOptional = 1, UpdateRequired = 2 };
int decideUpdate(const UpdateManifest& manifest, const std::string& installedVersion, const std::string& installId);

// Whether this installation is among the first `rollout` per cent; the same
// installation always gets the same answer.
bool inRollout(const std::string& installId, int rollout);
