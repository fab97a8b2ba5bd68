#include "zones/zone_selector.h"

#include "account/account_session.h"
#include "account/session_file.h"
#include "app/paths.h"
#include "app/version.h"
#include "platform/platform.h"
#include "tiles/catalogue.h"
#include "tiles/tile_server.h"
#include "update/update_state.h"
#include "viewer/texture.h"
#include "viewer/ui_manager.h"
#include "zones/selector_style.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <iostream>

namespace {

// Kept for the whole run: what was typed in the sign-in form, whether the
// tips were offered, the logo.
SignInForm signInForm;
bool tipsOffered = false;
unsigned int anchorTexture = 0;

std::string versionText() { return std::string("Abysto 3D ") + kAppVersion; }

int32_t updatePhase() { return updateSnapshot().phase; }

} // namespace

SelectorScreen::SelectorScreen(GLFWwindow* win, std::vector<TileInfo>& tileList, const std::string& directory)
    : window(win), tiles(tileList), tileDir(directory),
      downloads(tileList, [this](const std::string& text, NoticeKind kind) {
          showToast(toast, text, kind == NoticeKind::Error, glfwGetTime());
      }) {
    centres = buildTileCentres(tiles);
    loadZoneHistory(zoneHistoryFile(), sidebar.history);
    if (anchorTexture == 0) anchorTexture = loadTexture(platform::executableDir() + "/data/ancre.png");
    tips = tipsAtEntry(tipsDismissedFile(), !tipsOffered);
    tipsOffered = true;
}

SelectorScreen::~SelectorScreen() {
    downloads.shutdown();
    releasePlaceMap(map);
}

void SelectorScreen::afterSignIn() {
    saveSession(sessionFile());
    if (!tileServerConfigured()) return;
    const CatalogueSyncSummary summary = syncCatalogue(tiles);
    centres = buildTileCentres(tiles);
    if (summary.ok)
        showToast(toast, std::to_string(summary.total) + " dalle(s) disponibles sur le serveur", false, glfwGetTime());
    else
        showToast(toast, "Catalogue indisponible : " + summary.message, true, glfwGetTime());
}

void SelectorScreen::drawUi(float width, float height) {
    const AccountSession session = currentSession();
    if (!session.signedIn) {
        if (drawSignInScreen(signInForm, width, height)) afterSignIn();
    } else {
        ImGui::SetNextWindowPos(ImVec2(0, 0));
        ImGui::SetNextWindowSize(ImVec2(width, height));
        ImGui::PushStyleColor(ImGuiCol_WindowBg, ImVec4(0.0549f, 0.0627f, 0.0824f, 1.0f));
        ImGui::PushStyleVar(ImGuiStyleVar_WindowPadding, ImVec2(0, 0));
        ImGui::Begin("##main_screen", nullptr,
                     ImGuiWindowFlags_NoDecoration | ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoSavedSettings |
                         ImGuiWindowFlags_NoBringToFrontOnFocus);
        ImGui::PopStyleVar();
        ImGui::PopStyleColor();
        ImGui::SetWindowFontScale(1.5f);

        sidebar.placeName = map.name;
        const SidebarAction chosen = drawSidebar(sidebar, tiles, centres, session, height);
        if (chosen.choosePlace)
            choosePlace(map, tiles, centres, sidebar.history, zoneHistoryFile(), chosen.lat, chosen.lon, chosen.name);
        showSettings = showSettings || chosen.openSettings;
        showCredits = showCredits || chosen.openCredits;
        quit = quit || chosen.quit;

        ImGui::SameLine(0.0f, 0.0f);
        MainPanelContext panel{map, tiles, downloads, toast, tileDir, anchorTexture, kAppVersion};
        const MainPanelAction action = drawMainPanel(panel, std::max(width - 320.0f, 1.0f), height);
        explore = explore || action.explore;
        quit = quit || action.quit;
        ImGui::End();
    }

    if (showCredits) drawCreditsWindow(showCredits, versionText());
    if (showSettings) {
        SettingsContext settings{window, tiles, tileDir, sidebar.history, zoneHistoryFile(), kAppVersion};
        drawSettingsWindow(showSettings, settings);
    }
    // The tips are about the main screen: over the sign-in form they would hide it.
    if (tips.show && session.signedIn) drawTipsWindow(tips, tipsDismissedFile());
    if (drawUpdateDialog()) quit = true;
}

std::vector<std::string> SelectorScreen::finish() {
    downloads.shutdown();
    releasePlaceMap(map);
    return explore ? selectedTilePaths(tiles) : std::vector<std::string>{};
}

std::vector<std::string> ZoneSelector::run(GLFWwindow* window, std::vector<TileInfo>& tiles,
                                           const std::string& tileDir) {
    // The window's input callbacks belong to the 3D view: while this screen is
    // shown they find no view, so a click or a key here never reaches it.
    struct DetachedView {
        GLFWwindow* window;
        void* view;
        ~DetachedView() { glfwSetWindowUserPointer(window, view); }
    } detached{window, glfwGetWindowUserPointer(window)};
    glfwSetWindowUserPointer(window, nullptr);

    SelectorScreen screen(window, tiles, tileDir);
    if (glfwWindowShouldClose(window)) return {};
    int settleFrames = 6;
    while (!screen.explore && !screen.quit) {
        // Frames on demand: an event wakes the loop at once and is followed by
        // a few frames for the toolkit to settle (hover, sizes); downloads get
        // 30 frames a second, a notice wakes the loop when it expires, a text
        // field its cursor's blink; an idle screen sleeps (the update dialog
        // shows within a quarter of a second of the check's answer).
        const double now = glfwGetTime();
        double wait = 3.0;
        if (settleFrames > 0 || drawEveryFrame()) wait = 0.0;
        else if (!screen.downloads.active().empty() || screen.downloads.pendingCount() > 0 ||
                 updatePhase() == UpdateDownloading)
            wait = 1.0 / 30.0;
        else if (updatePhase() == UpdateChecking)
            wait = 0.25;
        else if (ImGui::GetIO().WantTextInput) wait = 0.5;
        if (!screen.toast.text.empty()) wait = std::min(wait, std::max(screen.toast.expiry - now, 0.0) + 0.01);
        if (wait > 0.0)
            glfwWaitEventsTimeout(wait);
        else
            glfwPollEvents();
        const bool woken = glfwGetTime() - now < wait * 0.9;
        settleFrames = woken ? 6 : std::max(settleFrames - 1, 0);
        screen.downloads.poll();
        int width = 0, height = 0;
        glfwGetFramebufferSize(window, &width, &height);
        glViewport(0, 0, width, height);
        glClearColor(0.0549f, 0.0627f, 0.0824f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        beginUiFrame();
        screen.drawUi(static_cast<float>(width), static_cast<float>(height));
        endUiFrame();
        glfwSwapBuffers(window);
        if (glfwWindowShouldClose(window)) break;
    }
    return screen.finish();
}
