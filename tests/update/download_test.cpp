// The manifest request and the installer download against the update stand-in; the launch of an open file.
#include "platform/installer_launch.h"
#include "tests/support/process.h"
#include "tests/support/log_capture.h"
#include "tests/update/update_fixture.h"
#include "update/update_download.h"
#include "update/update_status.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;

namespace {

const std::string kName = "abysto-1.0.3-setup.run";

int download(const UpdateManifest& manifest, std::string& path, std::string* err = nullptr) {
    std::atomic<bool> stop{false};
    int status = -1;
    const Captured c = captureStreams([&] { status = downloadUpdateFile(manifest, path, nullptr, stop); });
    if (err) *err = c.err;
    return status;
}

} // namespace

TEST(UpdateFetch, ServerAnswersBecomeStatuses) {
    const std::string bytes = installerBytes(5000);
    const UpdateManifest manifest = manifestFor(kName, bytes);
    // The stand-in's arguments, the platform asked for, the status, the reason and the message.
    const std::vector<std::tuple<std::vector<std::string>, const char*, int, int, std::string>> rows = {
        {{}, kTestPlatform, 0, 0, ""},
        {{}, "win-x64", 1, 0, "HTTP 404 (No error)"},
        {{"--update-fault", "busy"}, kTestPlatform, 3, 0, "HTTP 429 (No error)"},
        {{"--update-fault", "unavailable"}, kTestPlatform, 4, 0, "HTTP 503 (No error)"},
        {{"--update-fault", "huge-manifest"}, kTestPlatform, 2, 1, "manifeste anormalement volumineux"},
        {{"--update-fault", "tampered"}, kTestPlatform, 2, 4, "aucune cle de confiance ne valide cette signature"},
    };
    for (const auto& [args, platform, status, reason, message] : rows) {
        UpdateServer server(manifest, bytes, args);
        ManifestCheckResult result;
        const Captured c = captureStreams([&, &platform = platform] { result = fetchManifest(platform); });
        EXPECT_EQ(std::tuple(result.status, result.reason, result.message), std::tuple(status, reason, message));
        if (reason == 4) {
            EXPECT_NE(c.err.find("[update] manifeste refuse : signature invalide (aucune cle"), std::string::npos);
        }
    }
    configureUpdateClient(closedPortUrl(), "/tmp");
    EXPECT_EQ(fetchManifest(kTestPlatform).status, 5);
    configureUpdateClient("", "/tmp");
    EXPECT_EQ(fetchManifest(kTestPlatform).status, 5);
}

TEST(UpdateDownload, PartialFilesAndServerFaults) {
    const std::string bytes = installerBytes(20000);
    const UpdateManifest manifest = manifestFor(kName, bytes);
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string partial;  // already on disk, with the marker `digest`
        std::string digest;
        int first, second;    // statuses of two downloads in a row
        std::string said;     // by the first one on the error stream
        std::string served;   // in the stand-in's log
        const char* unserved = nullptr;  // not in it
    } rows[] = {
        {"resumed with a range", {}, bytes.substr(0, 7000), manifest.fileSha256, 0, 0, "",
         "UPDATE GET /v1/update/file/" + kName + " range bytes=7000- -> 206"},
        {"range ignored: fails once, then starts from zero", {"--update-fault", "ignore-range"},
         bytes.substr(0, 7000), manifest.fileSha256, 8, 0, "[update] plage ignoree par le serveur, on repart de zero",
         ""},
        {"the marker of another installer: from zero", {}, installerBytes(20000, 'K').substr(0, 7000),
         sha256Text("an older installer"), 0, 0, "", "UPDATE GET /v1/update/file/" + kName + " -> 200", "range"},
        {"more bytes than signed", {"--update-fault", "extra-bytes"}, "", "", 8, 8,
         "[update] le serveur envoie plus que les 20000 octets signes", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        UpdateServer server(manifest, bytes, row.args);
        if (!row.partial.empty()) {
            writeFile(server.updatesPath(kName + ".part"), row.partial);
            writeFile(server.updatesPath(kName + ".part.sha"), row.digest + "\n");
        }
        std::string path, err;
        EXPECT_EQ(download(manifest, path, &err), row.first);
        EXPECT_NE(err.find(row.said), std::string::npos) << err;
        EXPECT_EQ(fs::exists(server.updatesPath(kName)), row.first == 0);
        for (const char* suffix : {".part", ".part.sha"}) EXPECT_FALSE(fs::exists(server.updatesPath(kName + suffix)));
        const std::string log = server.devstack->output();
        EXPECT_NE(log.find(row.served), std::string::npos) << log;
        EXPECT_TRUE(!row.unserved || log.find(row.unserved) == std::string::npos) << log;
        ASSERT_EQ(download(manifest, path), row.second);
        if (row.second != 0) continue;
        EXPECT_EQ(path, server.updatesPath(kName));
        EXPECT_EQ(readFile(path), bytes);
        EXPECT_TRUE(isUpdateAlreadyDownloaded(manifest, path));
    }
}

TEST(UpdateDownload, RefusedBeforeAnyRequest) {
    const std::string bytes = installerBytes(100);
    UpdateManifest manifest = manifestFor(kName, bytes);
    UpdateServer server(manifest, bytes);
    std::string path;
    UpdateManifest unsafe = manifest;
    unsafe.fileName = "../escape.run";
    EXPECT_EQ(download(unsafe, path), 2);
    UpdateManifest shortDigest = manifest;
    shortDigest.fileSha256.pop_back();
    EXPECT_EQ(download(shortDigest, path), 2);
    UpdateManifest missing = manifest;
    missing.fileName = "absent.run";
    EXPECT_EQ(download(missing, path), 1);
    EXPECT_EQ(server.devstack->output().find("escape"), std::string::npos);
    configureUpdateClient("", "");
    EXPECT_EQ(download(manifest, path), 9);
}

// The file that runs is the one opened and hashed, even when another takes its name in between.
TEST(InstallerLaunch, RunsTheOpenedFileNotWhatItsPathNamesLater) {
    TempDir dir;
    const std::string record = (dir / "arguments.txt").string();
    const std::string path = (dir / "setup.run").string();
    const std::string genuine = recordingInstaller(record);
    writeFile(path, genuine);
    std::string error;
    platform::InstallerFile file = platform::openInstaller(path, error);
    ASSERT_TRUE(file.isOpen()) << error;

    writeFile(dir / "swap.run", "#!/bin/sh\necho swapped > '" + record + "'\n");
    fs::rename(dir / "swap.run", path);

    const platform::InstallerLaunch launch = platform::launchInstaller(file, {"/SILENT", "a b", "$HOME"});
    platform::closeInstaller(file);
    ASSERT_TRUE(launch.launched) << launch.systemCode;
    EXPECT_EQ(textOnceWritten(record), "/SILENT\na b\n$HOME\n");
    fs::create_symlink(path, dir / "link.run");
    EXPECT_FALSE(platform::openInstaller((dir / "link.run").string(), error).isOpen());
}
