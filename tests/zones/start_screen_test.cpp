// The start screen's sign-in forms and sidebar drawn in the viewer's real
// window and UI (fonts included), against the stand-in's account backend and
// place search. The pointer and keys are fed through the toolkit's input
// state, frame by frame; widgets are found by hovering them.
#include "account/backend_config.h"
#include "tests/support/devstack_process.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"
#include "zones/sidebar.h"
#include "zones/sign_in_screen.h"
#include "zones/zone_selector.h"
#include "app/paths.h"
#include "tests/support/temp_dir.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui.h>
#include <imgui_impl_opengl3.h>
#include <imgui_internal.h>

#include <cstring>
#include <functional>
#include <optional>

namespace {

class StartScreenTest : public testing::Test {
protected:
    static inline std::unique_ptr<DevstackProcess> stack;
    static void SetUpTestSuite() {
        stack = std::make_unique<DevstackProcess>(std::vector<std::string>{"--account", "marin@abysto.test:maree-haute"});
    }
    static void TearDownTestSuite() { stack.reset(); }

    Viewer viewer;
    int width = 0, height = 0;
    std::function<void()> draw;

    void SetUp() override {
        ASSERT_TRUE(stack && stack->started());
        configureBackend(stack->url(), kDefaultAuthAnonKey);
        setenv("ABYSTO_GEOCODING_URL", stack->url().c_str(), 1);
        testing::internal::CaptureStdout();
        logout();
        testing::internal::GetCapturedStdout();
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        glfwGetFramebufferSize(viewer.window, &width, &height);
    }
    void TearDown() override { unsetenv("ABYSTO_GEOCODING_URL"); }

