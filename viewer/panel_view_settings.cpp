// The vertical-exaggeration window and the settings window.
#include "viewer/panels.h"
#include "viewer/view_rules.h"
#include "viewer/viewer.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <cstdio>
#include <imgui.h>

namespace {

const ImVec4 kHighlight(0.031f, 0.337f, 0.667f, 1.0f);

// A button drawn in the highlight colour when `highlighted`.
bool choiceButton(const char* label, const ImVec2& size, bool highlighted) {
    if (highlighted) ImGui::PushStyleColor(ImGuiCol_Button, kHighlight);
    const bool pressed = ImGui::Button(label, size);
    if (highlighted) ImGui::PopStyleColor();
    return pressed;
}

} // namespace

void drawExaggerationWindow(Viewer& v, const UiRect& place) {
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(260, 90), ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Exagération verticale", &v.panels.exaggerationWindowOpen, ImGuiWindowFlags_AlwaysAutoResize)) {
        ImGui::End();
        return;
    }
    if (ImGui::SmallButton("(?)")) v.panels.exaggerationHelpShown = !v.panels.exaggerationHelpShown;
    ImGui::SameLine();
    ImGui::TextUnformatted("Exagération verticale");
    if (v.panels.exaggerationHelpShown) {
        ImGui::Separator();
        ImGui::TextWrapped("%s",
                           "Le facteur d'exagération verticale permet d'accentuer le relief affiché.\n"
                           "Il est déconseillé d'utiliser la vue satellite avec un facteur supérieur à x3.\n"
                           "x0 : terrain plat.\nx1 : relief réel.\nx7 : relief multiplié par sept.");
        ImGui::Separator();
    }
    ImGui::Separator();
    ImGui::Text("Facteur actuel : x%.0f", v.exaggeration);
    ImGui::Separator();
    for (int factor = 1; factor <= 7; ++factor) {
        char label[8];
        std::snprintf(label, sizeof label, "x%d", factor);
        if (factor > 1) ImGui::SameLine();
        // The current factor too: a click always rebuilds.
        if (choiceButton(label, ImVec2(28, 28), exaggerationButtonHighlighted(factor, v.exaggeration)))
            v.setExaggeration(static_cast<float>(factor));
    }
    ImGui::End();
}

void drawSettingsWindow(Viewer& v, const UiRect& place) {
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(place.width, place.height), ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Paramètres", &v.panels.settingsOpen)) {
        ImGui::End();
        return;
    }
    ImGui::TextDisabled("AFFICHAGE");
    ImGui::Spacing();
    bool fullscreen = v.display.fullscreen;
    if (ImGui::Checkbox("Plein écran", &fullscreen) && fullscreen != v.display.fullscreen) v.toggleFullscreen();

    if (!v.display.fullscreen) {
        ImGui::Spacing();
        ImGui::TextUnformatted("Taille de la fenêtre");
        int width = 0, height = 0;
        glfwGetWindowSize(v.window, &width, &height);
        bool first = true;
        for (const WindowSizeChoice& choice : kWindowSizeChoices) {
            if (!first) ImGui::SameLine();
            first = false;
            if (choiceButton(choice.label, ImVec2(150, 0), windowSizeHighlighted(choice, width, height)))
                v.setWindowedSize(choice.width, choice.height);
        }
    }

    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    ImGui::TextDisabled("INFORMATIONS");
    ImGui::Spacing();
    ImGui::Text("Résolution courante : %d x %d", v.display.framebufferWidth, v.display.framebufferHeight);
    ImGui::Text("Mode : %s", windowModeText(v.display.fullscreen));
    ImGui::End();
}
