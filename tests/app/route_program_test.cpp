// Routes in the running program: a zone near Brest opened from the command
// line, tides and orthophotos played by the local stand-in. The route is
// drawn with real clicks and keys (xdotool), the route window is found on
// screenshots by its own colours, and the GPX files go through the real save
// and open dialogs (zenity), typed into like a user would.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
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


// Every horizontal run of exactly `colour` at least `minRun` long, row by row.
std::vector<Box> runsOf(const Screen& s, Rgb colour, int minRun, Box area) {
    area = s.clip(area);
    std::vector<Box> runs;
    for (int y = area.top; y <= area.bottom; ++y) {
        int run = 0;
        for (int x = area.left; x <= area.right + 1; ++x) {
            if (x <= area.right && s.near(x, y, colour)) {
                ++run;
                continue;
            }
            if (run >= minRun) runs.push_back({x - run, y, x - 1, y});
            run = 0;
        }
    }
    return runs;
}

// The boxes of the filled shapes of `colour` at least `minRun` wide, left to
// right: runs that overlap the columns of a box a few rows above join it
// (the rows through a button's label are cut into short runs).
std::vector<Box> rectanglesOf(const Screen& s, Rgb colour, int minRun, Box area) {
    std::vector<Box> boxes;
    for (const Box& run : runsOf(s, colour, minRun, area)) {
        bool merged = false;
        for (Box& b : boxes)
            if (run.left <= b.right && run.right >= b.left && run.top <= b.bottom + 24) {
                b.left = std::min(b.left, run.left);
                b.right = std::max(b.right, run.right);
                b.bottom = run.bottom;
                merged = true;
                break;
            }
        if (!merged) boxes.push_back(run);
    }
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.left < b.left; });
    return boxes;
}

int countNear(const Screen& s, Rgb colour, int tolerance, Box area) {
    area = s.clip(area);
    int count = 0;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) count += s.near(x, y, colour, tolerance);
    return count;
}



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

int occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
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

const Rgb kBlueButton{8, 86, 170};     // the current mode, "Importer un GPX", "Exporter en GPX"
const Rgb kChartBackground{8, 14, 28};
const Rgb kGreenText{77, 217, 115};
const Rgb kBlueText{46, 134, 224};     // the length

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
        const ProcessResult made =
            runProcess(ABYSTO_BINARY_DIR "/make-tiles", {tiles.string(), "145", "6839"});
        ASSERT_EQ(made.exitCode, 0) << made.output;
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

    // Answers the file dialog titled `title` with `path`, as a user types it.
    void answerDialog(const std::string& title, const fs::path& path, bool replaceSuggestion) {
        const std::string dialog = waitForWindow(title, 20s);
        ASSERT_FALSE(dialog.empty()) << "pas de boîte « " << title << " »";
        std::this_thread::sleep_for(1s);  // the dialog settles before typing
        ASSERT_TRUE(xdotool({"windowfocus", "--sync", dialog}));
        // The save dialog offers a name to replace; the open dialog takes a
        // path in its location field (Ctrl+L), which must be open before typing.
        ASSERT_TRUE(xdotool({"key", replaceSuggestion ? "ctrl+a" : "ctrl+l"}));
        std::this_thread::sleep_for(700ms);
        ASSERT_TRUE(xdotool({"type", "--delay", "20", path.string()}));
        std::this_thread::sleep_for(300ms);
        const std::string name = "dialogue-" + std::string(replaceSuggestion ? "enregistrer" : "ouvrir");
        shot(name);
        ASSERT_TRUE(xdotool({"key", "Return"}));
        shot(name + "-apres");
    }
};

