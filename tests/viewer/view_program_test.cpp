// The view in the real program, opened on a generated tile with --open. Frames of a million-point tile
// are slow without a GPU, so every gesture waits for the screen to show its effect.
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/screen_reading.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

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
    RunningProgram app(home.path,
                       {"--open", (tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string()});
    ASSERT_TRUE(app.ready("Exagération verticale : x1", 120s)) << app.logText();
    // The view is on screen once its minimap is: a 202-pixel square 20 px from
    // the right and bottom edges of the 1440 x 810 window, in its own background.
    const int cornerX = 1440 - 20 - 202 + 3, cornerY = 810 - 20 - 202 + 3;
    ASSERT_TRUE(waitUntil([&] {
        const Screen s = grabScreen("vue-premiere-image");
        return s.width > cornerX && s.near(cornerX, cornerY, {5, 5, 13}, 3);
    }, 60s, 300ms));

    // A still click in the middle places a marker.
    app.click(720, 405, 500ms);
    ASSERT_TRUE(waitForText(app.log, "Point ajouté - profondeur : ", 60s)) << app.logText();

    // Left alone, the view sleeps once its last frames are drawn (slow ones on a
    // busy machine): then a few seconds cost next to no processor time.
    double idleCpu = cpuSeconds(app.pid);
    waitUntil([&] {
        std::this_thread::sleep_for(1s);
        const double before = idleCpu;
        idleCpu = cpuSeconds(app.pid);
        return idleCpu - before < 0.02;
    }, 30s, 0ms);
    std::this_thread::sleep_for(5s);
    EXPECT_LT(cpuSeconds(app.pid) - idleCpu, 0.25) << "the idle view keeps drawing";

    // I, V and F10 open their windows over the left of the view; the screen then
    // settles (two grabs two seconds apart alike: frames are slow here).
    const Box windows{20, 40, 900, 700};
    const Screen before = grabScreen("vue-sans-fenetres");
    for (const char* key : {"i", "v", "F10"}) app.press(key);
    Screen last = before;
    EXPECT_TRUE(waitUntil([&] {
        const Screen now = grabScreen("vue-fenetres");
        const bool settled = differingPixels(before, now, windows) > 0 && differingPixels(last, now, windows) == 0;
        last = now;
        return settled;
    }, 60s, 2s));

    EXPECT_EQ(app.escapeAndClose(), 0) << app.output();
    EXPECT_NE(app.logText().find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << app.logText();
    // Every window that was shown left its place in the layout file.
    const std::string layout = readFile(home / "Abysto/imgui.ini");
    for (const char* name : {"[Window][Points relevés]", "[Window][Légende]", "[Window][Exagération verticale]",
                             "[Window][Aide - Raccourcis]", "[Window][Paramètres]"})
        EXPECT_NE(layout.find(name), std::string::npos) << name << "\n" << layout;
}
