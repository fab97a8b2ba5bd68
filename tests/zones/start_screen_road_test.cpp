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
        for (int i = 0; i < 50; ++i) {
            if (effect()) return true;
            std::this_thread::sleep_for(100ms);
        }
    }
    return false;
}

} // namespace

TEST(StartScreenRoad, SignInSearchDownloadExploreComeBackAndQuit) {
    TempDir home, served;
    DevstackProcess stack({"--tiles", served.str(), "--tile-cells", "60", "--account", "demo@abysto3d.fr:maree-haute"});
    ASSERT_TRUE(stack.started());
    writeFile(home / "Abysto/tips_dismissed.txt", "dismissed");
    const fs::path log = home / "Abysto/logs/abysto.log";
    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto", {},
        {{"LOCALAPPDATA", home.str()}, {"ABYSTO_TILE_SERVER", stack.url()}, {"ABYSTO_WMS_URL", stack.url()},
         {"ABYSTO_TIDE_URL", stack.url()}, {"ABYSTO_AUTH_URL", stack.url()}, {"ABYSTO_GEOCODING_URL", stack.url()}},
        home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 20s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitForText(log, " dalle(s) disponible(s) au total.", 60s)) << readFile(log);
    std::this_thread::sleep_for(1s);  // the splash's last line, then the start screen
    auto shot = [&](const char* name) {
        const fs::path png = fs::path(ABYSTO_BINARY_DIR) / "Testing" / name;
        fs::create_directories(png.parent_path());
        EXPECT_TRUE(captureScreen(png));
        return loadScreen(png);
    };
    auto logHas = [&](const std::string& text, size_t times = 1) { return countOf(readFile(log), text) >= times; };
    // Keys are held over a few frames: a press and release between two slow frames would go unseen.
    auto hold = [&](std::vector<std::string> keys) {
        std::vector<std::string> args;
        for (const std::string& key : keys) args.insert(args.end(), {"keydown", key});
        args.insert(args.end(), {"sleep", "0.4"});
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) args.insert(args.end(), {"keyup", *key});
        xdotool(args);
    };
    auto typeInto = [&](int x, int y, const char* text) {
        clickAt(window, x, y);
        std::this_thread::sleep_for(300ms);
        hold({"ctrl", "a"});
        hold({"BackSpace"});
        xdotool({"type", "--delay", "20", text});
    };

    ASSERT_TRUE(untilSeen(
        [&] {
            typeInto(720, 332, "demo@abysto3d.fr");
            typeInto(720, 412, "maree-haute");
            clickAt(window, 720, 470);
            clickAt(window, 720, 500);  // where the button sits once an earlier try's error shows above it
        },
        [&] { return logHas("Connexion réussie : demo@abysto3d.fr"); }))
        << readFile(log);

    ASSERT_TRUE(untilSeen(
        [&] {
            typeInto(160, 111, "Brest");
            hold({"Return"});
            std::this_thread::sleep_for(1500ms);
            clickAt(window, 160, 188);
        },
        [&] { return logHas("Satellite charge (1024x681), 16 dalles dans la zone."); }))
        << readFile(log);

    // Slow transfers, so that their progress can be seen.
    httplib::Client(stack.url()).Post("/__tile-faults", R"({"kind": "slow", "count": 2})", "application/json");
    const fs::path tiles = home / "Abysto/data/litto3d";
    auto started = [&](const char* key) {
        return filesUnder(tiles, [&](const std::string& name) { return name.find(key) != std::string::npos; }) > 0;
    };
    auto arrived = [&] { return filesUnder(tiles, [](const std::string& name) { return name.ends_with(".asc"); }); };
    ASSERT_TRUE(untilSeen([&] { clickAt(window, 750, 300); }, [&] { return started("0145_6840"); }));
    ASSERT_TRUE(untilSeen([&] { clickAt(window, 1000, 410); }, [&] { return started("0146_6839"); }));
    int bars = 0;
    for (int i = 0; i < 5 && bars <= 20; ++i) bars = countNear(shot("road-2-telechargements.png"), {255, 200, 60}, 8, kMap);
    EXPECT_GT(bars, 20) << "pas de barre de progression";

    for (int i = 0; i < 300 && arrived() < 2; ++i) std::this_thread::sleep_for(100ms);
    ASSERT_EQ(arrived(), 2u) << readFile(log);
    int green = 0;
    for (int i = 0; i < 5 && green <= 400; ++i) green = countNear(shot("road-3-arrivees.png"), {60, 220, 100}, 6, kMap);
    EXPECT_GT(green, 400) << "les dalles arrivées ne sont pas sélectionnées";

    ASSERT_TRUE(untilSeen([&] { clickAt(window, 830, 759); },  // "Explorer (2)"
                          [&] { return logHas("\n2 dalle(s) sélectionnée(s) à fusionner.\n"); }));
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    std::this_thread::sleep_for(1s);
    hold({"Escape"});
    ASSERT_TRUE(untilSeen([&] { clickAt(window, 160, 200); },  // the recent zone
                          [&] { return logHas("Satellite charge", 2); }));
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(countNear(shot("road-5-retour.png"), {60, 220, 100}, 6, kMap), 0) << "des dalles sont restées sélectionnées";

    EXPECT_TRUE(untilSeen([&] { clickAt(window, 965, 759); },  // "Quitter"
                          [&] { return waitForWindowGone(window, 100ms); }));
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    const std::string text = readFile(log);
    EXPECT_EQ(text.find("2 dalle(s) sélectionnée(s)"), text.rfind("2 dalle(s) sélectionnée(s)")) << "one 3D view only";
}
