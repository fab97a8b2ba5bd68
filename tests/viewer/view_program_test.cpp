// The view in the real program: a generated tile opened with --open, driven
// with xdotool like a user would, checked through the log, the files written,
// the UI layout file and the screen. Without a GPU a frame of a million-point
// tile takes a while, so every gesture waits for the screen to show its effect.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <array>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <stb_image.h>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

const fs::path kShots = fs::path(ABYSTO_BINARY_DIR) / "Testing" / "viewer";

struct Screen {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    // The pixel at (x, y) from the top-left corner of the screen (the window sits there).
    std::array<int, 3> at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return {-1, -1, -1};
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

Screen grab(const std::string& name) {
    Screen s;
    const fs::path png = kShots / name;
    if (!captureScreen(png)) return s;
    int channels = 0;
    unsigned char* data = stbi_load(png.c_str(), &s.width, &s.height, &channels, 3);
    if (!data) return s;
    s.rgb.assign(data, data + static_cast<size_t>(s.width) * s.height * 3);
    stbi_image_free(data);
    return s;
}

bool sameRegion(const Screen& a, const Screen& b, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; y += 2)
        for (int x = x0; x < x1; x += 2)
            if (a.at(x, y) != b.at(x, y)) return false;
    return true;
}

// Grabs the screen until `done` holds for it; the last grab is kept as `name`.
bool waitForScreen(const std::string& name, const std::function<bool(const Screen&)>& done,
                   std::chrono::seconds timeout = 60s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    do {
        if (done(grab(name))) return true;
        std::this_thread::sleep_for(300ms);
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

// Grabs the screen until the region stays the same over two grabs two seconds apart.
bool waitForStill(const std::string& name, int x0, int y0, int x1, int y1, std::chrono::seconds timeout = 60s) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    Screen last = grab(name);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(2s);
        Screen now = grab(name);
        if (sameRegion(last, now, x0, y0, x1, y1)) return true;
        last = std::move(now);
    }
    return false;
}

bool isMinimapBackground(const std::array<int, 3>& p) {
    return std::abs(p[0] - 5) <= 3 && std::abs(p[1] - 5) <= 3 && std::abs(p[2] - 13) <= 3;
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

// The minimap of the 1440 x 810 window: a 202-pixel square 20 px from the right and bottom edges.
constexpr int kCornerX = 1440 - 20 - 202 + 3, kCornerY = 810 - 20 - 202 + 3;

struct User {
    std::string window;
    void xdo(std::vector<std::string> args) { xdotool(args); }
    void moveTo(int x, int y) {
        xdo({"mousemove", "--window", window, std::to_string(x), std::to_string(y), "sleep", "0.5"});
    }
    void click(int x, int y) {
        moveTo(x, y);
        xdo({"mousedown", "1", "sleep", "0.3", "mouseup", "1"});
    }
    void key(const std::string& k) {
        xdotool({"windowfocus", "--sync", window});
        xdo({"key", k});
    }
    // Does `gesture`, then waits until the screen region changes.
    bool andSeeChange(const std::function<void()>& gesture, int x0, int y0, int x1, int y1, const std::string& name) {
        const Screen before = grab(name);
        gesture();
        return waitForScreen(name, [&](const Screen& now) { return !sameRegion(before, now, x0, y0, x1, y1); });
    }
};

} // namespace