TEST_F(RouteProgram, ClicksAndEnterMakeARouteShownWithItsProfileAndPassageWindowsThenExportedAndImported) {
    start();
    if (HasFatalFailure()) return;

    // A tide day for the passage windows: T opens the tide window, whose first
    // opening loads today's curve; T again closes it, the day stays loaded.
    key("t");
    bool curve = false;
    for (int i = 0; i < 40 && !curve; ++i) {
        std::this_thread::sleep_for(500ms);
        curve = !runsOf(shot("0-maree"), kChartBackground, 100, windowBox()).empty();
    }
    ASSERT_TRUE(curve) << "pas de courbe de marée";
    key("t");
    std::this_thread::sleep_for(500ms);

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
    EXPECT_EQ(occurrences(clicks, "HIT apres"), 3) << clicks;
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

    // The route window: the length in blue above the chart, and the top of the chart.
    const Screen panel = shot("5-fenetre-parcours");
    const std::vector<Box> buttons = gpxButtons(panel);
    ASSERT_EQ(buttons.size(), 2u) << "pas de boutons GPX dans la fenêtre Parcours";
    const Box area{buttons[0].left - 20, geometry.y + 30, buttons[1].right + 20, view.bottom};
    std::vector<Box> charts = rectanglesOf(panel, kChartBackground, 100, {area.left, buttons[0].bottom, area.right, area.bottom});
    ASSERT_FALSE(charts.empty()) << "pas de profil du fond";
    EXPECT_GT(countNear(panel, kBlueText, 12, {area.left, buttons[0].bottom, area.right, charts[0].top}), 20)
        << "pas de longueur";

    // A keel of 0.8 m typed into the draught slider (Ctrl+click makes it a
    // text field): over the shallows the route needs the tide, and the passage
    // windows say when.
    const int draughtY = buttons[0].top - 282;  // the first slider, above the route list
    ASSERT_TRUE(xdotool({"mousemove", "--window", window, std::to_string((area.left + area.right) / 2 - geometry.x),
                         std::to_string(draughtY - geometry.y)}));
    settle();
    ASSERT_TRUE(xdotool({"keydown", "ctrl"}));
    settle();
    ASSERT_TRUE(xdotool({"click", "1"}));
    settle();
    ASSERT_TRUE(xdotool({"keyup", "ctrl"}));
    ASSERT_TRUE(xdotool({"key", "ctrl+a"}));
    ASSERT_TRUE(xdotool({"type", "0.8"}));
    ASSERT_TRUE(xdotool({"key", "Return"}));
    settle();
    shot("6-tirant-d-eau");

    // Scrolled down: the whole chart with a bottom drawn in it, and the passage
    // windows of the loaded day under it.
    xdotool({"mousemove", "--window", window, std::to_string(buttons[0].centreX() - geometry.x),
             std::to_string(buttons[0].bottom + 60 - geometry.y)});
    settle();
    for (int i = 0; i < 10; ++i) xdotool({"click", "5"});
    settle();
    const Screen scrolled = shot("7-profil-et-creneaux");
    charts = rectanglesOf(scrolled, kChartBackground, 100, area);
    ASSERT_FALSE(charts.empty()) << "pas de profil du fond";
    const Box chart = charts.front();
    EXPECT_GT(chart.width(), 300);
    int bottom = 0;  // brown, whatever lies behind it
    for (int y = chart.top; y <= std::min(chart.top + 190, scrolled.height - 1); ++y)
        for (int x = chart.left; x <= chart.right; ++x) {
            const Rgb p = scrolled.at(x, y);
            bottom += p.r > p.b + 15 && p.g > p.b;
        }
    EXPECT_GT(bottom, 500) << "pas de fond dans le profil";
    const Box below{area.left, chart.top + 215, area.right, chart.top + 330};
    EXPECT_GT(countNear(scrolled, kGreenText, 12, below), 20) << "pas de créneaux de passage";
    for (int i = 0; i < 10; ++i) xdotool({"click", "4"});
    settle();  // the wheel reaches the window before the pointer leaves it
    park();

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
    answerDialog("Exporter les parcours en GPX", exported, true);
    if (HasFatalFailure()) return;
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
    answerDialog("Importer un GPX", exported, false);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitForText(log, "Import GPX : 1 parcours, 0 point(s) hors de la zone chargee.\n", 20s))
        << readFile(log);

    park();
    std::this_thread::sleep_for(500ms);
    gpx = gpxButtons(shot("12-importe"));
    ASSERT_EQ(gpx.size(), 2u);
    const fs::path both = home / "export" / "les-deux.gpx";
    clickScreen(gpx[1].centreX(), gpx[1].centreY());
    answerDialog("Exporter les parcours en GPX", both, true);
    if (HasFatalFailure()) return;
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
