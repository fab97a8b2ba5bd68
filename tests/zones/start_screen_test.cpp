// The start screen in the viewer's real window against the stand-in; widgets are found by hovering them.
#include "account/backend_config.h"
#include "app/paths.h"
#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"
#include "tests/viewer/gl_test_support.h"
#include "viewer/viewer.h"
#include "zones/zone_selector.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>
#include <imgui_impl_opengl3.h>
#include <imgui_internal.h>

#include <cstring>
#include <functional>

namespace {

class StartScreenTest : public testing::Test {
protected:
    DevstackProcess stack{{"--account", "marin@abysto.test:maree-haute"}};
    Viewer viewer;
    int width = 0, height = 0;
    std::function<void()> draw;

    void SetUp() override {
        ASSERT_TRUE(stack.started());
        configureBackend(stack.url(), kDefaultAuthAnonKey);
        captureStreams([] { logout(); });
        viewer.dataRoot = testDataRoot();
        ASSERT_TRUE(viewer.init());
        glfwGetFramebufferSize(viewer.window, &width, &height);
    }

    // One UI frame with the fed input.
    void frame() {
        ImGui_ImplOpenGL3_NewFrame();
        ImGuiIO& io = ImGui::GetIO();
        io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
        io.DisplayFramebufferScale = ImVec2(1, 1);
        io.DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }
    static ImGuiWindow* windowNamed(const char* part) {
        for (ImGuiWindow* w : GImGui->Windows) {
            const bool popup = (w->Flags & ImGuiWindowFlags_Popup) != 0;
            if (w->Active && (part ? std::strstr(w->Name, part) != nullptr : popup)) return w;
        }
        return nullptr;
    }
    // Hovers the window (an open popup for nullptr) row by row until the item is under the pointer; clicks it.
    bool clickItem(const char* window, const char* label) {
        frame();  // a window that has just appeared takes two frames to get its size
        frame();
        ImGuiWindow* w = windowNamed(window);
        if (!w) return false;
        const auto pointer = [](ImVec2 at, bool down) {
            ImGui::GetIO().MousePos = at;
            ImGui::GetIO().MouseDown[0] = down;
        };
        const ImVec2 from(w->Pos.x + 2, w->Pos.y + 2), to(w->Pos.x + w->Size.x, w->Pos.y + w->Size.y);
        return clickWidget(ImHashStr(label, 0, w->IDStack.back()), from, to, {8, 5}, pointer, [this] { frame(); });
    }
};

TEST_F(StartScreenTest, SignInErrorAndTheSignUpForm) {
    SignInForm form;
    bool signedIn = false;
    draw = [&] { signedIn = drawSignInScreen(form, static_cast<float>(width), static_cast<float>(height)) || signedIn; };
    std::strcpy(form.email, "marin@abysto.test");  // typing into the fields is the road's
    std::strcpy(form.password, "faux");
    ASSERT_TRUE(clickItem("##login_form", "Se connecter"));
    EXPECT_FALSE(signedIn);
    EXPECT_EQ(form.error, "Invalid login credentials");

    // The link under the form switches to sign-up; a sign-up asks to confirm the e-mail and does not sign in.
    ASSERT_TRUE(clickItem("##login_screen", "##to_signup"));
    ASSERT_TRUE(form.signUpMode);
    std::strcpy(form.username, "Nouvelle");
    std::strcpy(form.email, "nouvelle@abysto.test");
    std::strcpy(form.password, "secret1");
    ASSERT_TRUE(clickItem("##login_form", "Créer mon compte"));
    EXPECT_EQ(form.info, "Verifiez votre email pour confirmer votre compte.");
    EXPECT_EQ(form.error, "");
    EXPECT_FALSE(currentSession().signedIn);

    // Both messages at once still fit in the sign-up form.
    form.error = "Password should be at least 6 characters.";
    frame();
    frame();
    ImGuiWindow* signUpForm = windowNamed("##login_form");
    ASSERT_NE(signUpForm, nullptr);
    EXPECT_LE(signUpForm->ContentSize.y, signUpForm->Size.y);

    ASSERT_TRUE(clickItem("##login_screen", "##to_login"));
    EXPECT_FALSE(form.signUpMode);
    EXPECT_EQ(form.info, "");
    EXPECT_EQ(form.error, "");
}

// Signed in: the tips offered once, "Explorer" through its warning, the account menu's windows, the sign-out.
TEST_F(StartScreenTest, TipsExplorerWarningAndTheAccountMenu) {
    TempDir home;
    useAsUserHome(home.path);
    resetPathsForTesting();
    std::filesystem::create_directories(rootDir());
    setenv("ABYSTO_WMS_URL", stack.url().c_str(), 1);
    ASSERT_TRUE(login("marin@abysto.test", "maree-haute").signedIn);
    std::vector<TileInfo> tiles(6);  // around Brest: five on disk, the last one on the server only
    for (int i = 0; i < 6; ++i) {
        tiles[i].gx = 145 + i % 3;
        tiles[i].gy = 6839 - i / 3;
        tiles[i].isLocal = i < 5;
        tiles[i].onServer = i == 5;
    }

    auto screen = std::make_unique<SelectorScreen>(viewer.window, tiles, home.str() + "/tuiles");
    draw = [&] { screen->drawUi(static_cast<float>(width), static_cast<float>(height)); };
    ASSERT_TRUE(screen->tips.show);
    ASSERT_TRUE(clickItem("Bienvenue dans Abysto", "Ne plus afficher au démarrage"));
    EXPECT_EQ(readFile(tipsDismissedFile()), "dismissed");
    ASSERT_TRUE(clickItem("Bienvenue dans Abysto", "Compris !"));
    EXPECT_FALSE(screen->tips.show);

    captureStreams([&] {
        choosePlace(screen->map, tiles, screen->centres, screen->sidebar.history, zoneHistoryFile(), 48.3825,
                    -4.4880, "Brest");
    });
    ASSERT_EQ(screen->sidebar.history.size(), 1u);
    EXPECT_EQ(screen->sidebar.history[0].tileCount, 6);
    ASSERT_TRUE(clickItem("##main_panel", "Tout sélect."));
    ASSERT_TRUE(clickItem("##main_panel", "Explorer (5)"));
    EXPECT_FALSE(screen->explore);
    ASSERT_TRUE(clickItem(nullptr, "Continuer"));
    EXPECT_TRUE(screen->explore);

    for (const char* name : {"  Crédits & licences", "  Paramètres"}) {
        ASSERT_TRUE(clickItem("##sidebar", "##profile_btn"));
        ASSERT_TRUE(clickItem(nullptr, name)) << name;
        frame();
        ImGuiWindow* w = windowNamed(name + 2);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_LE(w->ContentSize.x, w->ContentRegionRect.GetWidth() + 1.0f) << name;
        EXPECT_LE(w->Pos.x + w->Size.x, static_cast<float>(width)) << name;
    }
    ASSERT_TRUE(clickItem("##sidebar", "##profile_btn"));
    captureStreams([&] { EXPECT_TRUE(clickItem(nullptr, "  Se déconnecter")); });
    EXPECT_FALSE(currentSession().signedIn);
    screen.reset();

    // The tips are not offered once dismissed, nor a second time in a process (the file gone).
    EXPECT_FALSE(tipsAtEntry(tipsDismissedFile(), true).show);
    std::filesystem::remove(tipsDismissedFile());
    screen = std::make_unique<SelectorScreen>(viewer.window, tiles, home.str() + "/tuiles");
    EXPECT_FALSE(screen->tips.show);
    screen.reset();
    unsetenv("ABYSTO_WMS_URL");
}

} // namespace
