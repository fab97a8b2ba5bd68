// Orthophotos fetched over real HTTP from abysto-devstack, which draws them
// from small terrain tiles written here: a land tile beside a sea tile.
#include "viewer/satellite_image.h"
#include "viewer/satellite_texture.h"

#include "terrain/bathy.h"
#include "terrain/terrain_grid.h"

#include "tests/support/devstack_process.h"
#include "tests/support/grid_files.h"
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// 100 x 100 cells of 10 m: one kilometre, every cell at `height`.
std::string flatTile(int x0, int y0, double height) {
    std::string row;
    for (int i = 0; i < 100; ++i) row += (i ? " " : "") + std::to_string(height);
    return ascGrid(100, 100, x0, y0, "-99999", std::vector<std::string>(100, row), 10);
}

// The image with the 16-bit size fields of its JPEG frame header replaced.
std::string jpegAnnouncing(std::string jpeg, int width, int height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == '\xFF' && (jpeg[i + 1] == '\xC0' || jpeg[i + 1] == '\xC2')) {
            jpeg[i + 5] = char(height >> 8), jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8), jpeg[i + 8] = char(width);
            return jpeg;
        }
    }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

} // namespace

// Land tile at 145-146 km east, sea tile at 146-147 km, both from 6837 to 6838 km north.
class SatelliteImageTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        tiles = std::make_unique<TempDir>();
        writeFile(*tiles / "LITTO3D_FRA_0145_6838_MNT1M_2021_LAMB93_RGF93_IGN69.asc", flatTile(145000, 6837000, 20));
        writeFile(*tiles / "mer" / "LITTO3D_FRA_0146_6838_MNT1M_2021_LAMB93_RGF93_IGN69.asc",
                  flatTile(146000, 6837000, -10));
        devstack = std::make_unique<DevstackProcess>(std::vector<std::string>{"--tiles", tiles->str()});
    }
    static void TearDownTestSuite() {
        devstack.reset();
        tiles.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(devstack->started()) << devstack->output();
        setenv("ABYSTO_WMS_URL", devstack->url().c_str(), 1);
    }
    void TearDown() override { unsetenv("ABYSTO_WMS_URL"); }

    static std::unique_ptr<TempDir> tiles;
    static std::unique_ptr<DevstackProcess> devstack;
};

std::unique_ptr<TempDir> SatelliteImageTest::tiles;
std::unique_ptr<DevstackProcess> SatelliteImageTest::devstack;

