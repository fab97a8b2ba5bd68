#include "routes/route_input.h"
#include "routes/route_ui.h"
#include "routes/route_ui_lines.h"

#include <algorithm>

namespace {

constexpr float kButtonWidth = 96.0f, kButtonHeight = 28.0f;

} // namespace

ImVec2 routeToolbarLargestSize() {
    const ImGuiStyle& style = ImGui::GetStyle();
    float width = 3 * kButtonWidth + 2 * style.ItemSpacing.x;
    size_t lines = 0;
    RouteEditor editor;
    for (const bool drawing : {false, true}) {
        editor.drawing = drawing;
        for (int mode = kModeNavigate; mode <= kModeRoute; ++mode) {
            const std::vector<PanelLine> hints = toolbarHintLines(editor, mode);
            lines = std::max(lines, hints.size());
            // Room for a few more digits in the point count.
            for (const PanelLine& hint : hints)
                width = std::max(width, ImGui::CalcTextSize((hint.text + "00").c_str()).x);
        }
    }
    return ImVec2(width + 2 * style.WindowPadding.x,
                  kButtonHeight + static_cast<float>(lines) * (ImGui::GetTextLineHeight() + style.ItemSpacing.y) +
                      2 * style.WindowPadding.y);
}

void drawRouteToolbar(RouteEditor& editor, RoutePanelState& panel) {
    // Placed every frame just under the main menu bar.
    ImGui::SetNextWindowPos(ImVec2(12.0f, ImGui::GetFrameHeight() + 12.0f));
    ImGui::SetNextWindowBgAlpha(0.82f);
    // Kept behind the other windows, even when clicked: they start clear of
    // it, and one the user drags over it stays readable.
    const ImGuiWindowFlags flags = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                                   ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoNav |
                                   ImGuiWindowFlags_AlwaysAutoResize | ImGuiWindowFlags_NoBringToFrontOnFocus;
    if (ImGui::Begin("##route_toolbar", nullptr, flags)) {
        for (int mode = kModeNavigate; mode <= kModeRoute; ++mode) {
            if (mode > kModeNavigate) ImGui::SameLine();
            const bool current = panel.interactionMode == mode;
            ImGui::PushStyleColor(ImGuiCol_Button, toImVec4(modeButtonColor(current)));
            ImGui::PushStyleColor(ImGuiCol_ButtonHovered, toImVec4(modeButtonHoveredColor(current)));
            if (ImGui::Button(kModeButtons[mode].label, ImVec2(kButtonWidth, kButtonHeight)))
                setInteractionMode(editor, panel, mode);
            ImGui::PopStyleColor(2);
            if (ImGui::IsItemHovered()) ImGui::SetTooltip("%s", kModeButtons[mode].tooltip);
        }
        drawPanelLines(toolbarHintLines(editor, panel.interactionMode));
    }
    ImGui::End();
}
