// The installer download: resumable, written beside its final name, checked
// against the signed size and digest before it takes that name.
#pragma once

#include "update/update_manifest.h"

#include <atomic>
#include <functional>
#include <string>

// Files kept in the updates folder for a manifest file name N: N (verified),
// N.part (being downloaded) and N.part.sha (the digest N.part belongs to).
std::string updateFilePath(const std::string& fileName);

// True when the verified installer is already in the updates folder (its path
// in `path`). A file of the right size but another digest is deleted.
bool isUpdateAlreadyDownloaded(const UpdateManifest& manifest, std::string& path);

// Downloads (or resumes) the installer; `progress` receives fractions in
// [0, 1], `stop` ends the transfer (status 6, N.part kept). UpdateStatus.
int downloadUpdateFile(const UpdateManifest& manifest, std::string& path,
                       const std::function<void(double)>& progress, const std::atomic<bool>& stop);