    // One UI frame with the fed input; drawn into the window when `render`.
    void frame(bool render = false) {
        ImGui_ImplOpenGL3_NewFrame();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
        io.DisplayFramebufferScale = ImVec2(1, 1);
        io.DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        draw();
        ImGui::Render();
        if (!render) return;
        glViewport(0, 0, width, height);
        glClearColor(0.0549f, 0.0627f, 0.0824f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    }
    void pointer(ImVec2 at, bool down) {
        ImGui::GetIO().MousePos = at;
        ImGui::GetIO().MouseDown[0] = down;
    }
    void click(ImVec2 at) {
        pointer(at, false);
        frame();
        pointer(at, true);
        frame();
        pointer(at, false);
        frame();
    }
    void type(const char* text) {
        ImGui::GetIO().AddInputCharactersUTF8(text);
        frame();
    }
    void pressEnter() {
        ImGuiIO& io = ImGui::GetIO();
        io.KeysDown[io.KeyMap[ImGuiKey_Enter]] = true;
        frame();
        io.KeysDown[io.KeyMap[ImGuiKey_Enter]] = false;
        frame();
    }
    // Saves the window's picture under build/Testing/viewer for a look.
    void screenshot(const char* name) {
        frame(true);
        frame(true);
        saveScreenshot(name, width, height, readFramebuffer(width, height, GL_BACK));
    }

    static ImGuiWindow* windowNamed(const char* part) {
        for (ImGuiWindow* w : GImGui->Windows)
            if (w->Active && std::strstr(w->Name, part)) return w;
        return nullptr;
    }
    static ImGuiWindow* openPopup() {
        for (ImGuiWindow* w : GImGui->Windows)
            if (w->Active && (w->Flags & ImGuiWindowFlags_Popup)) return w;
        return nullptr;
    }
    static ImGuiID idIn(ImGuiWindow* w, const char* label, std::optional<int> pushed = std::nullopt) {
        ImGuiID seed = w->IDStack.back();
        if (pushed) seed = ImHashData(&*pushed, sizeof(int), seed);
        return ImHashStr(label, 0, seed);
    }
    // The first point of the window, row by row, where the item is hovered.
    std::optional<ImVec2> find(ImGuiWindow* w, ImGuiID id) {
        if (!w) return std::nullopt;
        frame();  // a window that has just appeared gets its size in its second frame
        const ImVec2 from = w->Pos, to(w->Pos.x + w->Size.x, w->Pos.y + w->Size.y);
        for (float y = from.y + 2; y < to.y; y += 5)
            for (float x = from.x + 2; x < to.x; x += 8) {
                pointer(ImVec2(x, y), false);
                frame();
                if (GImGui->HoveredId == id) return ImVec2(x, y);
            }
        return std::nullopt;
    }
    bool clickItem(ImGuiWindow* w, ImGuiID id) {
        const auto at = find(w, id);
        if (at) click(*at);
        return at.has_value();
    }
    void typeInto(const char* formPart, const char* field, const char* text) {
        ASSERT_TRUE(clickItem(windowNamed(formPart), idIn(windowNamed(formPart), field))) << field;
        type(text);
    }
};

TEST_F(StartScreenTest, SignInThenSignUp) {
    SignInForm form;
    bool signedIn = false;
    draw = [&] { signedIn = drawSignInScreen(form, static_cast<float>(width), static_cast<float>(height)) || signedIn; };
    frame();
    frame();

    typeInto("##login_form", "##email", "marin@abysto.test");
    typeInto("##login_form", "##password", "faux");
    ASSERT_TRUE(clickItem(windowNamed("##login_form"), idIn(windowNamed("##login_form"), "Se connecter")));
    EXPECT_FALSE(signedIn);
    EXPECT_EQ(form.error, "Invalid login credentials");
    EXPECT_FALSE(currentSession().signedIn);
    screenshot("sign_in_error.png");

    click(ImVec2(5, 5));  // leaves the field, so the form's buffer may be changed
    std::strcpy(form.password, "maree-haute");
    ASSERT_TRUE(clickItem(windowNamed("##login_form"), idIn(windowNamed("##login_form"), "Se connecter")));
    EXPECT_TRUE(signedIn);
    EXPECT_TRUE(currentSession().signedIn);
    EXPECT_EQ(form.error, "");
    testing::internal::CaptureStdout();
    logout();
    testing::internal::GetCapturedStdout();

    // The link under the form switches to sign-up; a sign-up asks to confirm the e-mail and does not sign in.
    ImGuiWindow* screen = windowNamed("##login_screen");
    ASSERT_TRUE(clickItem(screen, idIn(screen, "##to_signup")));
    ASSERT_TRUE(form.signUpMode);
    frame();
    typeInto("##login_form", "##username", "Nouvelle");
    click(ImVec2(5, 5));
    std::strcpy(form.email, "nouvelle@abysto.test");
    std::strcpy(form.password, "secret1");
    signedIn = false;
    ASSERT_TRUE(clickItem(windowNamed("##login_form"), idIn(windowNamed("##login_form"), "Créer mon compte")));
    EXPECT_EQ(form.info, "Verifiez votre email pour confirmer votre compte.");
    EXPECT_EQ(form.error, "");
    EXPECT_FALSE(signedIn);
    EXPECT_FALSE(currentSession().signedIn);

    // Both messages at once still fit in the sign-up form.
    form.error = "Password should be at least 6 characters.";
    frame();
    frame();
    ImGuiWindow* signUpForm = windowNamed("##login_form");
    ASSERT_NE(signUpForm, nullptr);
    EXPECT_LE(signUpForm->ContentSize.y, signUpForm->Size.y);
    screenshot("sign_up_messages.png");

    ASSERT_TRUE(clickItem(screen, idIn(screen, "##to_login")));
    EXPECT_FALSE(form.signUpMode);
    EXPECT_EQ(form.info, "");
    EXPECT_EQ(form.error, "");
}

// Tiles around Brest: two on disk, one on the server only.
std::vector<TileInfo> tilesNearBrest() {
    std::vector<TileInfo> tiles;
    for (int i = 0; i < 3; ++i) {
        TileInfo t;
        t.gx = 145 + i;
        t.gy = 6839;
        t.isLocal = i < 2;
        t.onServer = i >= 1;
        tiles.push_back(t);
    }
    return tiles;
}

TEST_F(StartScreenTest, SidebarSearchesChoosesAndSignsOut) {
    ASSERT_TRUE(login("marin@abysto.test", "maree-haute").signedIn);
    const std::vector<TileInfo> tiles = tilesNearBrest();
    const std::vector<TileCentre> centres = buildTileCentres(tiles);
    SidebarState state;
    state.history = {{"Camaret-sur-Mer", 48.278333, -4.59, 4, "03/03 07:05"}, {"Crozon", 48.24, -4.49, 0, "02/03 18:40"}};
    const AccountSession session = currentSession();
    SidebarAction action;
    draw = [&] {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(static_cast<float>(width), static_cast<float>(height)));
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
        ImGui::Begin("##main_screen", nullptr, ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoSavedSettings);
        ImGui::PopStyleVar();
        ImGui::SetWindowFontScale(1.5f);
        const SidebarAction now = drawSidebar(state, tiles, centres, session, static_cast<float>(height));
        if (now.choosePlace || now.quit || now.openCredits || now.openSettings) action = now;
        ImGui::End();
    };
    frame();
    frame();
    ImGuiWindow* sidebar = windowNamed("##sidebar");
    ASSERT_NE(sidebar, nullptr);

    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "##search")));
    type("zzzzzzzzzzzzzzzzzzz");
    pressEnter();
    EXPECT_TRUE(state.searched);
    EXPECT_TRUE(state.results.empty());

    std::memset(state.query, 0, sizeof state.query);
    click(ImVec2(static_cast<float>(width) - 5, 5));
    std::strcpy(state.query, "brest");
    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "##search")));
    pressEnter();
    ASSERT_EQ(state.results.size(), 1u);
    EXPECT_EQ(state.results[0].label, "Brest");
    ASSERT_EQ(state.counts.size(), 1u);
    EXPECT_EQ(state.counts[0].local, 2);
    EXPECT_EQ(state.counts[0].server, 1);
    screenshot("sidebar_results.png");

    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "Brest", 0)));
    EXPECT_TRUE(action.choosePlace);
    EXPECT_EQ(action.name, "Brest");
    EXPECT_DOUBLE_EQ(action.lat, 48.3825);

    action = {};
    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "##hist_btn", 1)));
    EXPECT_TRUE(action.choosePlace);
    EXPECT_EQ(action.name, "Crozon");
    EXPECT_DOUBLE_EQ(action.lon, -4.49);

    // The account menu: credits, then sign-out.
    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "##profile_btn")));
    ASSERT_NE(openPopup(), nullptr);
    screenshot("sidebar_account_menu.png");
    action = {};
    ASSERT_TRUE(clickItem(openPopup(), idIn(openPopup(), "  Crédits & licences")));
    EXPECT_TRUE(action.openCredits);
    frame();
    EXPECT_EQ(openPopup(), nullptr);
    ASSERT_TRUE(clickItem(sidebar, idIn(sidebar, "##profile_btn")));
    testing::internal::CaptureStdout();
    const bool found = clickItem(openPopup(), idIn(openPopup(), "  Se déconnecter"));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(found);
    EXPECT_FALSE(currentSession().signedIn);
}

