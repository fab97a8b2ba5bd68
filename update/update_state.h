// The update machinery shared by the background worker and the dialog: one
// state behind `updateMutex`, at most one worker thread (check or download).
#pragma once

#include "update/update_manifest.h"

#include <cstdint>
#include <mutex>
#include <string>

enum UpdatePhase : int32_t {
    UpdateIdle = 0,
    UpdateChecking = 1,
    UpdateNothingToShow = 2,
    UpdateAvailable = 3,
    UpdateDownloading = 4,
    UpdateReadyToInstall = 5,
    UpdateFailed = 6,
};

struct UpdateState {
    int32_t phase = UpdateIdle;
    UpdateManifest manifest;
    int32_t decision = 0;  // UpdateDecision
    double progress = 0.0;
    std::string statusText;     // shown in the failed phase
    std::string installerPath;  // the verified installer, ready phase
    bool retryable = false;
    bool required = false;
};

extern std::mutex updateMutex;

// Starts the background manifest check unless a worker is busy.
void startUpdateCheck(const std::string& installedVersion, const std::string& platform);
// Asks the worker to stop and waits for it (end of the program).
void stopUpdates();
void cancelUpdateDownload();
// From the offer or a failure: downloads the installer in the background.
void startUpdateDownload();
// "Plus tard": no offer for `days` days; the dialog goes away.
void postponeUpdate(int days);
// "Ignorer cette version": this version is not offered again.
void ignoreUpdateVersion();
// A copy of the shared state; joins a worker that has finished.
UpdateState updateSnapshot();
// Checks the downloaded installer once more and starts it; true when it runs.
bool installUpdate();
// The version given to startUpdateCheck.
std::string installedProgramVersion();

// Back to the idle state with no worker (tests only).
void resetUpdatesForTesting();
