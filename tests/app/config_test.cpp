#include "app/config.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

struct ConfigTest : testing::Test {
    TempDir exe;
    void SetUp() override { unsetenv("ABYSTO_TILE_SERVER"); }
    void TearDown() override { unsetenv("ABYSTO_TILE_SERVER"); }

    // Returns stdout + "|" + stderr of one load, and the value.
    std::pair<std::string, std::string> load() {
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        AppConfig c = loadConfig(exe.str());
        std::string out = testing::internal::GetCapturedStdout();
        return {out + "|" + testing::internal::GetCapturedStderr(), c.tileServer};
    }
};

} // namespace

TEST_F(ConfigTest, CompiledDefaultWithoutFileOrVariable) {
    auto [log, value] = load();
    EXPECT_EQ(value, kDefaultTileServer);
    EXPECT_EQ(log, std::string("Serveur de dalles : ") + kDefaultTileServer + "  [valeur compilee]\n|");
}

TEST_F(ConfigTest, FileThenVariableTakePrecedence) {
    writeFile(exe / "config.json", R"({"tileServer": "http://127.0.0.1:8080/", "autre": 1})");
    EXPECT_EQ(load().first, "Serveur de dalles : http://127.0.0.1:8080/  [config.json]\n|");

    setenv("ABYSTO_TILE_SERVER", "http://localhost:9", 1);
    EXPECT_EQ(load().first, "Serveur de dalles : http://localhost:9  [ABYSTO_TILE_SERVER]\n|");

    setenv("ABYSTO_TILE_SERVER", "", 1);  // empty counts as unset
    EXPECT_EQ(load().second, "http://127.0.0.1:8080/");
}

TEST_F(ConfigTest, EmptyMemberKeepsDefaultSilently) {
    writeFile(exe / "config.json", R"({"tileServer": ""})");
    auto [log, value] = load();
    EXPECT_EQ(value, kDefaultTileServer);
    EXPECT_EQ(log.substr(log.find('|')), "|");
}

TEST_F(ConfigTest, BadDocumentsFallBackWithOneErrorLine) {
    for (const char* doc : {"[\"https://x\"]", "{\"tileServer\": 42}", "{ // commentaire\n}", ""}) {
        writeFile(exe / "config.json", doc);
        auto [log, value] = load();
        EXPECT_EQ(value, kDefaultTileServer) << doc;
        const std::string err = log.substr(log.find('|') + 1);
        EXPECT_EQ(err.rfind("config.json illisible (", 0), 0u) << err;
        EXPECT_NE(err.find("), valeur par defaut utilisee.\n"), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
}

TEST_F(ConfigTest, ArrayStillLetsTheVariableWin) {
    writeFile(exe / "config.json", "[1, 2]");
    setenv("ABYSTO_TILE_SERVER", "http://127.0.0.1:1", 1);
    EXPECT_EQ(load().second, "http://127.0.0.1:1");
}

TEST_F(ConfigTest, DirectoryInPlaceOfTheFileIsReported) {
    std::filesystem::create_directories(exe / "config.json");
    auto [log, value] = load();
    EXPECT_EQ(value, kDefaultTileServer);
    EXPECT_NE(log.find("|config.json illisible ("), std::string::npos) << log;
}
