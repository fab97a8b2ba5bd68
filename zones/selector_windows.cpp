#include "zones/selector_windows.h"

#include "tiles/tile_server.h"
#include "viewer/ui_fonts.h"
#include "zones/selector_style.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace selector_style;

namespace {

void title(const char* text) {
    if (uiFontTitle) ImGui::PushFont(uiFontTitle);
    ImGui::PushStyleColor(ImGuiCol_Text, kAccent);
    ImGui::TextUnformatted(text);
    ImGui::PopStyleColor();
    if (uiFontTitle) ImGui::PopFont();
}

void section(const char* text) {
    ImGui::Spacing();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.55f, 0.58f, 0.65f, 1.0f));
    ImGui::TextUnformatted(text);
    ImGui::PopStyleColor();
}

void wrapped(const char* text) { ImGui::TextWrapped("%s", text); }

// Settings and credits open side by side, centred together, so that both can be read at once.
constexpr float kSettingsWidth = 600.0f;
float floatingLeft() { return std::max(8.0f, ImGui::GetIO().DisplaySize.x * 0.5f - (kSettingsWidth + 16.0f + 480.0f) * 0.5f); }

void centreOnPrimaryMonitor(GLFWwindow* window, int width, int height) {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    const int x = mode ? (mode->width - width) / 2 : 0;
    const int y = mode ? (mode->height - height) / 2 : 0;
    glfwSetWindowMonitor(window, nullptr, std::max(x, 0), std::max(y, 0), width, height, GLFW_DONT_CARE);
}

} // namespace

TipsState tipsAtEntry(const std::string& markerFile, bool firstCall) {
    std::error_code ec;
    TipsState tips;
    tips.dismissed = std::filesystem::exists(markerFile, ec);
    tips.show = !tips.dismissed && firstCall;
    return tips;
}

void setTipsDismissed(const std::string& markerFile, bool dismissed) {
    if (dismissed) {
        std::ofstream(markerFile) << "dismissed";
    } else {
        std::error_code ec;
        std::filesystem::remove(markerFile, ec);
    }
}

