// Exports from a running view: F12 takes the framebuffer, asks for a path in
// the system's save dialog (driven here with xdotool) and writes a BMP; the
// marker files go through the same dialog. Their bytes are exports_test's.
#include "tests/support/temp_dir.h"
#include "tests/viewer/slope_view.h"
#include "viewer/overlay_geometry.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using namespace std::chrono_literals;

TEST_F(SlopeView, ScreenshotAndMarkerFilesThroughTheSaveDialog) {
    TempDir dir;
    grid.originX = 699990;
    grid.originY = 6600010;
    viewer.setTerrain(grid);  // the view keeps its own copy
    viewer.markers = {{10, 10, -3.4f}, {20, 30, 2.0f}};
    viewer.seaLevel = 1.2f;

    // F12, then "Fichier" > "Export marqueurs (CSV)" as a user picks it; the dialog adds the extension.
    const std::filesystem::path shot = dir / "vue.bmp", csv = dir / "points";
    const std::string out = runWith([&](const std::string& w) {
        xdotool({"key", "F12"});
        EXPECT_TRUE(answerSaveDialog(shot.string()));
        ASSERT_TRUE(waitForText(shot, "BM", 5s));
        xdotool({"windowfocus", "--sync", w});
        xdotool({"mousemove", "--window", w, "40", "15", "sleep", "0.3", "mousedown", "1", "sleep", "0.2", "mouseup",
                 "1", "sleep", "0.5", "mousemove", "--window", w, "100", "103", "sleep", "0.3", "mousedown", "1",
                 "sleep", "0.2", "mouseup", "1"});
        EXPECT_TRUE(answerSaveDialog(csv.string()));
        ASSERT_TRUE(waitForText(csv.string() + ".csv", "numero", 5s));
    });
    EXPECT_NE(out.find("Screenshot sauvegarde : " + shot.string()), std::string::npos) << out;
    EXPECT_NE(out.find("Marqueurs exportes en CSV : " + csv.string() + ".csv\n"), std::string::npos) << out;

    const std::string bmp = readFile(shot);
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(bmp[at]); };
    const int w = viewer.display.framebufferWidth, h = viewer.display.framebufferHeight;
    const size_t rowSize = (3 * w + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + rowSize * h);  // the header is exports_test's
    // A frame of the view: the minimap's corner in its own background colour, bottom row first.
    const PixelRect r = minimapRect(w, h);
    const size_t at = 54 + (r.y + 2) * rowSize + 3 * (r.x + 2);
    EXPECT_NEAR(byte(at), 13, 4);     // blue
    EXPECT_NEAR(byte(at + 1), 5, 4);  // green
    EXPECT_NEAR(byte(at + 2), 5, 4);  // red
    const std::string table = readFile(csv.string() + ".csv");
    EXPECT_EQ(table.rfind("numero;latitude;longitude;profondeur_m;hauteur_eau_m\r\n1;46.5;3;-3.4;4.6\r\n2;46.", 0), 0u)
        << table;

    const std::filesystem::path gpx = dir / "points.gpx";
    std::thread gpxUser([&] { EXPECT_TRUE(answerSaveDialog(gpx.string())); });
    EXPECT_EQ(captureStreams([&] { viewer.exportMarkersGpx(); }).out,
              "Marqueurs exportés en GPX : " + gpx.string() + "\n");
    gpxUser.join();

    // A cancelled dialog ends the export without a file or a word.
    std::thread canceller([] { EXPECT_TRUE(answerSaveDialog("", true)); });
    EXPECT_EQ(captureStreams([&] { viewer.exportMarkersCsv(); }).out, "");
    canceller.join();

    // Without markers no dialog opens at all (one would block these calls).
    viewer.markers.clear();
    viewer.exportMarkersGpx();
    viewer.exportMarkersCsv();
    EXPECT_EQ(waitForWindow("Enregistrer sous", 300ms), "");
}
