// Routes in the running program: a zone near Brest opened from the command
// line, orthophotos played by the local stand-in. The route is drawn with
// real clicks and keys (xdotool), the route window is found on screenshots by
// its own colours, and the GPX files go through the real save and open
// dialogs (zenity), typed into like a user would.
#include "tests/support/devstack_process.h"
#include "tests/support/grid_files.h"
#include "tests/support/gui_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/process.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <regex>
#include <sstream>
#include <stb_image.h>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {


// A `size` x `size` piece of an ESRI ASCII grid, from column `left` and row
// `top` (rows run from the north): a smaller zone keeps the software
// renderer of the virtual screen at several frames a second.
void cropGrid(const fs::path& from, const fs::path& to, int left, int top, int size) {
    std::istringstream in(readFile(from));
    std::string key;
    double ncols = 0, nrows = 0, xll = 0, yll = 0, cell = 1, noData = 0;
    in >> key >> ncols >> key >> nrows >> key >> xll >> key >> yll >> key >> cell >> key >> noData;
    std::ostringstream out;
    out.precision(12);
    out << "ncols " << size << "\nnrows " << size << "\nxllcorner " << xll + left * cell << "\nyllcorner "
        << yll + (nrows - top - size) * cell << "\ncellsize " << cell << "\nNODATA_value " << noData << "\n";
    std::string value;
    for (int row = 0; row < nrows; ++row) {
        for (int col = 0; col < ncols; ++col) {
            in >> value;
            if (row < top || row >= top + size || col < left || col >= left + size) continue;
            out << value << (col + 1 == left + size ? "\n" : " ");
        }
    }
    writeFile(to, out.str());
}


struct GpxPoint {
    double lat = 0, lon = 0, ele = 0;
    bool hasEle = false;
};
struct GpxTrack {
    std::string name;
    std::vector<GpxPoint> points;
};

// The tracks of a file this program wrote (one element per line).
std::vector<GpxTrack> readTracks(const fs::path& file) {
    std::vector<GpxTrack> tracks;
    const std::regex name("<name>(.*)</name>"), point("<trkpt lat=\"([-0-9.]+)\" lon=\"([-0-9.]+)\">"),
        ele("<ele>([-0-9.]+)</ele>");
    std::istringstream lines(readFile(file));
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (line.find("<trk>") != std::string::npos) tracks.emplace_back();
        if (tracks.empty()) continue;
        if (std::regex_search(line, m, name)) tracks.back().name = m[1];
        if (std::regex_search(line, m, point)) tracks.back().points.push_back({std::stod(m[1]), std::stod(m[2])});
        if (std::regex_search(line, m, ele) && !tracks.back().points.empty()) {
            tracks.back().points.back().ele = std::stod(m[1]);
            tracks.back().points.back().hasEle = true;
        }
    }
    return tracks;
}

void expectSameTrack(const GpxTrack& a, const GpxTrack& b) {
    EXPECT_EQ(a.name, b.name);
    ASSERT_EQ(a.points.size(), b.points.size());
    for (size_t i = 0; i < a.points.size(); ++i) {
        // Through Lambert-93 and back: well under a millimetre.
        EXPECT_NEAR(a.points[i].lat, b.points[i].lat, 1e-8) << i;
        EXPECT_NEAR(a.points[i].lon, b.points[i].lon, 1e-8) << i;
        EXPECT_EQ(a.points[i].hasEle, b.points[i].hasEle) << i;
        EXPECT_NEAR(a.points[i].ele, b.points[i].ele, 0.011) << i;
    }
}

const Rgb kBlueButton{8, 86, 170};  // the current mode, "Importer un GPX", "Exporter en GPX"

} // namespace

class RouteProgram : public testing::Test {
protected:
    TempDir home;
    fs::path tiles = home / "tuiles";
    fs::path zone = home / "zone" / "brest.asc";
    fs::path shots = home / "captures";
    fs::path log = home / "Abysto/logs/abysto.log";
    std::unique_ptr<DevstackProcess> services;
    RunningProgram program;
    std::string window;
    WindowGeometry geometry;

