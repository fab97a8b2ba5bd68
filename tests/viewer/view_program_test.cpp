// The view in the real program, opened on a generated tile with --open. Frames of a million-point tile
// are slow without a GPU, so every gesture waits for the screen to show its effect.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"

#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

Screen grab(const std::string& name) {
    const fs::path png = fs::path(ABYSTO_BINARY_DIR) / "Testing" / "viewer" / name;
    fs::create_directories(png.parent_path());
    return captureScreen(png) ? loadScreen(png) : Screen{};
}

// Grabs the screen every `pause` until `done` holds for it; the last grab is kept as `name`.
bool waitForScreen(const std::string& name, const std::function<bool(const Screen&)>& done,
                   std::chrono::milliseconds pause = 300ms) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    do {
        const Screen s = grab(name);
        if (s.width > 0 && done(s)) return true;
        std::this_thread::sleep_for(pause);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// User and system time the process has used so far.
double cpuSeconds(int pid) {
    std::istringstream stat(readFile("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 15 && stat >> field; ++i)
        if (i == 14 || i == 15) ticks += std::stod(field);
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

TEST(ViewInTheProgram, OpensATileTakesAMarkerSleepsWhenIdleAndKeepsItsLayout) {
    TempDir home;
    const fs::path tiles = home / "tuiles";
    const ProcessResult made = runProcess(ABYSTO_BINARY_DIR "/make-tiles", {tiles.string(), "145", "6839"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const fs::path log = home / "Abysto/logs/abysto.log";
    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto",
        {"--open", (tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string()},
        {{"LOCALAPPDATA", home.str()}, {"HOME", home.str()}, {"ABYSTO_WMS_URL", closedPortUrl()},
         {"ABYSTO_TIDE_URL", closedPortUrl()}, {"ABYSTO_TILE_SERVER", closedPortUrl()}},
        home / "sortie.txt");
    const std::string window = waitForWindow("Abysto", 30s);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 120s)) << readFile(log);
    xdotool({"windowfocus", "--sync", window});
    // The view is on screen once its minimap is: a 202-pixel square 20 px from
    // the right and bottom edges of the 1440 x 810 window, in its own background.
    const int cornerX = 1440 - 20 - 202 + 3, cornerY = 810 - 20 - 202 + 3;
    ASSERT_TRUE(waitForScreen("program_first_frame.png", [&](const Screen& s) {
        return s.width > cornerX && s.near(cornerX, cornerY, {5, 5, 13}, 3);
    }));

    // A still click in the middle places a marker.
    xdotool({"mousemove", "--window", window, "720", "405", "sleep", "0.5", "mousedown", "1", "sleep", "0.3",
             "mouseup", "1"});
    ASSERT_TRUE(waitForText(log, "Point ajouté - profondeur : ", 60s)) << readFile(log);

    // Left alone, the view sleeps once its last frames are drawn (slow ones on a
    // busy machine): then a few seconds cost next to no processor time.
    double idleCpu = cpuSeconds(program.pid);
    for (int second = 0; second < 30; ++second) {
        std::this_thread::sleep_for(1s);
        const double now = cpuSeconds(program.pid);
        const bool still = now - idleCpu < 0.02;
        idleCpu = now;
        if (still) break;
    }
    std::this_thread::sleep_for(5s);
    EXPECT_LT(cpuSeconds(program.pid) - idleCpu, 0.25) << "the idle view keeps drawing";

    // I, V and F10 open their windows over the left of the view; the screen then
    // settles (two grabs two seconds apart alike: frames are slow here).
    const Box windows{20, 40, 900, 700};
    const Screen before = grab("program_before_windows.png");
    for (const char* key : {"i", "v", "F10"}) pressKey(window, key);
    Screen last = before;
    EXPECT_TRUE(waitForScreen("program_windows.png", [&](const Screen& now) {
        const bool settled = differingPixels(before, now, windows) > 0 && differingPixels(last, now, windows) == 0;
        last = now;
        return settled;
    }, 2s));

    // Escape returns to the start screen; closing the window there ends the program.
    ASSERT_TRUE(escapeThenClose(window));
    EXPECT_EQ(waitForExit(program, 60s), 0) << readFile(home / "sortie.txt");
    EXPECT_NE(readFile(log).find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << readFile(log);

    // Every window that was shown left its place in the layout file.
    const std::string layout = readFile(home / "Abysto/imgui.ini");
    for (const char* name : {"[Window][Points relevés]", "[Window][Légende]", "[Window][Exagération verticale]",
                             "[Window][Aide - Raccourcis]", "[Window][Paramètres]"})
        EXPECT_NE(layout.find(name), std::string::npos) << name << "\n" << layout;
}
