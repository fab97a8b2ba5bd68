// The built program (its 1440 x 810 window) on a zone near Brest opened from the command line: its start-up log
// and exit codes, and one road each for the tides and the routes, with the orthophotos and the tide service
// played by the local stand-in; the GPX files go through the real save and open dialogs (zenity).
#include "tests/support/devstack_process.h"
#include "tests/support/grid_files.h"
#include "tests/support/gui_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/process.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"
#include "tides/tide_client.h"
#include "tides/tide_dates.h"
#include "tides/tide_service_config.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

const Rgb kBlueButton{8, 86, 170};  // the current mode, "Appliquer sur le terrain", the GPX buttons
const Rgb kCurveBackground{8, 14, 28};

// The hour of today's curve whose sea level lies farthest from 0 IGN69, where
// the view starts: applying it must move the waterline.
float farthestHour(const std::string& serviceUrl, float datumOffset) {
    setenv("ABYSTO_TIDE_URL", serviceUrl.c_str(), 1);
    const LocalDate today = todayLocal();
    std::vector<WaterLevelSample> samples;
    fetchWaterLevels(tideServiceKey(), "brest", formatDate(today.year, today.month, today.day), 10, samples);
    unsetenv("ABYSTO_TIDE_URL");
    const auto farthest = [&](const WaterLevelSample& a, const WaterLevelSample& b) {
        return std::fabs(a.height + datumOffset) < std::fabs(b.height + datumOffset);
    };
    const auto best = std::max_element(samples.begin(), samples.end(), farthest);
    return best == samples.end() ? 12.0f : best->hour;
}

} // namespace

// A 400 m square of a made-up tile (deep water, the shallows and the shore): a small zone keeps the
// virtual screen's software renderer at several frames a second.
class ZoneProgram : public testing::Test {
protected:
    TempDir home;
    fs::path zone = home / "brest.asc";
    std::unique_ptr<DevstackProcess> services;
    std::unique_ptr<RunningProgram> app;
    const Box view{0, 0, 1439, 809};
    int shotCount = 0;

    void SetUp() override {
        const fs::path tiles = home / "tuiles";
        const std::vector<std::string> made = makeTiles(tiles, {{145, 6839}});
        ASSERT_EQ(made.size(), 1u);
        const ProcessResult crop = runProcess("/usr/bin/gdal_translate",
                                              {"-q", "-of", "AAIGrid", "-co", "DECIMAL_PRECISION=2", "-srcwin", "100",
                                               "300", "400", "400", made[0], zone.string()});
        ASSERT_EQ(crop.exitCode, 0) << crop.output;
        services = std::make_unique<DevstackProcess>(std::vector<std::string>{"--tiles", tiles.string()});
        ASSERT_TRUE(services->started());
    }

    // Opens `file` with the orthophotos and tides from `service` (none by default).
    void start(const fs::path& file, const std::string& service = "http://127.0.0.1:9",
               const std::string& ready = "Exagération verticale : x1") {
        const std::map<std::string, std::string> env{{"ABYSTO_WMS_URL", service}, {"ABYSTO_TIDE_URL", service}};
        app = std::make_unique<RunningProgram>(home.path, std::vector<std::string>{"--open", file.string()}, env);
        ASSERT_TRUE(app->ready(ready)) << app->logText();
        std::this_thread::sleep_for(1s);
    }

    // The software renderer draws a few frames a second: time for them to take in the last input.
    Screen shot(const std::string& name) {
        std::this_thread::sleep_for(1200ms);
        return grabScreen("zone-" + std::to_string(++shotCount) + "-" + name);
    }
    // Screenshots until `done` holds or 20 s have passed; the last one.
    Screen shotWhen(const std::string& name, const std::function<bool(const Screen&)>& done) {
        Screen s;
        waitUntil([&] { return done(s = shot(name)); }, 20s, 0ms);
        return s;
    }
    void clickScreen(int x, int y) { ASSERT_TRUE(app->click(x, y, 1200ms)); }
    // Button `index` (0: import, 1: export) of the route window's two blue ones,
    // with the pointer first parked over empty terrain so that none shows its hovered colour.
    void clickGpxButton(size_t index) {
        xdotool({"mousemove", "--window", app->window, std::to_string(view.width() / 2), "60"});
        const Box right{view.left + view.width() / 2, view.top + 30, view.right, view.bottom};
        const std::vector<Box> buttons = rectanglesOf(shot("boutons-gpx"), kBlueButton, 150, right);
        ASSERT_EQ(buttons.size(), 2u) << "pas de boutons GPX dans la fenêtre Parcours";
        clickScreen(buttons[index].centreX(), buttons[index].centreY());
    }
};