    void SetUp() override {
        ASSERT_FALSE(makeTiles(tiles, {{145, 6839}}).empty());
        // Deep water, the shallows and the shore of the made-up tile.
        cropGrid(tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc", zone, 100, 300, 400);
        services = std::make_unique<DevstackProcess>(std::vector<std::string>{"--tiles", tiles.string()});
        ASSERT_TRUE(services->started());
        // ABYSTO_TEST_SHOTS keeps the screenshots somewhere they outlive the test.
        if (const char* keep = std::getenv("ABYSTO_TEST_SHOTS")) shots = keep;
        fs::create_directories(shots);
    }
    void TearDown() override {
        killProgram(program);
        if (HasFailure()) std::cerr << "Captures : " << shots << "\n" << readFile(log) << std::endl;
    }

    void start() {
        // The file dialogs keep their settings in memory: no desktop bus here.
        program = startProgram(
            ABYSTO_BINARY_DIR "/abysto",
            {"--open", zone.string()},
            {{"LOCALAPPDATA", home.str()}, {"HOME", home.str()}, {"ABYSTO_TILE_SERVER", closedPortUrl()},
             {"ABYSTO_WMS_URL", services->url()}, {"ABYSTO_TIDE_URL", services->url()},
             {"GSETTINGS_BACKEND", "memory"}},
            home / "sortie.txt");
        window = waitForWindow("Abysto", 20s);
        ASSERT_FALSE(window.empty());
        ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
        geometry = geometryOf(window);
        ASSERT_GT(geometry.width, 0);
        std::this_thread::sleep_for(1s);
    }

    // The virtual screen's software renderer draws the 3D view at a few frames
    // a second: time for a few frames to take in the last input (the UI sees
    // a click's release one frame after its press).
    void settle() { std::this_thread::sleep_for(1200ms); }
    Screen shot(const std::string& name) {
        settle();
        const fs::path png = shots / (name + ".png");
        EXPECT_TRUE(captureScreen(png));
        return loadScreen(png);
    }
    // Window coordinates to screen ones and back.
    Box windowBox() const {
        return {geometry.x, geometry.y, geometry.x + geometry.width - 1, geometry.y + geometry.height - 1};
    }
    void clickScreen(int x, int y) { clickWindow(x - geometry.x, y - geometry.y); }
    // The pointer arrives first and the program sees it there, as with a
    // hand on the mouse: the UI knows whether it is over one of its windows.
    void clickWindow(int x, int y) {
        ASSERT_TRUE(xdotool({"mousemove", "--window", window, std::to_string(x), std::to_string(y)}));
        settle();
        ASSERT_TRUE(xdotool({"click", "1"}));
        settle();
    }
    void key(const std::string& name) { ASSERT_TRUE(pressKey(window, name)); }
    // The pointer over empty terrain, so that no button shows its hovered colour.
    void park() {
        xdotool({"mousemove", "--window", window, std::to_string(geometry.width / 2), "60"});
        settle();
    }

    // The route window's two blue buttons, left to right.
    std::vector<Box> gpxButtons(const Screen& s) const {
        const Box right{geometry.x + geometry.width / 2, geometry.y + 30, geometry.x + geometry.width - 1,
                        geometry.y + geometry.height - 1};
        return rectanglesOf(s, kBlueButton, 150, right);
    }

};

TEST_F(RouteProgram, ClicksAndEnterMakeARouteThenTheRealDialogsExportAndImportIt) {
    start();
    if (HasFatalFailure()) return;

    // The toolbar: "Marqueur" is the current mode; "Parcours" is the next button on its right.
    const Screen first = shot("1-vue");
    const Box toolbar{geometry.x, geometry.y + 30, geometry.x + 400, geometry.y + 120};
    const std::vector<Box> current = rectanglesOf(first, kBlueButton, 80, toolbar);
    ASSERT_EQ(current.size(), 1u) << "pas de barre d'outils des modes";
    EXPECT_NEAR(current[0].width(), 96, 2);
    clickScreen(current[0].centreX() + 96 + 8, current[0].centreY());
    std::this_thread::sleep_for(300ms);

    // Three clicks on the terrain and Enter: from deep water towards the
    // shallows of the shore, where the tide decides whether a boat passes.
    const int x1 = geometry.width * 38 / 100, x2 = geometry.width * 48 / 100, x3 = geometry.width * 57 / 100;
    const int y1 = geometry.height * 45 / 100, y3 = geometry.height * 55 / 100;
    const size_t before = readFile(log).size();
    clickWindow(x1, y1);
    clickWindow(x2, y1);
    clickWindow(x3, y3);
    const Screen drawing = shot("2-trace-en-cours");
    const std::string clicks = readFile(log).substr(before);
    EXPECT_EQ(countOf(clicks, "HIT apres"), 3u) << clicks;
    EXPECT_EQ(clicks.find("Aucun terrain touché."), std::string::npos) << clicks;
    const std::vector<Box> routeMode = rectanglesOf(drawing, kBlueButton, 80, toolbar);
    ASSERT_EQ(routeMode.size(), 1u);
    EXPECT_NEAR(routeMode[0].left, current[0].left + 104, 2) << "le mode Parcours n'est pas le mode courant";
    key("Return");
    std::this_thread::sleep_for(300ms);

    // "Outils" is the second menu of the bar; "Parcours" its fourth light line.
    const Screen finished = shot("3-parcours-termine");
    const Box view = windowBox();
    const auto menus = textBands(finished, {view.left, view.top, view.right, view.top + 28}, false, 10);
    ASSERT_GE(menus.size(), 4u) << "barre de menus introuvable";
    clickScreen((menus[1].first + menus[1].second) / 2, view.top + 14);
    std::this_thread::sleep_for(500ms);
    const Screen menu = shot("4-menu-outils");
    const auto lines =
        textBands(menu, {menus[1].first - 4, view.top + 30, menus[1].first + 260, view.top + 260}, true, 4);
    ASSERT_GE(lines.size(), 4u) << "menu Outils introuvable";
    clickScreen(menus[1].first + 40, (lines[3].first + lines[3].second) / 2);
    park();
    std::this_thread::sleep_for(800ms);

    // The route window's two GPX buttons; what it shows of the route is the view tests' part.
    const std::vector<Box> buttons = gpxButtons(shot("5-fenetre-parcours"));
    ASSERT_EQ(buttons.size(), 2u) << "pas de boutons GPX dans la fenêtre Parcours";

    // A click on the second point selects it; Delete removes it.
    clickWindow(x2, y1);
    shot("8-point-choisi");
    key("Delete");
    shot("9-point-supprime");

    // Export, import that file, then export both routes: they are the same route.
    const fs::path exported = home / "export" / "parcours.gpx";
    fs::create_directories(exported.parent_path());
    std::vector<Box> gpx = gpxButtons(shot("10-avant-export"));
    ASSERT_EQ(gpx.size(), 2u);
    clickScreen(gpx[1].centreX(), gpx[1].centreY());
    ASSERT_TRUE(answerFileDialog("Exporter les parcours en GPX", exported.string(), DialogAnswer::save));
    ASSERT_TRUE(waitForText(log, "Export GPX termine : " + exported.string() + " (1 parcours)\n", 20s))
        << readFile(log);
    const std::vector<GpxTrack> once = readTracks(exported);
    ASSERT_EQ(once.size(), 1u);
    EXPECT_EQ(once[0].name, "Parcours 1");
    EXPECT_EQ(once[0].points.size(), 2u) << "le point supprimé est encore là";

    park();
    std::this_thread::sleep_for(500ms);
    gpx = gpxButtons(shot("11-apres-export"));
    ASSERT_EQ(gpx.size(), 2u);
    clickScreen(gpx[0].centreX(), gpx[0].centreY());
    ASSERT_TRUE(answerFileDialog("Importer un GPX", exported.string(), DialogAnswer::open));
    ASSERT_TRUE(waitForText(log, "Import GPX : 1 parcours, 0 point(s) hors de la zone chargee.\n", 20s))
        << readFile(log);

    park();
    std::this_thread::sleep_for(500ms);
    gpx = gpxButtons(shot("12-importe"));
    ASSERT_EQ(gpx.size(), 2u);
    const fs::path both = home / "export" / "les-deux.gpx";
    clickScreen(gpx[1].centreX(), gpx[1].centreY());
    ASSERT_TRUE(answerFileDialog("Exporter les parcours en GPX", both.string(), DialogAnswer::save));
    ASSERT_TRUE(waitForText(log, "Export GPX termine : " + both.string() + " (2 parcours)\n", 20s)) << readFile(log);
    const std::vector<GpxTrack> twice = readTracks(both);
    ASSERT_EQ(twice.size(), 2u);
    expectSameTrack(twice[0], once[0]);
    expectSameTrack(twice[1], once[0]);

    park();
    std::this_thread::sleep_for(500ms);
    shot("13-fin");
    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
}
