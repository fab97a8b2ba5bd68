// The view in the real program: a generated tile opened with --open, driven
// with xdotool like a user would, checked through the log, the files written,
// the UI layout file and screenshots.
#include "tests/support/devstack_process.h"
#include "tests/support/gui_driver.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sstream>
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

struct Screen {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    // The pixel at (x, y) from the top-left corner of the screen.
    std::array<int, 3> at(int x, int y) const {
        const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

Screen grab(const fs::path& png) {
    Screen s;
    if (!captureScreen(png)) return s;
    int channels = 0;
    unsigned char* data = stbi_load(png.c_str(), &s.width, &s.height, &channels, 3);
    if (!data) return s;
    s.rgb.assign(data, data + static_cast<size_t>(s.width) * s.height * 3);
    stbi_image_free(data);
    return s;
}

bool isMinimapBackground(const std::array<int, 3>& p) {
    return std::abs(p[0] - 5) <= 3 && std::abs(p[1] - 5) <= 3 && std::abs(p[2] - 13) <= 3;
}

// A user at the controls of the window `window`, one gesture at a time with
// time for the frames to follow (llvmpipe draws a million-point tile slowly).
struct User {
    std::string window;
    void act(std::vector<std::string> args) {
        args.push_back("sleep");
        args.push_back("1.2");
        xdotool(args);
    }
    void moveTo(int x, int y) { act({"mousemove", "--window", window, std::to_string(x), std::to_string(y)}); }
    void click(int x, int y) {
        moveTo(x, y);
        act({"mousedown", "1", "sleep", "0.3", "mouseup", "1"});
    }
    void key(const std::string& k) {
        xdotool({"windowfocus", "--sync", window});
        act({"key", k});
    }
};

} // namespace

TEST(ViewInTheProgram, MarkersKeysWindowsExportsAndEscape) {
    TempDir home;
    const fs::path tiles = home / "tuiles";
    const ProcessResult made = runProcess(ABYSTO_BINARY_DIR "/make-tiles", {tiles.string(), "145", "6839"});
    ASSERT_EQ(made.exitCode, 0) << made.output;
    const fs::path log = home / "Abysto/logs/abysto.log";
    RunningProgram program = startProgram(
        ABYSTO_BINARY_DIR "/abysto",
        {"--open", (tiles / "LITTO3D_FRA_0145_6839_MNT1M_2021_LAMB93_RGF93_IGN69.asc").string()},
        {{"LOCALAPPDATA", home.str()}, {"HOME", home.str()}, {"ABYSTO_WMS_URL", closedPortUrl()},
         {"ABYSTO_TIDE_URL", closedPortUrl()}},
        home / "sortie.txt");
    User user{waitForWindow("Abysto", 20s)};
    ASSERT_FALSE(user.window.empty());
    ASSERT_TRUE(waitForText(log, "Exagération verticale : x1", 60s)) << readFile(log);
    xdotool({"windowfocus", "--sync", user.window});
    std::this_thread::sleep_for(1500ms);
    const fs::path shots = fs::path(ABYSTO_BINARY_DIR) / "Testing" / "viewer";
    fs::create_directories(shots);

    // A still click in the middle places a marker; a one-pixel drag does not.
    user.click(720, 405);
    ASSERT_TRUE(waitForText(log, "Point ajouté - profondeur : ", 10s)) << readFile(log);
    user.moveTo(700, 450);
    user.act({"mousedown", "1", "sleep", "0.3", "mousemove", "--window", user.window, "701", "450", "sleep", "0.3",
              "mouseup", "1"});
    std::string text = readFile(log);
    EXPECT_EQ(count(text, "Point ajouté - profondeur : "), 1u) << text;
    EXPECT_EQ(count(text, "camDist="), 1u);

    // The minimap sits in the bottom-right corner of the 1440 x 810 window until M hides it.
    const int cornerX = 1440 - 20 - 202 + 3, cornerY = 810 - 20 - 202 + 3;
    Screen screen = grab(shots / "program_marker.png");
    ASSERT_GT(screen.width, 0);
    EXPECT_TRUE(isMinimapBackground(screen.at(cornerX, cornerY)));
    user.key("m");
    screen = grab(shots / "program_no_minimap.png");
    EXPECT_FALSE(isMinimapBackground(screen.at(cornerX, cornerY)));
    user.key("m");

    user.key("l");
    EXPECT_TRUE(waitForText(log, "Texture satellite : activée", 5s));
    user.key("l");

    // V, I and F10 open their windows; the marker list steps aside meanwhile.
    user.key("v");
    user.key("i");
    user.key("F10");
    grab(shots / "program_windows.png");
    user.key("v");
    user.key("i");
    user.key("F10");

    // "Fichier" > "Export marqueurs (CSV)", then the save dialog.
    const fs::path csv = home / "releves.csv";
    user.click(40, 15);
    grab(shots / "program_file_menu.png");
    std::thread answer([&] { EXPECT_TRUE(answerSaveDialog(csv.string())); });
    user.click(100, 103);
    answer.join();
    ASSERT_TRUE(waitForText(log, "Marqueurs exportes en CSV : " + csv.string(), 10s)) << readFile(log);
    const std::string table = readFile(csv);
    EXPECT_EQ(table.rfind("numero;latitude;longitude;profondeur_m;hauteur_eau_m\r\n1;48.", 0), 0u) << table;
    EXPECT_EQ(count(table, "\r\n"), 2u) << table;

    // F12: the framebuffer as a BMP, through the same dialog.
    const fs::path bmp = home / "vue.bmp";
    xdotool({"windowfocus", "--sync", user.window});
    std::thread shot([&] { EXPECT_TRUE(answerSaveDialog(bmp.string())); });
    user.key("F12");
    shot.join();
    ASSERT_TRUE(waitForText(log, "Screenshot sauvegarde : " + bmp.string(), 10s)) << readFile(log);
    const std::string image = readFile(bmp);
    ASSERT_EQ(image.size(), 54u + 1440u * 3u * 810u);
    EXPECT_EQ(image.substr(0, 2), "BM");

    // Escape returns to the zone menu, which has nothing to offer yet: the program ends.
    user.key("Escape");
    EXPECT_EQ(waitForExit(program, 30s), 0) << readFile(home / "sortie.txt");
    text = readFile(log);
    EXPECT_NE(text.find("\nAucune dalle sélectionnée, fermeture.\n"), std::string::npos) << text;

    // Every window that was shown left its place in the layout file.
    const std::string layout = readFile(home / "Abysto/imgui.ini");
    for (const char* window : {"[Window][Points relevés]", "[Window][Légende]", "[Window][Exagération verticale]",
                               "[Window][Aide - Raccourcis]", "[Window][Paramètres]"})
        EXPECT_NE(layout.find(window), std::string::npos) << window << "\n" << layout;
}