// The first cycle on a zone named on the command line, to the view and back
// to the start screen on Escape; the tide window's curve of the day, one of
// its hours chosen on it and applied to the terrain.
TEST_F(ZoneProgram, TideCurveOfTheDayAppliedToTheTerrain) {
    start(zone, services->url());
    if (HasFatalFailure()) return;
    EXPECT_NE(app->logText().find("\nDécalage ZH->IGN69 automatique : -3.635 m (site RAM le plus proche : Brest)\n"
                                 "Port de reference : Brest (brest)\n"),
              std::string::npos);

    // T opens the window, whose first opening loads today's curve.
    ASSERT_TRUE(app->press("t"));
    const Screen opened =
        shotWhen("maree", [&](const Screen& s) { return !runsOf(s, kBlueButton, 200, view).empty(); });
    const Box apply = boundsOf(runsOf(opened, kBlueButton, 200, view));
    ASSERT_FALSE(apply.empty()) << "pas de bouton « Appliquer sur le terrain »";
    const Box curveArea{apply.centreX() - 290, apply.top - 320, apply.centreX() + 290, apply.top - 1};
    const Box curve = boundsOf(runsOf(opened, kCurveBackground, 2, curveArea));
    ASSERT_FALSE(curve.empty()) << "pas de courbe de marée à l'écran";

    const float hour = farthestHour(services->url(), -3.635f);
    clickScreen(curve.left + static_cast<int>(hour / 24.0f * static_cast<float>(curve.width())), curve.top + 100);
    const Screen before = shot("heure-choisie");
    clickScreen(apply.centreX(), apply.centreY());
    // The terrain left of the tide window, clear of the legend at the left.
    const Box terrain{view.left + 220, view.top + 60, curve.left - 80, view.bottom - 20};
    const Screen after = shotWhen("niveau-applique",
                                  [&](const Screen& s) { return differingPixels(before, s, terrain) > 2000; });
    EXPECT_GT(differingPixels(before, after, terrain), 2000) << "la ligne d'eau n'a pas bougé";
    EXPECT_EQ(app->logText().find("Point ajouté"), std::string::npos);  // no click reached the terrain below
    EXPECT_EQ(app->escapeAndClose(), 0) << app->output();

    // The steps of the cycle in the real log, line by line: the update check's
    // thread may write between two of them. Their wording is the merge's and the mesh's own tests'.
    const std::string text = app->logText();
    for (const char* line :
         {"\n1 dalle(s) sélectionnée(s) à fusionner.\n", "\n1 dalle(s) fusionnée(s) en un seul raster.\n",
          "\n=== Emprise geographique ===\n", "\nNODATA détecté : -99999\n", "\nNombre de vertices : 160000\n",
          "\nRécupération de la texture satellite du terrain...\n", "\nTexture satellite chargée (1024x",
          "\nAucune dalle sélectionnée, fermeture.\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_NE(services->output().find("WMS /wms-r?"), std::string::npos);
}

// The start-up's log, without a local tile nor orthophotos; closing the window
// in the view ends the program without a second cycle, once the update check is over.
TEST_F(ZoneProgram, StartsWithoutLocalTilesAndEndsWhenTheWindowClosesInTheView) {
    start(zone);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(app->close());
    EXPECT_EQ(app->exitCode(), 0) << app->output();
    const std::string text = app->logText();
    EXPECT_EQ(text.rfind("\n===== Abysto 1.0.2 -- ", 0), 0u) << text;
    EXPECT_NE(text.find("Serveur de dalles : http://127.0.0.1:9  [ABYSTO_TILE_SERVER]\n"), std::string::npos);
    const size_t none = text.find("\nAucune dalle pour l'instant (connexion requise ?).\n");
    EXPECT_LT(none, text.find("\n0 dalle(s) disponible(s) au total.\n")) << text;
    EXPECT_NE(text.find("\n[update] verification sans suite : "), std::string::npos) << text;
    EXPECT_TRUE(fs::exists(home / "Abysto/settings.json"));
    EXPECT_NE(text.find("\nErreur curl : "), std::string::npos) << text;
    EXPECT_NE(text.find("\nÉchec récupération texture satellite.\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Aucune dalle sélectionnée"), std::string::npos);
}

// The merge's failure and the empty mesh are logged (their wording is checked in the terrain tests); the
// program still reaches the view and ends normally.
TEST_F(ZoneProgram, OpeningSomethingElseThanATileLeavesTheViewEmpty) {
    writeFile(home / "notes.asc", "pas une grille\n");
    start(home / "notes.asc", "http://127.0.0.1:9", "Aucun vertex à afficher.");
    if (HasFatalFailure()) return;
    EXPECT_EQ(app->escapeAndClose(), 0);
    EXPECT_NE(app->logText().find("\nErreur lors de la fusion des 1 dalle(s).\n"), std::string::npos);
}

// A route drawn with real clicks in the real toolbar's route mode, exported,
// imported and exported again through the real file dialogs.
TEST_F(ZoneProgram, RouteDrawnWithClicksGoesThroughTheRealGpxDialogs) {
    start(zone, services->url());
    if (HasFatalFailure()) return;
    // "Marqueur" is the current mode; "Parcours" is the next button on its right.
    const Box toolbar{view.left, view.top + 30, view.left + 400, view.top + 120};
    const std::vector<Box> current = rectanglesOf(shot("vue"), kBlueButton, 80, toolbar);
    ASSERT_EQ(current.size(), 1u) << "pas de barre d'outils des modes";
    EXPECT_NEAR(current[0].width(), 96, 2);
    clickScreen(current[0].centreX() + 96 + 8, current[0].centreY());
    // From deep water towards the shallows of the shore.
    for (const auto& [x, y] : {std::pair{38, 45}, {48, 45}, {57, 55}})
        ASSERT_TRUE(app->click(view.width() * x / 100, view.height() * y / 100, 1200ms));
    ASSERT_TRUE(app->press("Return"));

    // "Outils" is the second menu of the bar; "Parcours" its fourth light line.
    const Screen finished = shot("parcours-termine");
    const auto menus = textBands(finished, {view.left, view.top, view.right, view.top + 28}, false, 10);
    ASSERT_GE(menus.size(), 4u) << "barre de menus introuvable";
    clickScreen((menus[1].first + menus[1].second) / 2, view.top + 14);
    const Box items{menus[1].first - 4, view.top + 30, menus[1].first + 260, view.top + 260};
    const auto lines = textBands(shot("menu-outils"), items, true, 4);
    ASSERT_GE(lines.size(), 4u) << "menu Outils introuvable";
    clickScreen(menus[1].first + 40, (lines[3].first + lines[3].second) / 2);

    const fs::path exported = home / "parcours.gpx", both = home / "les-deux.gpx";
    clickGpxButton(1);
    ASSERT_TRUE(answerFileDialog("Exporter les parcours en GPX", exported.string(), DialogAnswer::save));
    ASSERT_TRUE(waitForText(app->log, "Export GPX termine : " + exported.string() + " (1 parcours)\n", 20s));
    const std::string once = readFile(exported);
    EXPECT_NE(once.find("<name>Parcours 1</name>"), std::string::npos) << once;
    EXPECT_EQ(countOf(once, "<trkpt "), 3u) << once;

    clickGpxButton(0);
    ASSERT_TRUE(answerFileDialog("Importer un GPX", exported.string(), DialogAnswer::open));
    ASSERT_TRUE(waitForText(app->log, "Import GPX : 1 parcours, 0 point(s) hors de la zone chargee.\n", 20s));
    // The imported route joined the drawn one.
    clickGpxButton(1);
    ASSERT_TRUE(answerFileDialog("Exporter les parcours en GPX", both.string(), DialogAnswer::save));
    ASSERT_TRUE(waitForText(app->log, "Export GPX termine : " + both.string() + " (2 parcours)\n", 20s));
    EXPECT_EQ(countOf(readFile(both), "<trkpt "), 6u);
    EXPECT_EQ(app->escapeAndClose(), 0) << app->output();
}
