// The start screen's road in the running program (its 1440 x 810 window), with real clicks and keys: sign in,
// search a town, download two tiles, explore them in 3D, come back unselected with Escape, and quit.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <functional>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// How many files under `dir` have a name for which `match` holds.
size_t filesUnder(const fs::path& dir, const std::function<bool(const std::string&)>& match) {
    size_t n = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        n += match(it->path().filename().string());
    return n;
}

const Box kMap{328, 56, 1423, 657};

// Acts, then waits for the effect; acts again when a loaded machine drew the screen too late for it.
bool untilSeen(const std::function<void()>& act, const std::function<bool()>& effect, int tries = 4) {
    for (int t = 0; t < tries; ++t) {
        act();
        if (waitUntil(effect, 5s)) return true;
    }
    return false;
}

} // namespace

TEST(StartScreenRoad, SignInSearchDownloadExploreComeBackAndQuit) {
    TempDir home, served;
    DevstackProcess stack({"--tiles", served.str(), "--tile-cells", "60", "--account", "demo@abysto3d.fr:maree-haute"});
    ASSERT_TRUE(stack.started());
    writeFile(home / "Abysto/tips_dismissed.txt", "dismissed");
    RunningProgram app(home.path, {},
                       {{"ABYSTO_TILE_SERVER", stack.url()}, {"ABYSTO_WMS_URL", stack.url()},
                        {"ABYSTO_TIDE_URL", stack.url()}, {"ABYSTO_AUTH_URL", stack.url()},
                        {"ABYSTO_GEOCODING_URL", stack.url()}});
    ASSERT_TRUE(app.ready(" dalle(s) disponible(s) au total.")) << app.logText();
    std::this_thread::sleep_for(1s);  // the splash's last line, then the start screen
    auto logHas = [&](const std::string& text, size_t times = 1) { return countOf(app.logText(), text) >= times; };
    auto typeInto = [&](int x, int y, const char* text) {
        app.click(x, y);
        app.press("ctrl+a");
        app.press("BackSpace");
        xdotool({"type", "--delay", "20", text});
    };
    // Enough of `colour` on the map, within a few grabs.
    auto mapShows = [&](const char* name, Rgb colour, int tolerance, int pixels) {
        return waitUntil([&] { return countNear(grabScreen(name), colour, tolerance, kMap) > pixels; }, 3s);
    };

    ASSERT_TRUE(untilSeen(
        [&] {
            typeInto(720, 332, "demo@abysto3d.fr");
            typeInto(720, 412, "maree-haute");
            app.click(720, 470);
            app.click(720, 500);  // where the button sits once an earlier try's error shows above it
        },
        [&] { return logHas("Connexion réussie : demo@abysto3d.fr"); }))
        << app.logText();

    ASSERT_TRUE(untilSeen(
        [&] {
            typeInto(160, 111, "Brest");
            app.press("Return");
            std::this_thread::sleep_for(1500ms);
            app.click(160, 188);
        },
        [&] { return logHas("Satellite charge (1024x681), 16 dalles dans la zone."); }))
        << app.logText();

    // Slow transfers, so that their progress can be seen.
    httplib::Client(stack.url()).Post("/__tile-faults", R"({"kind": "slow", "count": 2})", "application/json");
    const fs::path tiles = home / "Abysto/data/litto3d";
    auto started = [&](const char* key) {
        return filesUnder(tiles, [&](const std::string& name) { return name.find(key) != std::string::npos; }) > 0;
    };
    auto arrived = [&] { return filesUnder(tiles, [](const std::string& name) { return name.ends_with(".asc"); }); };
    ASSERT_TRUE(untilSeen([&] { app.click(750, 300); }, [&] { return started("0145_6840"); }));
    ASSERT_TRUE(untilSeen([&] { app.click(1000, 410); }, [&] { return started("0146_6839"); }));
    EXPECT_TRUE(mapShows("route-telechargements", {255, 200, 60}, 8, 20)) << "pas de barre de progression";
    ASSERT_TRUE(waitUntil([&] { return arrived() == 2; }, 30s)) << app.logText();
    EXPECT_TRUE(mapShows("route-arrivees", {60, 220, 100}, 6, 400)) << "les dalles arrivées ne sont pas sélectionnées";

    ASSERT_TRUE(untilSeen([&] { app.click(830, 759); },  // "Explorer (2)"
                          [&] { return logHas("\n2 dalle(s) sélectionnée(s) à fusionner.\n"); }));
    ASSERT_TRUE(waitForText(app.log, "Exagération verticale : x1", 60s)) << app.logText();
    std::this_thread::sleep_for(1s);
    app.press("Escape");
    ASSERT_TRUE(untilSeen([&] { app.click(160, 200); },  // the recent zone
                          [&] { return logHas("Satellite charge", 2); }));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(countNear(grabScreen("route-retour"), {60, 220, 100}, 6, kMap), 0)
        << "des dalles sont restées sélectionnées";

    EXPECT_TRUE(untilSeen([&] { app.click(965, 759); },  // "Quitter"
                          [&] { return waitForWindowGone(app.window, 100ms); }));
    EXPECT_EQ(app.exitCode(), 0) << app.output();
    const std::string text = app.logText();
    EXPECT_EQ(text.find("2 dalle(s) sélectionnée(s)"), text.rfind("2 dalle(s) sélectionnée(s)")) << "one 3D view only";
}
