// The start screen in the running program, as a new user meets it: sign in,
// search a town, open its map, download two tiles from the server (their
// progress on screen), explore them in 3D, come back with Escape to find them
// on disk and unselected, and quit. Driven with real clicks and keys against
// the local stand-in; places are those of the default 1440 x 810 window.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

int pixelsNear(const Screen& screen, Rgb colour, int tolerance, Box area) {
    area = screen.clip(area);
    int count = 0;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) count += screen.near(x, y, colour, tolerance);
    return count;
}

std::vector<fs::path> tileFiles(const fs::path& dir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".asc") files.push_back(it->path());
    return files;
}

const Box kMap{328, 56, 1423, 657};

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
    std::this_thread::sleep_for(1s);
    auto shot = [&](const char* name) {
        const fs::path png = fs::path(ABYSTO_BINARY_DIR) / "Testing" / name;
        fs::create_directories(png.parent_path());
        EXPECT_TRUE(captureScreen(png));
        return loadScreen(png);
    };

    ASSERT_TRUE(clickAt(window, 720, 332));
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "demo@abysto3d.fr"}));
    ASSERT_TRUE(clickAt(window, 720, 412));
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "maree-haute"}));
    shot("road-1-connexion.png");
    ASSERT_TRUE(clickAt(window, 720, 470));
    ASSERT_TRUE(waitForText(log, "Connexion réussie : demo@abysto3d.fr", 20s)) << readFile(log);
    // A click lands only on a screen drawn before it: let the main screen come up.
    ASSERT_TRUE(waitForText(log, "au catalogue (cache local)", 20s)) << readFile(log);
    std::this_thread::sleep_for(1500ms);

    ASSERT_TRUE(clickAt(window, 160, 111));
    ASSERT_TRUE(xdotool({"type", "--delay", "20", "Brest"}));
    ASSERT_TRUE(pressKey(window, "Return"));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(clickAt(window, 160, 188));
    ASSERT_TRUE(waitForText(log, "Satellite charge (1024x681), 16 dalles dans la zone.", 20s)) << readFile(log);

    // Slow transfers, so that their progress can be seen.
    httplib::Client(stack.url()).Post("/__tile-faults", R"({"kind": "slow", "count": 2})", "application/json");
    ASSERT_TRUE(clickAt(window, 750, 300));
    ASSERT_TRUE(clickAt(window, 1000, 410));
    std::this_thread::sleep_for(800ms);
    const Screen downloading = shot("road-2-telechargements.png");
    EXPECT_GT(pixelsNear(downloading, {255, 200, 60}, 8, kMap), 20) << "pas de barre de progression";

    const fs::path tiles = home / "Abysto/data/litto3d";
    for (int i = 0; i < 300 && tileFiles(tiles).size() < 2; ++i) std::this_thread::sleep_for(100ms);
    ASSERT_EQ(tileFiles(tiles).size(), 2u) << readFile(log);
    std::this_thread::sleep_for(500ms);
    const Screen arrived = shot("road-3-arrivees.png");
    EXPECT_GT(pixelsNear(arrived, {60, 220, 100}, 6, kMap), 400) << "les dalles arrivées ne sont pas sélectionnées";

    ASSERT_TRUE(clickAt(window, 830, 759));  // "Explorer (2)"
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    EXPECT_NE(readFile(log).find("\n2 dalle(s) sélectionnée(s) à fusionner.\n"), std::string::npos);
    std::this_thread::sleep_for(1s);
    shot("road-4-vue.png");

    ASSERT_TRUE(pressKey(window, "Escape"));
    std::this_thread::sleep_for(1500ms);
    ASSERT_TRUE(clickAt(window, 160, 200));  // the recent zone
    for (int i = 0; i < 100; ++i) {
        const std::string text = readFile(log);
        if (text.find("Satellite charge") != text.rfind("Satellite charge")) break;
        std::this_thread::sleep_for(100ms);
    }
    std::this_thread::sleep_for(500ms);
    const Screen back = shot("road-5-retour.png");
    EXPECT_EQ(pixelsNear(back, {60, 220, 100}, 6, kMap), 0) << "des dalles sont restées sélectionnées";

    ASSERT_TRUE(clickAt(window, 965, 759));  // "Quitter"
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    const std::string text = readFile(log);
    EXPECT_NE(text.find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("2 dalle(s) sélectionnée(s)"), text.rfind("2 dalle(s) sélectionnée(s)")) << "one 3D view only";
}
