#include "app/config.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

// Where the tile server comes from: the variable, else config.json, else the
// compiled value; a bad file falls back with one line and never hides the variable.
TEST(Config, TileServerSourcesInTheirOrder) {
    const std::string fallback = kDefaultTileServer;
    const struct {
        const char* what;
        const char* file;      // nullptr: none; "/": a folder in its place
        const char* variable;  // nullptr: unset
        std::string value, out;
        const char* err;  // start of the error line, "" for none, nullptr: not looked at
    } rows[] = {
        {"nothing", nullptr, nullptr, fallback, "Serveur de dalles : " + fallback + "  [valeur compilee]\n", ""},
        {"file", R"({"tileServer": "http://127.0.0.1:8080/", "autre": 1})", nullptr, "http://127.0.0.1:8080/",
         "Serveur de dalles : http://127.0.0.1:8080/  [config.json]\n", ""},
        {"variable over file", R"({"tileServer": "http://127.0.0.1:8080/"})", "http://localhost:9", "http://localhost:9",
         "Serveur de dalles : http://localhost:9  [ABYSTO_TILE_SERVER]\n", ""},
        {"empty variable", R"({"tileServer": "http://127.0.0.1:8080/"})", "", "http://127.0.0.1:8080/",
         "Serveur de dalles : http://127.0.0.1:8080/  [config.json]\n", ""},
        {"empty member", R"({"tileServer": ""})", nullptr, fallback, "", ""},
        {"array", "[\"https://x\"]", nullptr, fallback, "", "config.json illisible ("},
        {"number", "{\"tileServer\": 42}", nullptr, fallback, "", "config.json illisible ("},
        {"comment", "{ // commentaire\n}", nullptr, fallback, "", "config.json illisible ("},
        {"empty file", "", nullptr, fallback, "", "config.json illisible ("},
        {"array and variable", "[1, 2]", "http://127.0.0.1:1", "http://127.0.0.1:1", "", nullptr},
        {"folder", "/", nullptr, fallback, "", "config.json illisible ("},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        TempDir exe;
        if (row.file && std::string(row.file) == "/") std::filesystem::create_directories(exe / "config.json");
        else if (row.file) writeFile(exe / "config.json", row.file);
        if (row.variable) setenv("ABYSTO_TILE_SERVER", row.variable, 1);
        else unsetenv("ABYSTO_TILE_SERVER");
        AppConfig config;
        const Captured c = captureStreams([&] { config = loadConfig(exe.str()); });
        unsetenv("ABYSTO_TILE_SERVER");
        EXPECT_EQ(config.tileServer, row.value);
        if (!row.out.empty()) EXPECT_EQ(c.out, row.out);
        if (!row.err) continue;
        EXPECT_EQ(c.err.rfind(row.err, 0), 0u) << c.err;
        if (std::string(row.what) == "folder") continue;
        EXPECT_EQ(countOf(c.err, "\n"), *row.err ? 1u : 0u) << c.err;
        if (*row.err) EXPECT_NE(c.err.find("), valeur par defaut utilisee.\n"), std::string::npos) << c.err;
    }
}
