// The tile client's rules that need no server.
#include "tiles/cache_files.h"
#include "tiles/catalogue.h"
#include "tiles/file_digest.h"
#include "tiles/tile_server.h"

#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <tuple>

namespace fs = std::filesystem;

TEST(FileDigest, Sha256OfFilesAndTheirComparison) {
    TempDir dir;
    std::string big;  // longer than one read block; its digest is sha256sum's
    for (int i = 0; i < 200000; ++i) big += static_cast<char>('a' + i % 26);
    writeFile(dir / "big", big);
    EXPECT_EQ(sha256File((dir / "big").string()), "215fd793b3307b85788c29cd609b538beebaf5fb352bdf7c549fb6951ce0314d");
    EXPECT_EQ(sha256File((dir / "missing").string()), "");
    EXPECT_EQ(sha256File(dir.str()), "");  // a folder cannot be read

    const std::tuple<const char*, const char*, bool> cases[] = {
        {"abc0", "ABC0", true}, {"AbC", "aBc", true}, {"abc0", "abc1", false}, {"", "", false}, {"abc", "abcd", false}};
    for (const auto& [a, b, equal] : cases) EXPECT_EQ(digestsEqual(a, b), equal) << a << " / " << b;
}

TEST(TileServer, TransferOutcomesAndTheirMessages) {
    // The curl code, the HTTP status and the result.
    const std::tuple<int, long, TileResult> cases[] = {{42, 0, 9},  {23, 200, 8}, {7, 0, 6},   {0, 200, 0},
                                                       {0, 206, 0}, {0, 304, 0},  {0, 401, 1}, {0, 403, 2},
                                                       {0, 404, 3}, {0, 429, 4},  {0, 499, 6}, {0, 500, 5}};
    for (const auto& [curl, status, code] : cases)
        EXPECT_EQ(classifyTransfer(curl, status), code) << curl << " " << status;
    for (TileResult code = -1; code <= 11; ++code) EXPECT_EQ(isRetryable(code), code >= 5 && code <= 7) << code;
    EXPECT_STREQ(resultMessage(11), "Erreur inconnue");

    configureTileServer("http://dalles.test///", "");
    EXPECT_EQ(tileServerBaseUrl(), "http://dalles.test");
    configureTileServer("", "");
    EXPECT_FALSE(tileServerConfigured());
}

TEST(TileServer, ResponseHeaderCapture) {
    // A header line and the tag, digest and size it leaves.
    const std::tuple<std::string, std::string, std::string, int64_t> cases[] = {
        {"X-Tile-SIZE:   1234\r\n", "", "", 1234},
        {"x-tile-size: douze\r\n", "", "", 0},
        {"x-tile-size: 12x\r\n", "", "", 0},
        {"ETag: \"abc\"\r\n", "\"abc\"", "", 0},
        {"x-tile-sha256:\tABCDEF \t\r\n", "", "ABCDEF", 0},
        {"HTTP/1.1 200 OK\r\n", "", "", 0},
    };
    for (const auto& [line, etag, sha, size] : cases) {
        ResponseHeaders headers;
        EXPECT_EQ(captureResponseHeader(line.data(), 1, line.size(), headers), line.size());
        EXPECT_EQ(std::tuple(headers.etag, headers.sha256, headers.size), std::tuple(etag, sha, size)) << line;
    }
}

TEST(Catalogue, PathTemplateExpansion) {
    EXPECT_EQ(expandPathTemplate(kDefaultPathTemplate, 125, 6815, "FRA", "2021", "LAMB93_RGF93_IGN69"),
              "LITTO3D_FRA_0125_6815_R2/MNT1m/LITTO3D_FRA_0125_6815_MNT1M_2021_LAMB93_RGF93_IGN69.asc");
    // Inserted text is searched by the later passes only.
    EXPECT_EQ(expandPathTemplate("{gx}/{gy:04d}/{region}/{other}", 7, 8, "{date}", "D", "S"), "7/0008/D/{other}");
}

TEST(Catalogue, OnlyPathsInsideTheTileFolder) {
    EXPECT_TRUE(isSafeTilePath("a/b.asc"));
    using namespace std::string_literals;
    for (const std::string& path : {"../b.asc"s, "/etc/b.asc"s, "C:b.asc"s, "a\0.asc"s, "a/b.asc.sh"s, ".asc"s})
        EXPECT_FALSE(isSafeTilePath(path)) << path;
}

