// Manifest checks, signatures, versions and the offer decision: no network.
#include "tests/update/update_fixture.h"
#include "update/update_signature.h"
#include "update/update_status.h"
#include "update/update_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>
#include <tuple>

using nlohmann::json;

namespace {

// The signed document, parsed so that a test can change a field after the signature was made.
json signedDocument(const UpdateManifest& manifest) {
    return json::parse(signedManifestJson(testSigningKey(), kTestPlatform, manifest));
}

UpdateManifest betaManifest(int rollout = 42) {
    UpdateManifest manifest = manifestFor("abysto-1.0.3-setup.run", installerBytes(12345));
    manifest.version = "1.0.3-beta";
    manifest.rollout = rollout;
    return manifest;
}

struct Outcome {
    int reason = -1;
    std::string detail;
    UpdateManifest manifest;
};

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

Outcome validate(const std::string& text) {
    Outcome out;
    out.reason = validateManifest(text, kTestPlatform, out.manifest, out.detail);
    return out;
}

} // namespace

TEST(UpdateManifest, DocumentRulesInTheirOrder) {
    const std::string noKey = "aucune cle de confiance ne valide cette signature";
    struct Row {
        const char* what;
        std::function<void(json&)> edit;
        int reason;
        std::string detail;
    };
    const std::vector<Row> rows = {
        {"as signed", [](json&) {}, 0, ""},
        {"schema absent", [](json& d) { d.erase("schema"); }, 0, ""},
        {"schema 2", [](json& d) { d["schema"] = 2; }, 5, "schema 2 inconnu"},
        {"rollout as text", [](json& d) { d["rollout"] = "42"; }, 0, ""},
        {"rollout 100.0", [](json& d) { d["rollout"] = 100.0; }, 1, "champ rollout invalide"},
        {"rollout -5", [](json& d) { d["rollout"] = -5; }, 1, "champ rollout invalide"},
        {"rollout 101", [](json& d) { d["rollout"] = 101; }, 1, "champ rollout invalide"},
        {"rollout 4x", [](json& d) { d["rollout"] = "4x"; }, 1, "champ rollout invalide"},
        {"no version", [](json& d) { d.erase("version"); }, 1, "champ version"},
        {"signature a number", [](json& d) { d["signature"] = 7; }, 1, "champ signature"},
        {"not an object", [](json& d) { d = json::array({1, 2}); }, 1, "le manifeste n'est pas un objet"},
        {"file a string", [](json& d) { d["file"] = "x"; }, 1, "champ file"},
        {"size 0", [](json& d) { d["file"]["size"] = 0; }, 1, "champ file.size invalide"},
        {"dot dot", [](json& d) { d["file"]["name"] = "a..run"; }, 1, "nom de fichier refuse : a..run"},
        {"other platform", [](json& d) { d["platform"] = "win-x64"; }, 2, "plateforme win-x64 au lieu de linux-x64"},
        {"changelog changed", [](json& d) { d["changelog"] = "Autre chose."; }, 3, "empreinte du changelog incoherente"},
        {"signature of zeros", [](json& d) { d["signature"] = std::string(128, '0'); }, 4, noKey},
        // Each signed field changed after signing; the changelog's digest is
        // compared without regard to case, so in capitals it reaches the signature.
        {"version", [](json& d) { d["version"] = "1.0.4-beta"; }, 4, noKey},
        {"minSupported", [](json& d) { d["minSupported"] = "1.0.1"; }, 4, noKey},
        {"rollout 43", [](json& d) { d["rollout"] = 43; }, 4, noKey},
        {"file name", [](json& d) { d["file"]["name"] = "abysto-1.0.4-setup.run"; }, 4, noKey},
        {"file size", [](json& d) { d["file"]["size"] = 12346; }, 4, noKey},
        {"file digest", [](json& d) { d["file"]["sha256"] = std::string(64, 'a'); }, 4, noKey},
        {"digest in capitals", [](json& d) { d["changelogSha256"] = upper(d["changelogSha256"].get<std::string>()); },
         4, noKey},
        // A rollout of 0, signed as such: published, offered to nobody yet.
        {"rollout 0", [](json& d) { d = signedDocument(betaManifest(0)); }, 0, ""},
    };
    const json doc = signedDocument(betaManifest());
    for (const Row& row : rows) {
        json edited = doc;
        row.edit(edited);
        const Outcome out = validate(edited.dump());
        EXPECT_EQ(out.reason, row.reason) << row.what;
        EXPECT_EQ(out.detail, row.detail) << row.what;
        EXPECT_EQ(out.manifest.fileName.empty(), row.reason != 0) << row.what;
    }
    EXPECT_EQ(validate(signedDocument(betaManifest(0)).dump()).manifest.rollout, 0);
    const Outcome broken = validate("{\"version\": ");
    EXPECT_EQ(broken.reason, 1);
    EXPECT_EQ(broken.detail.rfind("JSON invalide : ", 0), 0u) << broken.detail;
}

