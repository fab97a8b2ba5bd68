// The tides in the running program: a zone near Brest opened from the command
// line, the tide service and the orthophotos played by the local stand-in.
// The windows are found on screenshots by their own colours, clicked with
// xdotool, and what they did is read in the log and on the screen.
#include "tests/support/devstack_process.h"
#include "tests/support/grid_files.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"
#include "tides/tide_client.h"
#include "tides/tide_dates.h"
#include "tides/tide_service_config.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <stb_image.h>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {


const Rgb kCurveBackground{8, 14, 28};
const Rgb kApplyButton{8, 86, 170};
const Rgb kSelectedDay{46, 134, 224};

} // namespace

class TideView : public testing::Test {
protected:
    TempDir home;
    fs::path tiles = home / "tuiles";
    fs::path shots = home / "captures";
    fs::path log = home / "Abysto/logs/abysto.log";
    std::unique_ptr<DevstackProcess> services;
    RunningProgram program;
    std::string window;
    WindowGeometry geometry;
    int shotCount = 0;

    void SetUp() override {
        ASSERT_FALSE(makeTiles(tiles, {{145, 6839}, {146, 6839}}).empty());
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
        program = startProgram(
            ABYSTO_BINARY_DIR "/abysto",
            {"--open", (tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string(),
             (tiles / "LITTO3D_FRA_0146_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string()},
            {{"LOCALAPPDATA", home.str()}, {"ABYSTO_TILE_SERVER", closedPortUrl()},
             {"ABYSTO_WMS_URL", services->url()}, {"ABYSTO_TIDE_URL", services->url()}},
            home / "sortie.txt");
        window = waitForWindow("Abysto", 20s);
        ASSERT_FALSE(window.empty());
        ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
        geometry = geometryOf(window);
        ASSERT_GT(geometry.width, 0);
        std::this_thread::sleep_for(1s);
    }

    Screen shot(const std::string& name) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%02d-", ++shotCount);
        const fs::path png = shots / (prefix + name + ".png");
        EXPECT_TRUE(captureScreen(png));
        return loadScreen(png);
    }
    // Frames of two million triangles are slow on a software renderer: a
    // click shows after a while. Screenshots until `done` holds or the time is up.
    Screen shotWhen(const std::string& name, const std::function<bool(const Screen&)>& done,
                    std::chrono::seconds timeout = 20s) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        Screen s = shot(name);
        while (!done(s) && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(300ms);
            s = shot(name);
        }
        return s;
    }
    Screen shotWhenChanged(const std::string& name, const Screen& reference, Box area, int pixels,
                           std::chrono::seconds timeout = 20s) {
        return shotWhen(name, [&](const Screen& s) { return differingPixels(reference, s, area) > pixels; }, timeout);
    }
    // Screen pixels to the window's own coordinates, where xdotool clicks.
    void click(int screenX, int screenY) { ASSERT_TRUE(clickAt(window, screenX - geometry.x, screenY - geometry.y)); }
    void key(const std::string& name) { ASSERT_TRUE(pressKey(window, name)); }
    Box windowBox() const {
        return {geometry.x, geometry.y, geometry.x + geometry.width - 1, geometry.y + geometry.height - 1};
    }
};

// The hour of the loaded day whose sea level lies farthest from 0 IGN69, where
// the view starts: applying it must move the waterline.
float farthestHour(const std::string& serviceUrl, float datumOffset) {
    setenv("ABYSTO_TIDE_URL", serviceUrl.c_str(), 1);
    const LocalDate today = todayLocal();
    std::vector<WaterLevelSample> samples;
    fetchWaterLevels(tideServiceKey(), "brest", formatDate(today.year, today.month, today.day), 10, samples);
    unsetenv("ABYSTO_TIDE_URL");
    float best = 12.0f, distance = -1.0f;
    for (const WaterLevelSample& s : samples) {
        if (std::fabs(s.height + datumOffset) > distance) {
            distance = std::fabs(s.height + datumOffset);
            best = s.hour;
        }
    }
    return best;
}

TEST_F(TideView, PortCurveSeaLevelAndCalendar) {
    start();
    if (HasFatalFailure()) return;
    const std::string calibrated = readFile(log);
    EXPECT_NE(calibrated.find("\nDécalage ZH->IGN69 automatique : -3.635 m (site RAM le plus proche : Brest)\n"
                              "Port de reference : Brest (brest)\n"),
              std::string::npos)
        << calibrated;
    const Box view = windowBox();

    // T opens the window, whose first opening loads today's curve.
    key("t");
    const Screen opened =
        shotWhen("maree", [&](const Screen& s) { return !runsOf(s, kApplyButton, 200, view).empty(); });
    const Box apply = boundsOf(runsOf(opened, kApplyButton, 200, view));
    ASSERT_FALSE(apply.empty()) << "pas de bouton « Appliquer sur le terrain »";
    const Box curveArea{apply.centreX() - 290, apply.top - 320, apply.centreX() + 290, apply.top - 1};
    const Box curve = boundsOf(runsOf(opened, kCurveBackground, 2, curveArea));
    ASSERT_FALSE(curve.empty()) << "pas de courbe de marée à l'écran";
    EXPECT_GT(curve.height(), 120);
    EXPECT_LE(curve.height(), 201);

    // Pick the hour whose level is farthest from the starting sea level, then apply it.
    const float hour = farthestHour(services->url(), -3.635f);
    click(curve.left + static_cast<int>(hour / 24.0f * static_cast<float>(curve.width())), curve.top + 100);
    const Box curveBox{curve.left - 45, curve.top - 5, curve.right + 5, curve.top + 230};
    shotWhenChanged("heure-choisie", opened, curveBox, 50, 10s);
    std::this_thread::sleep_for(1s);
    const Screen before = shot("avant");
    click(apply.centreX(), apply.centreY());
    // The terrain left of the tide window, clear of the legend at the left.
    const Box terrain{view.left + 220, view.top + 60, curve.left - 80, view.bottom - 20};
    const Screen after = shotWhenChanged("niveau-applique", before, terrain, 2000);
    EXPECT_GT(differingPixels(before, after, terrain), 2000) << "la ligne d'eau n'a pas bougé";

    // The timelapse (P) is checked against the view's frame clock, without a program.
    std::this_thread::sleep_for(1s);
    const Screen applied = shot("applique");
    // "Outils" is the second menu of the bar; "Calendrier des marées" its third light line.
    const Box menuBar{view.left, view.top, view.right, view.top + 28};
    const auto menus = textBands(applied, menuBar, false, 10);
    ASSERT_GE(menus.size(), 4u) << "barre de menus introuvable";
    click((menus[1].first + menus[1].second) / 2, view.top + 14);
    const Box items{menus[1].first - 4, view.top + 30, menus[1].first + 260, view.top + 260};
    const Screen menu = shotWhenChanged("menu-outils", applied, items, 200);
    const auto lines = textBands(menu, items, true, 4);
    ASSERT_GE(lines.size(), 3u) << "menu Outils introuvable";
    click(menus[1].first + 40, (lines[2].first + lines[2].second) / 2);

    const LocalDate today = todayLocal();
    const std::string monthLoaded =
        "Coefficients charges pour " + std::to_string(today.month) + "/" + std::to_string(today.year) + " (";
    ASSERT_TRUE(waitForText(log, monthLoaded, 20s)) << readFile(log);
    // Today is the selected day: its outline is the only full blue frame left of the tide window.
    const Box calendarArea{view.left, view.top + 30, curve.left - 60, view.bottom};
    const Screen calendar = shotWhen("calendrier", [&](const Screen& s) {
        return boundsOf(runsOf(s, kSelectedDay, 1, calendarArea)).height() > 40;
    });
    const Box todayCell = boundsOf(runsOf(calendar, kSelectedDay, 1, calendarArea));
    ASSERT_FALSE(todayCell.empty()) << "le jour courant n'est pas encadré";
    EXPECT_NEAR(todayCell.height(), 48, 3);
    const int columnWidth = todayCell.width() + 4;

    // A neighbouring day of the same row, else the one above.
    const int column = (firstWeekdayColumn(today.year, today.month) + today.day - 1) % 7;
    int day = 0, x = todayCell.centreX(), y = todayCell.centreY();
    if (column > 0 && today.day > 1) {
        day = today.day - 1;
        x -= columnWidth;
    } else if (today.day < daysInMonth(today.year, today.month)) {
        day = today.day + 1;
        x += columnWidth;
    } else {
        day = today.day - 7;
        y -= 48 + 7;
    }
    click(x, y);
    const std::string dayLoaded = "Maree chargee pour " + formatDate(today.year, today.month, day) + " (";
    ASSERT_TRUE(waitForText(log, dayLoaded, 20s)) << readFile(log);
    const Box pickedCell{x - columnWidth / 2 + 1, y - 26, x + columnWidth / 2 - 1, y + 26};
    const Screen picked = shotWhen("jour-choisi", [&](const Screen& s) {
        return countNear(s, kSelectedDay, 0, pickedCell) > 60;
    });
    EXPECT_GT(countNear(picked, kSelectedDay, 0, pickedCell), 60) << "le jour cliqué n'est pas encadré";
    EXPECT_FALSE(runsOf(picked, kApplyButton, 200, view).empty());  // the tide window shows its curve

    // Clicks on the tide windows never reached the terrain below them.
    EXPECT_EQ(readFile(log).find("Point ajouté"), std::string::npos);

    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
}
