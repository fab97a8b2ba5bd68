// The marker CSV and GPX files and the BMP screenshot, byte for byte, and
// the file writer they share.
#include "tests/support/log_capture.h"
#include "tests/support/temp_dir.h"
#include "viewer/core/exports.h"

#include <gtest/gtest.h>

namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

} // namespace

TEST(MarkersCsv, HeaderThenOneLinePerConvertedMarkerKeepingItsNumber) {
    const std::string csv = markersCsv({{10, 20, -3.4f}, {11, 21, -5.0f}, {12, 22, 2.5f}},
                                       {GeoPoint{48.387654, -4.487654}, std::nullopt, GeoPoint{48.4, -4.5}}, 1.2f);
    EXPECT_EQ(csv,
              "numero;latitude;longitude;profondeur_m;hauteur_eau_m\r\n"
              "1;48.3877;-4.48765;-3.4;4.6\r\n"
              "3;48.4;-4.5;2.5;0\r\n");  // above the sea: water 0, never negative
}

TEST(MarkersGpx, WaypointsWithTwoDecimalDepths) {
    const std::vector<DepthMarker> markers = {{0, 0, -12.345f}, {1, 1, 3.0f}};
    const std::string gpx = markersGpx(markers, {GeoPoint{48.5, -4.25}, std::nullopt});
    EXPECT_EQ(gpx,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<gpx version=\"1.1\" creator=\"Abysto 3D\">\r\n"
              "  <wpt lat=\"48.5\" lon=\"-4.25\">\r\n"
              "    <name>Marqueur 1</name>\r\n"
              "    <desc>Profondeur: -12.35 m</desc>\r\n"
              "    <ele>-12.35</ele>\r\n"
              "  </wpt>\r\n"
              "</gpx>\r\n");
}

TEST(MarkerPositions, GridOriginPlusMarkerThroughLambert93) {
    // The grid's top-left corner at (699990, 6600010); a marker 10 m east and 10 m south of it.
    const auto p = markerPositionsWgs84({{10, 10, -1}}, 699990, 6600010);
    ASSERT_EQ(p.size(), 1u);
    ASSERT_TRUE(p[0].has_value());
    EXPECT_NEAR(p[0]->lat, 46.5, 1e-6);
    EXPECT_NEAR(p[0]->lon, 3.0, 1e-6);
}

TEST(Screenshot, BmpHeaderAndPaddedRowsFor1366Pixels) {
    const int w = 1366, h = 2;
    std::vector<uint8_t> rgb(w * h * 3);
    for (int i = 0; i < w * h; ++i) {
        rgb[3 * i] = static_cast<uint8_t>(i);           // red
        rgb[3 * i + 1] = static_cast<uint8_t>(i >> 8);  // green
        rgb[3 * i + 2] = 200;                           // blue
    }
    const std::vector<uint8_t> bmp = encodeBmp(w, h, rgb);
    const size_t rowSize = 4100;  // 4098 rounded up to a multiple of 4
    ASSERT_EQ(bmp.size(), 54 + rowSize * h);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    // File size, pixel offset, header size, width, height (positive: bottom-up
    // rows, as read), 1 plane and 24 bits, image size.
    const std::pair<size_t, uint32_t> fields[] = {
        {2, 54 + rowSize * h}, {10, 54}, {14, 40}, {18, 1366}, {22, 2}, {26, 1 | 24 << 16}, {34, rowSize * h},
    };
    for (const auto& [at, value] : fields) EXPECT_EQ(le32(bmp, at), value) << at;
    // Pixels as blue, green, red; the rows keep their order; two zero bytes end each row.
    for (int row = 0; row < h; ++row) {
        const size_t start = 54 + row * rowSize;
        for (int x : {0, 700, w - 1}) {
            const int i = row * w + x;
            EXPECT_EQ(bmp[start + 3 * x], 200);
            EXPECT_EQ(bmp[start + 3 * x + 1], static_cast<uint8_t>(i >> 8));
            EXPECT_EQ(bmp[start + 3 * x + 2], static_cast<uint8_t>(i));
        }
        EXPECT_EQ(bmp[start + 4098], 0);
        EXPECT_EQ(bmp[start + 4099], 0);
    }
    // A width that is already a multiple of four bytes needs no padding.
    EXPECT_EQ(encodeBmp(4, 1, std::vector<uint8_t>(12, 1)).size(), 54u + 12u);
}

TEST(ExportFile, WritesBytesAsTheyAreAndSaysWhenItCannot) {
    TempDir dir;
    const std::string bytes = "a;b\r\n1;2\r\n";
    ASSERT_TRUE(writeExportFile((dir / "m.csv").string(), bytes));
    EXPECT_EQ(readFile(dir / "m.csv"), bytes);
    ASSERT_TRUE(writeExportFile((dir / "m.csv").string(), "x"));  // replaced, not appended
    EXPECT_EQ(readFile(dir / "m.csv"), "x");

    const std::string missing =
        captureStreams([&] { EXPECT_FALSE(writeExportFile((dir / "absent" / "m.csv").string(), bytes)); }).err;
    EXPECT_NE(missing.find("Erreur : impossible d'ouvrir "), std::string::npos) << missing;
    // /dev/full opens, but the write fails.
    const std::string full = captureStreams([&] { EXPECT_FALSE(writeExportFile("/dev/full", bytes)); }).err;
    EXPECT_NE(full.find("Erreur : écriture incomplète de /dev/full."), std::string::npos) << full;
}
