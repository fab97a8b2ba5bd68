#include "routes/route_input.h"
#include "routes/route_ui.h"
#include "routes/route_ui_lines.h"

#include <imgui_internal.h>

void drawRouteToolbar(RouteEditor& editor, RoutePanelState& panel) {
    // Placed every frame just under the main menu bar.
    ImGui::SetNextWindowPos(ImVec2(12.0f, ImGui::GetFrameHeight() + 12.0f));
    ImGui::SetNextWindowBgAlpha(0.82f);
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize |
                                   ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoNav |
                                   ImGuiWindowFlags_AlwaysAutoResize;
    if (ImGui::Begin("##route_toolbar", nullptr, flags)) {
        // The legend sits where the hint lines end; the toolbar stays above
        // it, but under any open menu or popup.
        if (!ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel))
            ImGui::BringWindowToDisplayFront(ImGui::GetCurrentWindow());
        for (int mode = kModeNavigate; mode <= kModeRoute; ++mode) {
            if (mode > kModeNavigate) ImGui::SameLine();
            const bool current = panel.interactionMode == mode;
            ImGui::PushStyleColor(ImGuiCol_Button, toImVec4(modeButtonColor(current)));
            ImGui::PushStyleColor(ImGuiCol_ButtonHovered, toImVec4(modeButtonHoveredColor(current)));
            if (ImGui::Button(kModeButtons[mode].label, ImVec2(96.0f, 28.0f)))
                setInteractionMode(editor, panel, mode);
            ImGui::PopStyleColor(2);
            if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", kModeButtons[mode].tooltip);
        }
        drawPanelLines(toolbarHintLines(editor, panel.interactionMode));
    }
    ImGui::End();
}