// The terrain texture is asked for in Lambert-93 over exactly the box its
// texture coordinates span, so the image's shore lies on the mesh's from north
// to south (a latitude/longitude box would tilt it by some 40 pixels here).
TEST_F(SatelliteImageTest, TerrainTextureLiesOnTheMesh) {
    Bathy bathy({(*tiles / "LITTO3D_FRA_0145_6838_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string(),
                 (*tiles / "mer" / "LITTO3D_FRA_0146_6838_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string()});
    bathy.logGeoTransform();
    TerrainGrid grid;
    grid.dataset = &bathy;
    grid.generate();
    Lambert93Box box;
    ASSERT_TRUE(textureBoxOf(grid, box));
    EXPECT_DOUBLE_EQ(box.minX, 145000.0);
    EXPECT_DOUBLE_EQ(box.maxX, 146990.0);
    EXPECT_DOUBLE_EQ(box.maxY, 6838000.0);
    EXPECT_DOUBLE_EQ(box.minY, 6837010.0);

    const int height = textureImageHeight(box);
    EXPECT_EQ(height, 509);  // 990 m high over 1990 m wide at 1024 pixels
    const SatelliteImage image = fetchSatelliteImageLambert93(box.minX, box.minY, box.maxX, box.maxY, 1024, height);
    ASSERT_TRUE(image.ok);
    EXPECT_TRUE(devstack->waitForOutput("&CRS=EPSG:2154&BBOX=145000.00,6837010.00,146990.00,6838000.00&WIDTH=1024"
                                        "&HEIGHT=509 -> 200\n"))
        << devstack->output();
    // The column where the land tile ends, as the mesh's u = (x - minX) / width puts it.
    const int shore = static_cast<int>((146000.0 - box.minX) / (box.maxX - box.minX) * image.width);
    for (int row : {2, image.height / 2, image.height - 3}) {
        const uint8_t* ground = &image.pixels[(static_cast<size_t>(row) * image.width + shore - 4) * 3];
        const uint8_t* water = ground + 8 * 3;
        EXPECT_GT(ground[1], ground[2] + 20) << "row " << row;  // green over blue
        EXPECT_GT(water[2], water[0] + 30) << "row " << row;    // blue over red
    }
}

TEST_F(SatelliteImageTest, ImageHeightsKeepTheBoxRatioWithinLimits) {
    EXPECT_EQ(satelliteImageHeight(-4.55, 48.35, -4.4, 48.45), 682);  // 0.1 high, 0.15 wide
    EXPECT_EQ(satelliteImageHeight(2.0, 48.0, 2.00005, 48.1), 1024);  // too narrow to keep a ratio
    EXPECT_EQ(textureImageHeight({0, 0, 1000, 9000}), 4096);
    EXPECT_EQ(textureImageHeight({0, 0, 9000, 1}), 1);
}

// A JPEG is taken whatever the status and after redirects; anything else is
// refused with the reason on the error stream. The box goes latitude first, six digits; a base URL's
// final slash is dropped.
TEST_F(SatelliteImageTest, WhatEachAnswerGives) {
    const std::string curlError = "Erreur curl : ";
    const struct { std::string base; int width, height; bool ok; std::string error, logged; } cases[] = {
        {devstack->url() + "/", 64, 48, true, "",
         "WMS /wms-r?LAYERS=OI.OrthoimageCoverage&FORMAT=image/jpeg&SERVICE=WMS&VERSION=1.3.0&REQUEST=GetMap"
         "&STYLES=&CRS=EPSG:4326&BBOX=48.3877,-4.50772,48.4063,-4.48339&WIDTH=64&HEIGHT=48 -> 200\n"},
        {devstack->url() + "/status/500", 64, 40, true, "", "&WIDTH=64&HEIGHT=40 -> 500\n"},
        {devstack->url() + "/redirect", 32, 24, true, "", "&WIDTH=32&HEIGHT=24 -> 302\n"},
        {closedPortUrl(), 64, 48, false, curlError + curl_easy_strerror(CURLE_COULDNT_CONNECT) + "\n", ""},
        // An endless answer is cut off instead of filling the memory.
        {devstack->url() + "/huge", 64, 48, false, curlError + curl_easy_strerror(CURLE_WRITE_ERROR) + "\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.base + " " + c.logged);
        setenv("ABYSTO_WMS_URL", c.base.c_str(), 1);
        SatelliteImage image;
        EXPECT_EQ(captureStreams([&] {
                      image = fetchSatelliteImage(-4.5077222, 48.38765, -4.4833857, 48.4062755, c.width, c.height);
                  }).err,
                  c.error);
        EXPECT_EQ(image.ok, c.ok);
        EXPECT_EQ(image.pixels.size(), c.ok ? size_t(c.width) * size_t(c.height) * 3 : 0u);
        EXPECT_EQ(image.height, c.ok ? c.height : 0);
        EXPECT_TRUE(c.logged.empty() || devstack->waitForOutput(c.logged)) << devstack->output();
    }
}

// What the decoder would reserve comes from the image's own header: a size
// the bytes cannot hold, a chunk longer than the body, or a format never asked
// for is refused before decoding.
TEST(SatelliteImageDecoding, ImagesAreCheckedAgainstTheirBytesBeforeDecoding) {
    const std::string jpeg = readFile(ABYSTO_SOURCE_DIR "/tests/fuzz/seeds/wms/standin_small.jpg");
    const std::string png = readFile(ABYSTO_SOURCE_DIR "/tests/fuzz/seeds/wms/small.png");
    ASSERT_FALSE(jpeg.empty());
    ASSERT_FALSE(png.empty());
    std::string pngHugeData = png;
    const size_t idatAt = pngHugeData.find("IDAT");
    ASSERT_NE(idatAt, std::string::npos);
    pngHugeData.replace(idatAt - 4, 4, "\x7F\xFF\xFF\xF0", 4);
    const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xFF\xFF\xFF\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00"
                          "\x00\x02\x02\x44\x01\x00;", 35);
    struct Case {
        const char* name;
        std::string body;
        int width;  // 0: refused
        int height;
    };
    const std::vector<Case> cases = {
        {"JPEG", jpeg, 32, 16},
        {"PNG", png, 8, 6},
        {"JPEG announcing 60000 x 60000", jpegAnnouncing(jpeg, 60000, 60000), 0, 0},
        {"JPEG announcing 4000 x 4000 in 636 bytes", jpegAnnouncing(jpeg, 4000, 4000), 0, 0},
        {"PNG data chunk of 2 GiB", pngHugeData, 0, 0},
        {"PNG cut short", png.substr(0, png.size() - 20), 0, 0},
        {"GIF", gif, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SatelliteImage image;
        const std::string err = captureStreams([&] { image = decodeSatelliteImage(c.body); }).err;
        EXPECT_EQ(image.ok, c.width > 0);
        EXPECT_EQ(image.width, c.width);
        EXPECT_EQ(image.height, c.height);
        EXPECT_EQ(image.pixels.size(), size_t(c.width) * size_t(c.height) * 3);
        EXPECT_EQ(err, c.width > 0 ? "" : "Erreur décodage image WMS (réponse non-image ?).\n");
    }
}
