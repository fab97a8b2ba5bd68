// The update tests' signing key (trusted through ABYSTO_DEV_UPDATE_KEY_FILE), installers, and the stand-in.
#pragma once

#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/temp_dir.h"
#include "tiles/file_digest.h"
#include "tools/sign-update/update_signer.h"
#include "update/update_client.h"

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kTestPlatform = "linux-x64";

// The run's key pair, trusted from the first call on.
inline const SigningKey& testSigningKey() {
    static const SigningKey key = [] {
        SigningKey made = generateSigningKeyInMemory();
        static TempDir keyDir;
        writeFile(keyDir / "update-key.pub", publicKeyHex(made) + "\n");
        setenv("ABYSTO_DEV_UPDATE_KEY_FILE", (keyDir / "update-key.pub").c_str(), 1);
        return made;
    }();
    return key;
}

// An installer of `size` bytes whose content depends on `seed`.
inline std::string installerBytes(size_t size, char seed = 'a') {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + (i * 7 + i / 251) % 23);
    return bytes;
}

// A script writing its arguments, one a line, to `record`; padded to `size` bytes for a visible download.
inline std::string recordingInstaller(const std::string& record, size_t size = 0) {
    std::string script = "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + "'\nexit 0\n";
    while (script.size() < size) script += "# " + std::string(78, '-') + "\n";
    return script;
}

// The text of `path` once something was written there (a started installer's record).
inline std::string textOnceWritten(const std::string& path) {
    waitUntil([&] { return !readFile(path).empty(); }, std::chrono::seconds(5), std::chrono::milliseconds(10));
    return readFile(path);
}

inline UpdateManifest manifestFor(const std::string& name, const std::string& bytes, const std::string& version = "1.0.3") {
    UpdateManifest manifest;
    manifest.version = version;
    manifest.minSupported = "1.0.0";
    manifest.rollout = 100;
    manifest.fileName = name;
    manifest.fileSize = static_cast<int64_t>(bytes.size());
    manifest.fileSha256 = sha256Text(bytes);
    manifest.changelog = "Corrections diverses.";
    return manifest;
}

// The stand-in offering `bytes` under `manifest`, and the folder the client downloads into.
struct UpdateServer {
    TempDir served;
    TempDir updates;
    std::unique_ptr<DevstackProcess> devstack;

    UpdateServer(const UpdateManifest& manifest, const std::string& bytes, std::vector<std::string> extraArgs = {}) {
        writeFile(served / manifest.fileName, bytes);
        writeFile(served / "manifest.json", signedManifestJson(testSigningKey(), kTestPlatform, manifest));
        std::vector<std::string> args = {"--update-manifest", (served / "manifest.json").string(), "--update-file",
                                         (served / manifest.fileName).string()};
        args.insert(args.end(), extraArgs.begin(), extraArgs.end());
        devstack = std::make_unique<DevstackProcess>(args);
        configureUpdateClient(devstack->url() + "/", updates.str());
    }
    std::string updatesPath(const std::string& name) const { return (updates / name).string(); }
};