TEST(ViewInTheProgram, MarkersKeysWindowsExportsAndEscape) {
    TempDir home;
    fs::create_directories(kShots);
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
    User user{waitForWindow("Abysto", 30s)};
    ASSERT_FALSE(user.window.empty());
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 120s)) << readFile(log);
    xdotool({"windowfocus", "--sync", user.window});
    // The view is on screen once its minimap is.
    ASSERT_TRUE(waitForScreen("program_first_frame.png",
                              [](const Screen& s) { return isMinimapBackground(s.at(kCornerX, kCornerY)); }));

    // A still click in the middle places a marker; a one-pixel drag does not.
    user.click(720, 405);
    ASSERT_TRUE(waitForText(log, "Point ajouté - profondeur : ", 60s)) << readFile(log);
    user.moveTo(700, 450);
    user.xdo({"mousedown", "1", "sleep", "0.3", "mousemove", "--window", user.window, "701", "450", "sleep", "0.3",
              "mouseup", "1"});
    // L afterwards: once its line is in the log, the drag has been handled too.
    user.key("l");
    ASSERT_TRUE(waitForText(log, "Texture satellite : activée", 60s));
    std::string text = readFile(log);
    EXPECT_EQ(count(text, "Point ajouté - profondeur : "), 1u) << text;
    EXPECT_EQ(count(text, "camDist="), 1u);
    user.key("l");

    // Left alone, the view sleeps: a few seconds cost next to no processor time;
    // the next key is still answered at once.
    std::this_thread::sleep_for(3s);
    const double idleCpu = cpuSeconds(program.pid);
    std::this_thread::sleep_for(5s);
    EXPECT_LT(cpuSeconds(program.pid) - idleCpu, 0.25) << "the idle view keeps drawing";

    // M hides the minimap and shows it again.
    user.key("m");
    EXPECT_TRUE(waitForScreen("program_no_minimap.png",
                              [](const Screen& s) { return !isMinimapBackground(s.at(kCornerX, kCornerY)); }));
    user.key("m");
    EXPECT_TRUE(waitForScreen("program_minimap_back.png",
                              [](const Screen& s) { return isMinimapBackground(s.at(kCornerX, kCornerY)); }));

    // V, I and F10 open their windows, right of the toolbar and the legend.
    EXPECT_TRUE(user.andSeeChange([&] { user.key("i"); }, 20, 40, 900, 700, "program_help.png"));
    EXPECT_TRUE(user.andSeeChange([&] { user.key("v"); user.key("F10"); }, 20, 40, 900, 700, "program_windows.png"));
    EXPECT_TRUE(user.andSeeChange([&] { user.key("v"); user.key("i"); user.key("F10"); }, 20, 40, 900, 700,
                                  "program_windows_closed.png"));

    // "Fichier" > "Export marqueurs (CSV)", then the save dialog, once the windows have all gone.
    const fs::path csv = home / "releves.csv";
    ASSERT_TRUE(waitForStill("program_before_menu.png", 0, 0, 1440, 810));
    ASSERT_TRUE(user.andSeeChange([&] { user.click(40, 15); }, 10, 30, 290, 150, "program_file_menu.png"));
    std::thread answer([&] { EXPECT_TRUE(answerSaveDialog(csv.string())); });
    user.click(100, 103);
    answer.join();
    ASSERT_TRUE(waitForText(log, "Marqueurs exportes en CSV : " + csv.string(), 30s)) << readFile(log);
    const std::string table = readFile(csv);
    EXPECT_EQ(table.rfind("numero;latitude;longitude;profondeur_m;hauteur_eau_m\r\n1;48.", 0), 0u) << table;
    EXPECT_EQ(count(table, "\r\n"), 2u) << table;

    // F12: the framebuffer as a BMP, through the same dialog.
    const fs::path bmp = home / "vue.bmp";
    std::thread shot([&] { EXPECT_TRUE(answerSaveDialog(bmp.string())); });
    user.key("F12");
    shot.join();
    ASSERT_TRUE(waitForText(log, "Screenshot sauvegarde : " + bmp.string(), 30s)) << readFile(log);
    const std::string image = readFile(bmp);
    ASSERT_EQ(image.size(), 54u + 1440u * 3u * 810u);
    EXPECT_EQ(image.substr(0, 2), "BM");

    // Escape returns to the start screen; closing the window there ends the program.
    ASSERT_TRUE(escapeThenClose(user.window));
    EXPECT_EQ(waitForExit(program, 60s), 0) << readFile(home / "sortie.txt");
    text = readFile(log);
    EXPECT_NE(text.find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << text;

    // Every window that was shown left its place in the layout file.
    const std::string layout = readFile(home / "Abysto/imgui.ini");
    for (const char* window : {"[Window][Points relevés]", "[Window][Légende]", "[Window][Exagération verticale]",
                               "[Window][Aide - Raccourcis]", "[Window][Paramètres]"})
        EXPECT_NE(layout.find(window), std::string::npos) << window << "\n" << layout;
}
