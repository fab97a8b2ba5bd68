// Colours and button styles shared by the start screen's parts.
#pragma once

#include <imgui.h>
#include <imgui_internal.h>

namespace selector_style {

inline const ImVec4 kAccent(0.18f, 0.525f, 0.878f, 1.0f);  // (46, 134, 224)
inline const ImVec4 kServerBlue(0.35f, 0.6f, 0.95f, 1.0f);
inline const ImVec4 kErrorText(0.9f, 0.3f, 0.3f, 1.0f);
inline constexpr ImU32 kAccent32 = IM_COL32(46, 134, 224, 255);

// Buttons in the accent colours until popAccentButton.
inline void pushAccentButton() {
    ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.031f, 0.337f, 0.667f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImVec4(0.031f, 0.353f, 0.702f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_ButtonActive, ImVec4(0.02f, 0.259f, 0.541f, 1.0f));
}
inline void popAccentButton() { ImGui::PopStyleColor(3); }

// Text of the current window drawn `scale` times the font size: the toolkit
// multiplies a window's scale by its parent's, which this undoes.
inline void setAbsoluteFontScale(float scale) {
    const ImGuiWindow* parent = ImGui::GetCurrentWindow()->ParentWindow;
    const float inherited = parent && parent->FontWindowScale > 0.0f ? parent->FontWindowScale : 1.0f;
    ImGui::SetWindowFontScale(scale / inherited);
}

// `text` with its left edge at x so that it is centred in a region of `width` from `left`.
inline void centredText(const char* text, float left, float width) {
    ImGui::SetCursorPosX(left + (width - ImGui::CalcTextSize(text).x) * 0.5f);
    ImGui::TextUnformatted(text);
}

} // namespace selector_style