// The whole screen once signed in: the tips offered once, the map of a
// chosen place with its tiles where they belong, the selection, "Explorer"
// with five tiles through its warning, and the files it hands to the view.
TEST_F(StartScreenTest, MapSelectsTilesAndExploresAfterTheWarning) {
    TempDir home;
    useAsUserHome(home.path);
    resetPathsForTesting();
    std::filesystem::create_directories(rootDir());
    setenv("ABYSTO_WMS_URL", stack->url().c_str(), 1);
    ASSERT_TRUE(login("marin@abysto.test", "maree-haute").signedIn);
    std::vector<TileInfo> tiles;
    for (int i = 0; i < 6; ++i) {
        TileInfo t;
        t.gx = 145 + i % 3;
        t.gy = 6839 - i / 3;
        t.isLocal = i < 5;
        t.onServer = i == 5;
        if (t.isLocal) t.localPath = "/tuiles/" + tileKey(t.gx, t.gy) + ".asc";
        tiles.push_back(t);
    }

    auto screen = std::make_unique<SelectorScreen>(viewer.window, tiles, home.str() + "/tuiles");
    draw = [&] { screen->drawUi(static_cast<float>(width), static_cast<float>(height)); };
    frame();
    frame();
    ASSERT_TRUE(screen->tips.show);
    screenshot("start_tips.png");
    ImGuiWindow* tips = windowNamed("Bienvenue dans Abysto");
    ASSERT_TRUE(clickItem(tips, idIn(tips, "Ne plus afficher au démarrage")));
    EXPECT_EQ(readFile(tipsDismissedFile()), "dismissed");
    ASSERT_TRUE(clickItem(tips, idIn(tips, "Compris !")));
    EXPECT_FALSE(screen->tips.show);
    screenshot("start_welcome.png");

    testing::internal::CaptureStdout();
    choosePlace(screen->map, tiles, screen->centres, screen->sidebar.history, zoneHistoryFile(), 48.3825, -4.4880,
                "Brest");
    const std::string loading = testing::internal::GetCapturedStdout();
    EXPECT_NE(loading.find("dalles dans la zone."), std::string::npos) << loading;
    EXPECT_NE(screen->map.texture, 0u);
    std::vector<ZoneHistoryEntry> saved;
    ASSERT_TRUE(loadZoneHistory(zoneHistoryFile(), saved));
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].tileCount, 6);
    frame();
    frame();
    ImGuiWindow* panel = windowNamed("##main_panel");
    ASSERT_NE(panel, nullptr);
    screenshot("start_map.png");

    // A tile's button lies over its own square: clicking the square of 146_6839 selects that tile.
    ASSERT_TRUE(clickItem(panel, idIn(panel, "##t_146_6839")));
    EXPECT_TRUE(tiles[1].selected);
    EXPECT_EQ(countSelectedVisible(tiles, screen->map.area.visible), 1);

    ASSERT_TRUE(clickItem(panel, idIn(panel, "Tout sélect.")));
    EXPECT_FALSE(tiles[5].selected);
    ASSERT_TRUE(clickItem(panel, idIn(panel, "Explorer (5)")));
    ASSERT_NE(openPopup(), nullptr);
    EXPECT_FALSE(screen->explore);
    screenshot("start_map_alert_many.png");
    ASSERT_TRUE(clickItem(openPopup(), idIn(openPopup(), "Continuer")));
    EXPECT_TRUE(screen->explore);

    // The floating windows fit what they hold.
    screen->showCredits = screen->showSettings = true;
    frame();
    frame();
    for (const char* name : {"Crédits & licences", "Paramètres"}) {
        ImGuiWindow* w = windowNamed(name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_LE(w->ContentSize.x, w->ContentRegionRect.GetWidth() + 1.0f) << name;
        EXPECT_LE(w->Pos.x + w->Size.x, static_cast<float>(width)) << name;
    }
    screenshot("start_windows.png");
    const std::vector<std::string> shown = screen->finish();
    ASSERT_EQ(shown.size(), 5u);
    EXPECT_EQ(shown[0], "/tuiles/145_6839.asc");
    EXPECT_EQ(shown[4], "/tuiles/146_6838.asc");
    screen.reset();

    // The tips are offered once per process, and not at all once dismissed.
    screen = std::make_unique<SelectorScreen>(viewer.window, tiles, home.str() + "/tuiles");
    EXPECT_FALSE(screen->tips.show);
    EXPECT_TRUE(screen->tips.dismissed);
    EXPECT_FALSE(tipsAtEntry(tipsDismissedFile(), true).show);
    screen.reset();
    testing::internal::CaptureStdout();
    logout();
    testing::internal::GetCapturedStdout();
    unsetenv("ABYSTO_WMS_URL");
}

TEST(StartScreenText, InitialsAndButtonLabels) {
    const struct {
        const char *name, *initials;
    } rows[] = {{"marin", "MA"}, {"x", "X"}, {"", "?"}, {"élodie", "ÉL"}, {"Zoé", "ZO"}};
    for (const auto& r : rows) EXPECT_EQ(accountInitials(r.name), r.initials) << r.name;
    EXPECT_EQ(buttonText("Brest##x"), "Brest# #x");
    EXPECT_EQ(buttonText("Saint-Malo"), "Saint-Malo");
}

} // namespace