TEST(Catalogue, Parsing) {
    const struct {
        const char* json;
        bool ok;
        const char* error;  // start of the error
        size_t count, refused = 0;
    } cases[] = {
        {R"({"tiles": []})", true, "", 0},
        {R"({"tiles": [{"x": 0, "y": 5}, {"y": 5}, {"x": -3.5, "y": 5}, {"x": 1e300, "y": 5}, {"x": 3, "y": 4.9}]})",
         true, "", 1},
        {R"({"tiles": [[3, 4]]})", false, "catalogue illisible : ", 0},
        {R"({"tiles": {}})", false, "catalogue sans tableau 'tiles'", 0},
        {R"([1, 2])", false, "catalogue sans tableau 'tiles'", 0},
        {R"({"tile)", false, "catalogue illisible : ", 0},
        // Entries that would write outside the tile folder are left out, each with its line.
        {R"({"tiles": [{"x": 3, "y": 4, "d": "../../x"}, {"x": 3, "y": 5, "d": "C:"}, {"x": 3, "y": 6}]})", true, "", 1, 2},
    };
    for (const auto& c : cases) {
        std::vector<CatalogueTile> tiles(2);
        std::string error;
        bool ok = !c.ok;
        const Captured streams = captureStreams([&] { ok = parseCatalogue(c.json, tiles, error); });
        EXPECT_EQ(ok, c.ok) << c.json;
        EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.json << " → " << error;
        EXPECT_EQ(tiles.size(), c.ok ? c.count : 2u) << c.json;
        EXPECT_EQ(countOf(streams.err, "] chemin refusé"), c.refused) << streams.err;
    }

    std::vector<CatalogueTile> tiles;
    std::string error;
    ASSERT_TRUE(parseCatalogue(R"({"pathTemplate": "{region}/{gx}_{gy}_{date}_{suffix}.asc",
        "defaults": {"region": "BRE", "suffix": "S"}, "extra": 1,
        "tiles": [{"x": 125, "y": 6815, "s": 7000000, "cs": 2000000, "h": "AB", "d": "2020"},
                  {"x": 126, "y": 6815, "r": "FXX", "sf": "T", "unknown": true}]})",
                               tiles, error))
        << error;
    ASSERT_EQ(tiles.size(), 2u);
    EXPECT_EQ(tiles[0].path, "BRE/125_6815_2020_S.asc");
    EXPECT_EQ(tiles[0].size, 7000000);
    EXPECT_EQ(tiles[0].compressedSize, 2000000);
    EXPECT_EQ(tiles[0].sha256, "AB");
    EXPECT_EQ(tiles[1].path, "FXX/126_6815__T.asc");
}

TEST(Catalogue, MergeIntoTheTileList) {
    std::vector<TileInfo> list(2);
    list[0].gx = 125, list[0].gy = 6815, list[0].isLocal = true, list[0].localPath = "/t/a.asc";
    list[1].gx = 1, list[1].gy = 1, list[1].isLocal = true;
    std::vector<CatalogueTile> catalogue(3);
    catalogue[0].gx = 125, catalogue[0].gy = 6815, catalogue[0].path = "p.asc", catalogue[0].size = 9;
    catalogue[1].gx = 126, catalogue[1].gy = 6815, catalogue[1].sha256 = "cd";
    catalogue[2] = catalogue[1];  // listed twice: added once
    EXPECT_EQ(mergeCatalogue(catalogue, list), 1);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_TRUE(list[0].onServer && list[0].isLocal);
    EXPECT_EQ(list[0].catalogPath, "p.asc");
    EXPECT_EQ(list[0].size, 9);
    EXPECT_FALSE(list[1].onServer);
    EXPECT_TRUE(list[2].onServer && !list[2].isLocal);
    EXPECT_EQ(list[2].sha256, "cd");
}

TEST(CacheFiles, ReplacedInOneStep) {
    TempDir dir;
    const std::string file = (dir / "cache/catalog.v1.json").string();
    EXPECT_TRUE(writeFileReplacing(file, "old"));
    EXPECT_TRUE(writeFileReplacing(file, "new"));
    EXPECT_EQ(readWholeFile(file), "new");
    EXPECT_FALSE(fs::exists(file + ".part"));
    EXPECT_EQ(readWholeFile((dir / "absent").string()), "");
    // A folder in the way: the target is not touched and no ".part" stays.
    fs::create_directories(dir / "dossier");
    EXPECT_FALSE(writeFileReplacing((dir / "dossier").string(), "x"));
    EXPECT_TRUE(fs::is_directory(dir / "dossier"));
    EXPECT_FALSE(fs::exists(dir / "dossier.part"));
}
