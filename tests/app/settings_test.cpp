#include "app/paths.h"
#include "app/settings.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <regex>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

struct SettingsTest : testing::Test {
    TempDir temp;
    fs::path file;
    void SetUp() override {
        useAsUserHome(temp.path);
        resetPathsForTesting();
        resetSettingsForTesting();
        file = settingsFile();
    }
    void TearDown() override {
        resetSettingsForTesting();
        resetPathsForTesting();
    }
    json saved() { return json::parse(readFile(file)); }
    std::string loadCapturingErrors() { return captureStreams([] { loadSettings(); }).err; }
};

int64_t now() {
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

} // namespace

TEST_F(SettingsTest, FirstRunWritesDefaultsWithANewId) {
    EXPECT_EQ(loadCapturingErrors(), "");
    const std::string text = readFile(file);
    const json doc = json::parse(text);
    EXPECT_TRUE(std::regex_match(doc["installId"].get<std::string>(), std::regex("[0-9a-f]{32}")));
    EXPECT_EQ(doc["ignoredUpdateVersion"], "");
    EXPECT_EQ(doc["updateSnoozedUntil"], 0);
    // Two-space indentation, keys in order, one final line feed.
    EXPECT_EQ(text, "{\n  \"ignoredUpdateVersion\": \"\",\n  \"installId\": \"" + getInstallId() +
                        "\",\n  \"updateSnoozedUntil\": 0\n}\n");
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));

    const std::string id = getInstallId();
    resetSettingsForTesting();
    EXPECT_EQ(getInstallId(), id);  // kept for good
}

TEST_F(SettingsTest, SaveBeforeAnyLoadKeepsTheSavedId) {
    writeFile(file, R"({"installId": "0123456789abcdef0123456789abcdef", "ignoredUpdateVersion": "1.1.0",
                       "updateSnoozedUntil": 5})");
    saveSettings();
    EXPECT_EQ(saved()["installId"], "0123456789abcdef0123456789abcdef");
    EXPECT_EQ(saved()["ignoredUpdateVersion"], "1.1.0");
}

TEST_F(SettingsTest, ShortIdIsReplacedAndOtherValuesKept) {
    writeFile(file, R"({"installId": "0123456789abcdef0123456789abcde", "ignoredUpdateVersion": "1.1.0",
                        "updateSnoozedUntil": 1900000000, "autre": true})");
    EXPECT_EQ(loadCapturingErrors(), "");
    EXPECT_EQ(getInstallId().size(), 32u);
    EXPECT_NE(getInstallId(), "0123456789abcdef0123456789abcde");
    const json doc = saved();
    EXPECT_EQ(doc["ignoredUpdateVersion"], "1.1.0");
    EXPECT_EQ(doc["updateSnoozedUntil"], 1900000000);
    EXPECT_EQ(doc["installId"], getInstallId());
}

TEST_F(SettingsTest, WrongTypeOrGarbageResetsEverything) {
    for (const char* doc : {R"({"installId": "0123456789abcdef0123456789abcdef", "ignoredUpdateVersion": "2.0",
                               "updateSnoozedUntil": "demain"})",
                            R"({"updateSnoozedUntil": 1e300})", R"({"updateSnoozedUntil": 1.5})",
                            R"({"updateSnoozedUntil": 18446744073709551615})", "pas du json", "[]"}) {
        resetSettingsForTesting();
        writeFile(file, doc);
        const std::string err = loadCapturingErrors();
        EXPECT_EQ(err.rfind("[settings] fichier illisible, valeurs par defaut (", 0), 0u) << err;
        EXPECT_NE(getInstallId(), "0123456789abcdef0123456789abcdef");
        EXPECT_EQ(getIgnoredUpdateVersion(), "");
        EXPECT_EQ(getUpdateSnoozedUntil(), 0);
        EXPECT_EQ(saved()["installId"], getInstallId());
    }
}

TEST_F(SettingsTest, SnoozeAndIgnoreArePersisted) {
    const int64_t before = now();
    snoozeUpdatesForDays(-3);
    EXPECT_GE(getUpdateSnoozedUntil(), before);
    EXPECT_LE(getUpdateSnoozedUntil(), now());

    snoozeUpdatesForDays(7);
    EXPECT_GE(saved()["updateSnoozedUntil"].get<int64_t>(), before + 7 * 86400);

    setIgnoredUpdateVersion("1.0.9 — bêta");
    EXPECT_NE(readFile(file).find("1.0.9 — bêta"), std::string::npos);  // UTF-8 as is, not escaped

    clearUpdatePreferences();
    EXPECT_EQ(saved()["ignoredUpdateVersion"], "");
    EXPECT_EQ(saved()["updateSnoozedUntil"], 0);
}

TEST_F(SettingsTest, FailedSaveKeepsThePreviousFile) {
    loadSettings();
    const std::string before = readFile(file);
    fs::create_directories(file.string() + ".tmp");  // the temp file cannot be created
    EXPECT_EQ(captureStreams([] { setIgnoredUpdateVersion("9.9.9"); }).err, "[settings] enregistrement impossible\n");
    EXPECT_EQ(readFile(file), before);
}
