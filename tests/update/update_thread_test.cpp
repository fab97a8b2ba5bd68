// The update worker and the shared state as the dialog sees them frame by frame; also run under ThreadSanitizer.
#include "app/settings.h"
#include "tests/support/log_capture.h"
#include "tests/update/update_fixture.h"
#include "update/update_dialog.h"
#include "update/update_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kName = "abysto-1.0.3-setup.run";

// Frames of the dialog's logic on this thread until `done` holds.
bool framesUntil(const std::function<bool(const UpdateState&)>& done) {
    UpdateDialogState dialog;
    return waitUntil([&] {
        const UpdateState state = updateSnapshot();
        updateDialogShown(dialog, state);
        updateDialogButtons(state);
        return done(state);
    }, 20s, 5ms);
}

bool phaseIs(int phase) {
    return framesUntil([phase](const UpdateState& s) { return s.phase == phase; });
}

bool checkGives(int phase) {
    startUpdateCheck("1.0.2", kTestPlatform);
    return phaseIs(phase);
}

struct UpdateThreads : testing::Test {
    void SetUp() override {
        resetSettingsForTesting();
        clearUpdatePreferences();
        resetUpdatesForTesting();
    }
    void TearDown() override { resetUpdatesForTesting(); }
};

} // namespace

TEST_F(UpdateThreads, OfferDownloadCancelResumeAndInstall) {
    TempDir work;
    const std::string record = (work / "arguments.txt").string();
    const std::string bytes = recordingInstaller(record, 300 * 1024);
    UpdateServer server(manifestFor(kName, bytes), bytes, {"--update-rate", "200000"});
    ASSERT_TRUE(checkGives(UpdateAvailable));

    startUpdateDownload();
    ASSERT_TRUE(framesUntil([](const UpdateState& s) { return s.phase == UpdateDownloading && s.progress > 0.1; }));
    startUpdateDownload();  // already running: nothing changes
    EXPECT_EQ(updateSnapshot().phase, UpdateDownloading);
    cancelUpdateDownload();
    ASSERT_TRUE(phaseIs(UpdateAvailable));
    const auto kept = fs::file_size(server.updatesPath(kName + ".part"));

    startUpdateDownload();
    ASSERT_TRUE(phaseIs(UpdateReadyToInstall));
    const std::string log = server.devstack->output();
    EXPECT_NE(log.find("range bytes=" + std::to_string(kept) + "- -> 206"), std::string::npos) << log;

    setIgnoredUpdateVersion("0.9");
    EXPECT_TRUE(installUpdate());
    EXPECT_EQ(getIgnoredUpdateVersion(), "");
    EXPECT_EQ(textOnceWritten(record), "/SILENT\n/NOCANCEL\n/NORESTART\n/RELAUNCH=1\n");
}

TEST_F(UpdateThreads, InstallerChangedOnDiskIsNotStarted) {
    const std::string bytes = installerBytes(40000);
    UpdateServer server(manifestFor(kName, bytes), bytes);
    // Found already verified: the check offers installation at once.
    writeFile(server.updatesPath(kName), bytes);
    ASSERT_TRUE(checkGives(UpdateReadyToInstall));

    std::string changed = bytes;
    changed[123] ^= 1;
    writeFile(server.updatesPath(kName), changed);
    bool launched = true;
    const Captured c = captureStreams([&] { launched = installUpdate(); });
    EXPECT_FALSE(launched);
    EXPECT_NE(c.err.find("[update] empreinte differente juste avant lancement"), std::string::npos);
    const UpdateState state = updateSnapshot();
    EXPECT_EQ(state.phase, UpdateFailed);
    EXPECT_EQ(state.statusText, "Le fichier téléchargé a été modifié. Mise à jour annulée.");
    EXPECT_TRUE(state.retryable);
    EXPECT_FALSE(fs::exists(server.updatesPath(kName)));

    // "Réessayer" downloads it again.
    startUpdateDownload();
    ASSERT_TRUE(phaseIs(UpdateReadyToInstall));
    EXPECT_EQ(readFile(server.updatesPath(kName)), bytes);

    // Intact but not a program: the launch fails and may be retried.
    const Captured launch = captureStreams([&] { launched = installUpdate(); });
    EXPECT_FALSE(launched);
    EXPECT_NE(launch.err.find("[update] fexecve a echoue, code "), std::string::npos) << launch.err;
    EXPECT_EQ(updateSnapshot().statusText, "Impossible de lancer l'installeur.");
    EXPECT_TRUE(updateSnapshot().retryable);
}

TEST_F(UpdateThreads, TheUsersAnswersAndFailedChecksShowNothing) {
    const std::string bytes = installerBytes(1000);
    UpdateServer server(manifestFor(kName, bytes), bytes);
    ASSERT_TRUE(checkGives(UpdateAvailable));
    postponeUpdate(3);
    EXPECT_EQ(updateSnapshot().phase, UpdateNothingToShow);
    ASSERT_TRUE(checkGives(UpdateNothingToShow));

    clearUpdatePreferences();
    ASSERT_TRUE(checkGives(UpdateAvailable));
    ignoreUpdateVersion();
    ASSERT_TRUE(checkGives(UpdateNothingToShow));

    // A required update is offered whatever the user said before.
    UpdateManifest required = manifestFor(kName, bytes);
    required.minSupported = "1.0.3";
    UpdateServer strict(required, bytes);
    ASSERT_TRUE(checkGives(UpdateAvailable));
    EXPECT_TRUE(updateSnapshot().required);

    UpdateServer down(required, bytes, {"--update-fault", "unavailable"});
    bool settled = false;
    const Captured c = captureStreams([&] {
        settled = checkGives(UpdateNothingToShow);
        stopUpdates();
    });
    ASSERT_TRUE(settled);
    EXPECT_NE(c.err.find("[update] verification sans suite : le serveur de mise à jour est indisponible - HTTP 503"),
              std::string::npos) << c.err;
}
