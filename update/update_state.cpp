#include "update/update_state.h"

#include "app/settings.h"
#include "platform/installer_launch.h"
#include "tiles/file_digest.h"
#include "update/update_client.h"
#include "update/update_download.h"
#include "update/update_status.h"
#include "update/update_version.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

std::mutex updateMutex;

namespace {

UpdateState state;  // guarded by updateMutex
std::string installedVersion, platformName;  // guarded by updateMutex

// The worker handle is only touched by the UI thread, under its own lock.
std::mutex workerMutex;
std::thread worker;
std::atomic<bool> busy{false};
std::atomic<bool> stopRequested{false};

int64_t nowSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

void showNothing() {
    busy = false;
    std::lock_guard lock(updateMutex);
    state.phase = UpdateNothingToShow;
    state.statusText.clear();
}

void updateCheckThread() {
    std::string version, platform;
    {
        std::lock_guard lock(updateMutex);
        version = installedVersion;
        platform = platformName;
    }
    const ManifestCheckResult check = fetchManifest(platform);
    if (check.status != UpdateReady) {
        std::cerr << "[update] verification sans suite : " << updateStatusMessage(check.status)
                  << (check.message.empty() ? "" : " - " + check.message) << std::endl;
        showNothing();
        return;
    }
    const int decision = decideUpdate(check.manifest, version, getInstallId());
    const bool declinedByUser = decision == UpdateOptional && (getIgnoredUpdateVersion() == check.manifest.version ||
                                                               nowSeconds() < getUpdateSnoozedUntil());
    if (decision == UpdateNotOffered || declinedByUser) {
        showNothing();
        return;
    }
    std::string path;
    const bool ready = isUpdateAlreadyDownloaded(check.manifest, path);
    busy = false;
    std::lock_guard lock(updateMutex);
    state.manifest = check.manifest;
    state.decision = decision;
    state.required = decision == UpdateRequired;
    state.retryable = false;
    state.statusText.clear();
    state.installerPath = ready ? path : std::string();
    state.progress = ready ? 1.0 : 0.0;
    state.phase = ready ? UpdateReadyToInstall : UpdateAvailable;
}

void downloadThread() {
    UpdateManifest manifest;
    {
        std::lock_guard lock(updateMutex);
        manifest = state.manifest;
    }
    std::string path;
    const int status = downloadUpdateFile(
        manifest, path,
        [](double fraction) {
            std::lock_guard lock(updateMutex);
            state.progress = fraction;
        },
        stopRequested);
    busy = false;
    std::lock_guard lock(updateMutex);
    if (status == UpdateReady) {
        state.installerPath = path;
        state.progress = 1.0;
        state.statusText.clear();
        state.phase = UpdateReadyToInstall;
    } else if (status == UpdateCancelled) {
        state.progress = 0.0;
        state.statusText.clear();
        state.phase = UpdateAvailable;
    } else {
        state.statusText = updateStatusMessage(status);
        state.retryable = isRetryableUpdateStatus(status);
        state.phase = UpdateFailed;
    }
}

// Joins a previous worker before a new one starts (never the calling thread itself).
void joinWorker() {
    if (worker.joinable() && worker.get_id() != std::this_thread::get_id()) worker.join();
}

void failInstall(const std::string& text, bool retryable) {
    std::lock_guard lock(updateMutex);
    state.phase = UpdateFailed;
    state.statusText = text;
    state.retryable = retryable;
}

} // namespace

void startUpdateCheck(const std::string& version, const std::string& platform) {
    if (busy.exchange(true)) return;
    std::lock_guard workerLock(workerMutex);
    joinWorker();
    stopRequested = false;
    {
        std::lock_guard lock(updateMutex);
        installedVersion = version;
        platformName = platform;
        state.phase = UpdateChecking;
        state.statusText.clear();
    }
    worker = std::thread(updateCheckThread);
}

void stopUpdates() {
    stopRequested = true;
    std::lock_guard workerLock(workerMutex);
    if (worker.joinable()) worker.join();
}

void cancelUpdateDownload() { stopRequested = true; }

void startUpdateDownload() {
    {
        std::lock_guard lock(updateMutex);
        const bool offered = state.phase == UpdateAvailable || state.phase == UpdateFailed;
        if (!offered || state.manifest.fileName.empty()) return;
    }
    if (busy.exchange(true)) return;
    std::lock_guard workerLock(workerMutex);
    joinWorker();
    stopRequested = false;
    {
        std::lock_guard lock(updateMutex);
        state.phase = UpdateDownloading;
        state.progress = 0.0;
        state.statusText.clear();
        state.retryable = false;
    }
    worker = std::thread(downloadThread);
}

void postponeUpdate(int days) {
    snoozeUpdatesForDays(days);
    std::lock_guard lock(updateMutex);
    state.phase = UpdateNothingToShow;
    state.statusText.clear();
}

void ignoreUpdateVersion() {
    std::string version;
    {
        std::lock_guard lock(updateMutex);
        version = state.manifest.version;
    }
    if (!version.empty()) setIgnoredUpdateVersion(version);
    std::lock_guard lock(updateMutex);
    state.phase = UpdateNothingToShow;
    state.statusText.clear();
}

UpdateState updateSnapshot() {
    {
        std::lock_guard workerLock(workerMutex);
        if (worker.joinable() && !busy.load()) worker.join();
    }
    std::lock_guard lock(updateMutex);
    return state;
}

std::string installedProgramVersion() {
    std::lock_guard lock(updateMutex);
    return installedVersion;
}

bool installUpdate() {
    std::string path, digest;
    int64_t size = 0;
    {
        std::lock_guard lock(updateMutex);
        if (state.phase != UpdateReadyToInstall) return false;
        path = state.installerPath;
        digest = state.manifest.fileSha256;
        size = state.manifest.fileSize;
    }
    // The file is checked and started through one open descriptor, so a file
    // put in its place after the check cannot be what runs.
    std::string error;
    platform::InstallerFile installer;
    if (!path.empty()) installer = platform::openInstaller(path, error);
    const bool intact = installer.isOpen() && digest.size() == 64 && platform::installerSize(installer) == size &&
                        digestsEqual(sha256File(platform::installerContentPath(installer)), digest);
    if (!intact) {
        platform::closeInstaller(installer);
        std::error_code ec;
        if (!path.empty()) std::filesystem::remove(path, ec);
        failInstall("Le fichier téléchargé a été modifié. Mise à jour annulée.", true);
        {
            std::lock_guard lock(updateMutex);
            state.installerPath.clear();
        }
        std::cerr << "[update] empreinte differente juste avant lancement" << std::endl;
        return false;
    }

    const platform::InstallerLaunch launch =
        platform::launchInstaller(installer, {"/SILENT", "/NOCANCEL", "/NORESTART", "/RELAUNCH=1"});
    platform::closeInstaller(installer);
    if (launch.launched) {
        clearUpdatePreferences();
        return true;
    }
    if (launch.declined)
        failInstall("Installation refusée.", false);
    else
        failInstall("Impossible de lancer l'installeur.", true);
    std::cerr << "[update] " << platform::installerLaunchCallName() << " a echoue, code " << launch.systemCode
              << std::endl;
    return false;
}

void resetUpdatesForTesting() {
    stopUpdates();
    busy = false;
    stopRequested = false;
    std::lock_guard lock(updateMutex);
    state = UpdateState{};
    installedVersion.clear();
    platformName.clear();
}
