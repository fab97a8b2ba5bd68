// The signed update manifest: what is kept of a valid document, its checks,
// and the exact text its signature covers.
#pragma once

#include <cstdint>
#include <string>

struct UpdateManifest {
    std::string version;
    std::string minSupported;
    int32_t rollout = 100;
    std::string fileName;
    int64_t fileSize = 0;
    std::string fileSha256;
    std::string changelog;
};

// Checks the JSON text in a fixed order; the first failure gives the reason
// (ManifestReason) and `detail`. Only a valid, authentic manifest for
// `expectedPlatform` is copied into `manifest` (reason 0, detail cleared).
int validateManifest(const std::string& jsonText, const std::string& expectedPlatform, UpdateManifest& manifest,
                     std::string& detail);

// The bytes the signature covers: a tag, then one "key=value" line per signed
// field, no line end after the last.
std::string canonicalSignedText(const std::string& platform, const UpdateManifest& manifest,
                                const std::string& changelogDigest);

// A name that can safely become a file in the updates folder: 1 to 128
// letters, digits, '.', '_', '-', no "..", not starting with '.' or '-'.
bool isSafeUpdateFileName(const std::string& name);