void drawCreditsWindow(bool& open, const std::string& versionText) {
    ImGui::SetNextWindowPos(ImVec2(floatingLeft() + kSettingsWidth + 16.0f, ImGui::GetIO().DisplaySize.y * 0.12f),
                            ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSizeConstraints(ImVec2(480.0f, 0.0f), ImVec2(480.0f, 10000.0f));
    if (!ImGui::Begin("Crédits & licences", &open, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoScrollbar)) {
        ImGui::End();
        return;
    }
    ImGui::SetWindowFontScale(1.2f);
    title("Abysto 3D");
    ImGui::TextUnformatted(versionText.c_str());
    ImGui::Separator();
    ImGui::TextUnformatted("Réalisé par l'équipe Abysto.");
    section("SOURCES DE DONNÉES");
    wrapped("Bathymétrie : SHOM - IGN, Litto3D Bretagne 2018-2021");
    wrapped("Marées : prédictions du service de marées, constituants Ifremer/PREVIMER (CC BY)");
    wrapped("Imagerie : orthophotographies IGN Géoportail");
    wrapped("Références altimétriques : SHOM, fiches RAM");
    section("BIBLIOTHÈQUES");
    wrapped("GDAL, GLFW, GLAD, GLM, Dear ImGui, libcurl, nlohmann/json, stb_image");
    ImGui::End();
}

void drawSettingsWindow(bool& open, SettingsContext& context) {
    // Wide enough for the four size buttons side by side, as high as what it
    // holds: nothing is cut off at this window's text scale.
    ImGui::SetNextWindowPos(ImVec2(floatingLeft(), ImGui::GetIO().DisplaySize.y * 0.12f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSizeConstraints(ImVec2(kSettingsWidth, 0.0f), ImVec2(kSettingsWidth, 10000.0f));
    if (!ImGui::Begin("Paramètres", &open, ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoScrollbar)) {
        ImGui::End();
        return;
    }
    ImGui::SetWindowFontScale(1.2f);
    GLFWwindow* window = context.window;

    section("AFFICHAGE");
    bool fullscreen = window && glfwGetWindowMonitor(window) != nullptr;
    if (window && ImGui::Checkbox("Mode plein écran", &fullscreen)) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
        if (fullscreen && mode)
            glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
        else if (!fullscreen)
            centreOnPrimaryMonitor(window, 1600, 900);
    }
    if (window && !fullscreen) {
        ImGui::TextUnformatted("Taille de la fenêtre");
        static const int sizes[4][2] = {{1280, 720}, {1600, 900}, {1920, 1080}, {2560, 1440}};
        int width = 0, height = 0;
        glfwGetWindowSize(window, &width, &height);
        for (int i = 0; i < 4; ++i) {
            char label[16];
            std::snprintf(label, sizeof label, "%dx%d", sizes[i][0], sizes[i][1]);
            const bool current = width == sizes[i][0] && height == sizes[i][1];
            if (i > 0) ImGui::SameLine();
            if (current) pushAccentButton();
            if (ImGui::Button(label, ImVec2(130.0f, 28.0f))) centreOnPrimaryMonitor(window, sizes[i][0], sizes[i][1]);
            if (current) popAccentButton();
        }
    }

    section("SERVEUR");
    const std::string url = tileServerConfigured() ? tileServerBaseUrl() : std::string("(aucun)");
    ImGui::Text("URL : %s", url.c_str());
    const int local = static_cast<int>(
        std::count_if(context.tiles.begin(), context.tiles.end(), [](const TileInfo& t) { return t.isLocal; }));
    const int server = static_cast<int>(std::count_if(context.tiles.begin(), context.tiles.end(),
                                                      [](const TileInfo& t) { return t.onServer && !t.isLocal; }));
    ImGui::Text("Dalles locales : %d", local);
    ImGui::Text("Dalles serveur : %d", server);

    section("DONNÉES");
    ImGui::TextWrapped("Dossier : %s", context.tileDir.empty() ? "(non défini)" : context.tileDir.c_str());
    if (ImGui::Button("Vider l'historique")) {
        context.history.clear();
        saveZoneHistory(context.historyPath, context.history);
    }

    section("INFORMATIONS");
    int fbWidth = 0, fbHeight = 0;
    if (window) glfwGetFramebufferSize(window, &fbWidth, &fbHeight);
    ImGui::Text("Résolution : %d x %d", fbWidth, fbHeight);
    ImGui::Text("Version : %s", context.versionText.c_str());
    ImGui::End();
}

void drawTipsWindow(TipsState& tips, const std::string& markerFile) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    // 520 wide; as high as its text needs at this scale, so that nothing is cut off.
    ImGui::SetNextWindowSizeConstraints(ImVec2(520.0f, 0.0f), ImVec2(520.0f, 10000.0f));
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.5f - 260.0f, display.y * 0.3f), ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Bienvenue dans Abysto", &tips.show,
                      ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoScrollbar)) {
        ImGui::End();
        return;
    }
    ImGui::SetWindowFontScale(1.2f);
    title("Conseils d'utilisation");
    section("DÉMARRAGE");
    wrapped("1. Tapez le nom d'une ville côtière dans la barre de recherche.");
    wrapped("2. Cliquez sur un résultat pour afficher les dalles sur la carte satellite.");
    wrapped("3. Sélectionnez les dalles puis cliquez sur Explorer.");
    section("EN VUE 3D");
    wrapped("ZQSD : se déplacer | Souris : orbiter | Molette : zoomer");
    wrapped("I = aide  |  T = marées  |  L = satellite  |  V = exagération  |  Échap = retour");
    ImGui::Spacing();
    if (ImGui::Checkbox("Ne plus afficher au démarrage", &tips.dismissed)) setTipsDismissed(markerFile, tips.dismissed);
    if (ImGui::Button("Compris !", ImVec2(90.0f, 30.0f))) tips.show = false;
    ImGui::End();
}
