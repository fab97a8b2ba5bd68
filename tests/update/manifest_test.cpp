// Manifest checks, signatures, versions and the offer decision: no network.
#include "tests/update/update_fixture.h"
#include "update/update_signature.h"
#include "update/update_status.h"
#include "update/update_version.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <functional>

using nlohmann::json;

namespace {

// The signed document, parsed so that a test can change a field after the signature was made.
json signedDocument(const UpdateManifest& manifest, const std::string& platform = kTestPlatform) {
    return json::parse(signedManifestJson(testSigningKey(), platform, manifest));
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

Outcome validate(const std::string& text) {
    Outcome out;
    out.reason = validateManifest(text, kTestPlatform, out.manifest, out.detail);
    return out;
}

// Another byte of the same kind, so the document stays well formed.
char otherByte(char c) {
    if (c >= '0' && c <= '9') return c == '9' ? '8' : static_cast<char>(c + 1);
    if (c >= 'a' && c <= 'z') return c == 'z' ? 'y' : static_cast<char>(c + 1);
    if (c >= 'A' && c <= 'Z') return c == 'Z' ? 'Y' : static_cast<char>(c + 1);
    return c == '_' ? '-' : '_';
}

} // namespace

TEST(UpdateManifest, DocumentRulesInTheirOrder) {
    struct Row {
        const char* what;
        std::function<void(json&)> edit;
        int reason;
        std::string detail;
    };
    const std::vector<Row> rows = {
        {"as signed", [](json&) {}, 0, ""},
        {"schema absent", [](json& d) { d.erase("schema"); }, 0, ""},
        {"schema as text", [](json& d) { d["schema"] = "1"; }, 0, ""},
        {"schema 2", [](json& d) { d["schema"] = 2; }, 5, "schema 2 inconnu"},
        {"rollout as text", [](json& d) { d["rollout"] = "42"; }, 0, ""},
        {"size as text", [](json& d) { d["file"]["size"] = "12345"; }, 0, ""},
        {"rollout 100.0", [](json& d) { d["rollout"] = 100.0; }, 1, "champ rollout invalide"},
        {"rollout -5", [](json& d) { d["rollout"] = -5; }, 1, "champ rollout invalide"},
        {"rollout 101", [](json& d) { d["rollout"] = 101; }, 1, "champ rollout invalide"},
        {"rollout true", [](json& d) { d["rollout"] = true; }, 1, "champ rollout invalide"},
        {"rollout 4x", [](json& d) { d["rollout"] = "4x"; }, 1, "champ rollout invalide"},
        {"no version", [](json& d) { d.erase("version"); }, 1, "champ version"},
        {"signature a number", [](json& d) { d["signature"] = 7; }, 1, "champ signature"},
        {"file a string", [](json& d) { d["file"] = "x"; }, 1, "champ file"},
        {"size 0", [](json& d) { d["file"]["size"] = 0; }, 1, "champ file.size invalide"},
        {"dot dot slash", [](json& d) { d["file"]["name"] = "../abysto.run"; }, 1,
         "nom de fichier refuse : ../abysto.run"},
        {"drive colon", [](json& d) { d["file"]["name"] = "C:abysto.exe"; }, 1, "nom de fichier refuse : C:abysto.exe"},
        {"other platform", [](json& d) { d["platform"] = "win-x64"; }, 2, "plateforme win-x64 au lieu de linux-x64"},
        // Correctly signed, but for another platform.
        {"signed for another platform", [](json& d) { d = signedDocument(betaManifest(), "win-x64"); }, 2,
         "plateforme win-x64 au lieu de linux-x64"},
        {"changelog changed", [](json& d) { d["changelog"] = "Autre chose."; }, 3, "empreinte du changelog incoherente"},
        {"signature of zeros", [](json& d) { d["signature"] = std::string(128, '0'); }, 4,
         "aucune cle de confiance ne valide cette signature"},
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
    EXPECT_EQ(validate("[1, 2]").detail, "le manifeste n'est pas un objet");
    const Outcome broken = validate("{\"version\": ");
    EXPECT_EQ(broken.reason, 1);
    EXPECT_EQ(broken.detail.rfind("JSON invalide : ", 0), 0u) << broken.detail;
}

TEST(UpdateManifest, EveryByteOfEverySignedFieldIsCovered) {
    const json signedDoc = signedDocument(betaManifest());
    // Each signed field, and the reason a change of any one of its bytes gives.
    const std::pair<const char*, int> fields[] = {
        {"/version", 4}, {"/minSupported", 4}, {"/file/name", 4}, {"/file/sha256", 4},
        {"/rollout", 4}, {"/file/size", 4},    {"/platform", 2},  {"/changelog", 3},
    };
    int changed = 0;
    for (const auto& [field, reason] : fields) {
        const json::json_pointer pointer(field);
        const json& value = signedDoc.at(pointer);
        const std::string text = value.is_string() ? value.get<std::string>() : value.dump();
        for (size_t i = 0; i < text.size(); ++i, ++changed) {
            std::string altered = text;
            altered[i] = otherByte(altered[i]);
            json doc = signedDoc;
            doc[pointer] = value.is_string() ? json(altered) : json::parse(altered);
            EXPECT_EQ(validate(doc.dump()).reason, reason) << field << " byte " << i << ": " << altered;
        }
    }
    // The changelog digest is compared without regard to case before the
    // signature is checked: a letter in the other case reaches the signature,
    // any other change is caught as a digest that does not match.
    const std::string digest = signedDoc.at("changelogSha256");
    for (size_t i = 0; i < digest.size(); ++i, ++changed) {
        std::string altered = digest;
        const bool letter = altered[i] >= 'a' && altered[i] <= 'f';
        altered[i] = letter ? static_cast<char>(altered[i] - 'a' + 'A') : otherByte(altered[i]);
        json doc = signedDoc;
        doc["changelogSha256"] = altered;
        EXPECT_EQ(validate(doc.dump()).reason, letter ? 4 : 3) << "changelogSha256 byte " << i;
    }
    EXPECT_GT(changed, 150);
}

TEST(UpdateSignature, EitherReleaseKeyAloneVerifies) {
    // Manifests signed with sign-update and each release key (whose private
    // halves are kept outside the repository); a signature is public.
    const std::vector<std::string> keys = trustedUpdateKeys();
    ASSERT_GE(keys.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        const std::string file = std::string(ABYSTO_SOURCE_DIR) + "/tests/update/data/release-key-" +
                                 std::to_string(k + 1) + ".json";
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
    std::string upper = sig;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_TRUE(verifySignature(key, message, upper));
    const std::vector<std::pair<std::string, std::string>> bad = {
        {key.substr(2), sig},       {key + "00", sig},          {key.substr(1) + "g", sig},
        {key, sig.substr(2)},       {key, sig + "00"},          {key, sig.substr(1) + "z"},
        {key, sig.substr(1)},       {"", sig},                  {std::string(128, '0'), sig},
    };
    for (const auto& [k, s] : bad) EXPECT_FALSE(verifySignature(k, message, s)) << k << " / " << s;
}

TEST(UpdateVersion, ParsingAndOrder) {
    const struct {
        const char* text;
        int major, minor, patch;
        const char* pre;
    } valid[] = {{" v1.2.3 ", 1, 2, 3, ""}, {"V2", 2, 0, 0, ""}, {"1.0.3-beta+build.5", 1, 0, 3, "beta"},
                 {"1000000.0", 1000000, 0, 0, ""}};
    for (const auto& r : valid) {
        const ParsedVersion v = parseVersion(r.text);
        EXPECT_EQ(std::tuple(v.valid, v.major, v.minor, v.patch, v.preRelease),
                  std::tuple(true, r.major, r.minor, r.patch, std::string(r.pre)))
            << r.text;
    }
    for (const char* text : {"1000001", "1.", "1.2.3-", "1.2.3.4", "", "x1"})
        EXPECT_FALSE(parseVersion(text).valid) << text;
    const char* ascending[] = {"garbage", "1.2.0-rc10", "1.2.0-rc2", "1.2.0", "1.2.1", "1.10"};
    for (size_t i = 0; i + 1 < std::size(ascending); ++i) {
        EXPECT_EQ(compareVersions(parseVersion(ascending[i]), parseVersion(ascending[i + 1])), -1) << ascending[i];
        EXPECT_EQ(compareVersions(parseVersion(ascending[i + 1]), parseVersion(ascending[i])), 1) << ascending[i];
    }
    EXPECT_EQ(compareVersions(parseVersion("1.2"), parseVersion("v1.2.0+x")), 0);
    EXPECT_EQ(compareVersions(parseVersion("?"), parseVersion("!")), 0);
}

TEST(UpdateVersion, DecisionTable) {
    const struct {
        const char *installed, *offered, *minimum;
        int rollout;
        int decision;
    } rows[] = {
        {"1.0.2", "1.0.3", "1.0.0", 100, 1},      {"1.0.2", "1.0.3", "1.0.3", 100, 2},
        {"1.0.2", "1.0.2", "1.0.0", 100, 0},      {"1.0.2", "1.0.3-beta", "1.0.0", 100, 1},
        {"1.0.3-beta", "1.0.3", "1.0.0", 100, 1}, {"1.0.2", "1.0.3", "1.0.0", 0, 0},
        {"1.0.2", "1.0.3", "1.0.3", 0, 2},        {"1.0.2", "1.0.1", "1.0.3", 100, 0},
        {"1.0.2", "n/a", "1.0.0", 100, 0},        {"1.0.2", "1.0.3", "n/a", 100, 1},
    };
    for (const auto& r : rows) {
        UpdateManifest m;
        m.version = r.offered;
        m.minSupported = r.minimum;
        m.rollout = r.rollout;
        EXPECT_EQ(decideUpdate(m, r.installed, "0123456789abcdef0123456789abcdef"), r.decision)
            << r.installed << " " << r.offered << " " << r.minimum << " " << r.rollout;
    }
}

TEST(UpdateVersion, RolloutIsStableAndOnlyGrows) {
    int in40 = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string id = "install-" + std::to_string(i);
        const bool at40 = inRollout(id, 40);
        in40 += at40;
        EXPECT_EQ(at40, inRollout(id, 40));
        if (at40) {
            EXPECT_TRUE(inRollout(id, 41)) << id;
        }
        EXPECT_FALSE(inRollout(id, 0));
        EXPECT_TRUE(inRollout(id, 100));
    }
    EXPECT_GT(in40, 120);
    EXPECT_LT(in40, 200);
    EXPECT_FALSE(inRollout("", 99));
}

TEST(UpdateManifest, SafeFileNames) {
    for (const std::string& good : {std::string("abysto-1.0.3-setup.exe"), std::string("a"),
                                   std::string("A_b.c-d.run"), std::string(128, 'x')})
        EXPECT_TRUE(isSafeUpdateFileName(good)) << good;
    for (const std::string& bad : {std::string(), std::string(129, 'x'), std::string("../x"), std::string("a..b"),
                                  std::string(".hidden"), std::string("-rf"), std::string("C:x"),
                                  std::string("a/b"), std::string("a\\b"), std::string("a b"),
                                  std::string("é.run")})
        EXPECT_FALSE(isSafeUpdateFileName(bad)) << bad;
}