TEST(UpdateSignature, EitherReleaseKeyAloneVerifies) {
    // Signed with sign-update and each release key, whose private halves are kept outside the repository.
    const std::vector<std::string> keys = trustedUpdateKeys();
    ASSERT_GE(keys.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        const std::string file = ABYSTO_SOURCE_DIR "/tests/update/data/release-key-" + std::to_string(k + 1) + ".json";
        const std::string text = readFile(file);
        const Outcome out = validate(text);
        EXPECT_EQ(out.reason, 0) << file << ": " << out.detail;
        const json doc = json::parse(text);
        const std::string message = canonicalSignedText(kTestPlatform, out.manifest, doc["changelogSha256"]);
        EXPECT_TRUE(verifySignature(keys[k], message, doc["signature"])) << k;
        EXPECT_FALSE(verifySignature(keys[1 - k], message, doc["signature"])) << k;
    }
}

TEST(UpdateSignature, MalformedKeysAndSignaturesFail) {
    const std::string message = "abysto-update-v1";
    const std::string key = publicKeyHex(testSigningKey());
    const std::string sig = signMessage(testSigningKey(), message);
    ASSERT_TRUE(verifySignature(key, message, sig));
    EXPECT_TRUE(verifySignature(key, message, upper(sig)));
    const std::vector<std::pair<std::string, std::string>> bad = {
        {key.substr(2), sig}, {key + "00", sig},          {key, sig.substr(2)},          {key, sig + "00"},
        {key, sig.substr(1)}, {key, sig.substr(1) + "z"}, {std::string(128, '0'), sig},
    };
    for (const auto& [k, s] : bad) EXPECT_FALSE(verifySignature(k, message, s)) << k << " / " << s;
}

TEST(UpdateVersion, ParsingAndOrder) {
    const std::tuple<const char*, int, int, int, std::string> valid[] = {
        {" v1.9.3 ", 1, 9, 3, ""}, {"V2", 2, 0, 0, ""}, {"1.0.3-beta+build.5", 1, 0, 3, "beta"},
        {"1000000.0", 1000000, 0, 0, ""}};
    for (const auto& [text, major, minor, patch, pre] : valid) {
        const ParsedVersion v = parseVersion(text);
        const auto read = std::tuple(v.valid, v.major, v.minor, v.patch, v.preRelease);
        EXPECT_EQ(read, std::tuple(true, major, minor, patch, pre)) << text;
    }
    for (const char* text : {"1000001", "1.", "1.2.3-", "1.2.3.4", "", "x1"})
        EXPECT_FALSE(parseVersion(text).valid) << text;
    const char* ascending[] = {"garbage", "1.2.0-rc10", "1.2.0-rc2", "1.2.0", "1.2.1", "1.9", "1.10"};
    for (size_t i = 0; i + 1 < std::size(ascending); ++i) {
        EXPECT_EQ(compareVersions(parseVersion(ascending[i]), parseVersion(ascending[i + 1])), -1) << ascending[i];
        EXPECT_EQ(compareVersions(parseVersion(ascending[i + 1]), parseVersion(ascending[i])), 1) << ascending[i];
    }
    EXPECT_EQ(compareVersions(parseVersion("1.2"), parseVersion("v1.2.0+x")), 0);
    EXPECT_EQ(compareVersions(parseVersion("?"), parseVersion("!")), 0);
}

TEST(UpdateVersion, DecisionTable) {
    // Installed, offered, minimum supported, rollout and the decision.
    const std::tuple<const char*, const char*, const char*, int, int> rows[] = {
        {"1.0.2", "1.0.3", "1.0.0", 100, 1}, {"1.0.2", "1.0.3", "1.0.3", 100, 2}, {"1.0.2", "1.0.2", "1.0.0", 100, 0},
        {"1.0.2", "1.0.3", "1.0.0", 0, 0},   {"1.0.2", "1.0.3", "1.0.3", 0, 2},   {"1.0.2", "1.0.1", "1.0.3", 100, 0},
        {"1.0.2", "n/a", "1.0.0", 100, 0},   {"1.0.2", "1.0.3", "n/a", 100, 1},   {"n/a", "1.0.3", "1.0.0", 100, 0},
    };
    for (const auto& [installed, offered, minimum, rollout, decision] : rows) {
        UpdateManifest m;
        m.version = offered;
        m.minSupported = minimum;
        m.rollout = rollout;
        EXPECT_EQ(decideUpdate(m, installed, "0123456789abcdef0123456789abcdef"), decision)
            << installed << " " << offered << " " << minimum << " " << rollout;
    }
}

TEST(UpdateVersion, RolloutTakesItsShareAndOnlyGrows) {
    int in40 = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string id = "install-" + std::to_string(i);
        in40 += inRollout(id, 40);
        EXPECT_TRUE(!inRollout(id, 40) || inRollout(id, 41)) << id;
    }
    EXPECT_GT(in40, 120);
    EXPECT_LT(in40, 200);
    EXPECT_FALSE(inRollout("", 99));
}

TEST(UpdateManifest, SafeFileNames) {
    for (const std::string& good :
         std::vector<std::string>{"abysto-1.0.3-setup.exe", "A_b.c-d.run", std::string(128, 'x')})
        EXPECT_TRUE(isSafeUpdateFileName(good)) << good;
    for (const std::string& bad :
         std::vector<std::string>{"", std::string(129, 'x'), "a..b", ".hidden", "-rf", "C:x", "a b", "é.run"})
        EXPECT_FALSE(isSafeUpdateFileName(bad)) << bad;
}
