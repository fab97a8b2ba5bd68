#include "zones/sidebar.h"

#include "platform/platform.h"
#include "viewer/account_page.h"
#include "viewer/ui_fonts.h"
#include "zones/selector_style.h"
#include "zones/sidebar_text.h"

#include <imgui.h>

#include <algorithm>
#include <cstdio>

using namespace selector_style;

namespace {

constexpr float kWidth = 320.0f;
constexpr int kSearchLimit = 5;

void magnifier(ImDrawList* draw, ImVec2 centre, ImU32 colour) {
    draw->AddCircle(centre, 6.0f, colour, 16, 1.6f);
    draw->AddLine(ImVec2(centre.x + 4.5f, centre.y + 4.5f), ImVec2(centre.x + 9.0f, centre.y + 9.0f), colour, 1.8f);
}

void chevron(ImDrawList* draw, ImVec2 at, float size, bool down, ImU32 colour) {
    if (down) {
        draw->AddLine(ImVec2(at.x - size, at.y - size * 0.5f), ImVec2(at.x, at.y + size * 0.5f), colour, 1.6f);
        draw->AddLine(ImVec2(at.x, at.y + size * 0.5f), ImVec2(at.x + size, at.y - size * 0.5f), colour, 1.6f);
    } else {
        draw->AddLine(ImVec2(at.x - size * 0.5f, at.y - size), ImVec2(at.x + size * 0.5f, at.y), colour, 1.6f);
        draw->AddLine(ImVec2(at.x + size * 0.5f, at.y), ImVec2(at.x - size * 0.5f, at.y + size), colour, 1.6f);
    }
}

void sectionHeader(const char* text) {
    ImGui::Spacing();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.55f, 0.58f, 0.65f, 1.0f));
    ImGui::TextUnformatted(text);
    ImGui::PopStyleColor();
}

void resultCounts(const TileCounts& counts) {
    if (counts.local + counts.server == 0) return;
    bool first = true;
    auto part = [&](const ImVec4& colour, const char* text) {
        if (!first) ImGui::SameLine(0.0f, 0.0f);
        first = false;
        ImGui::PushStyleColor(ImGuiCol_Text, colour);
        ImGui::TextUnformatted(text);
        ImGui::PopStyleColor();
    };
    char text[64];
    if (counts.local > 0) {
        std::snprintf(text, sizeof text, "%d locales", counts.local);
        part(kAccent, text);
    }
    if (counts.local > 0 && counts.server > 0) part(ImVec4(0.5f, 0.5f, 0.55f, 1.0f), " .");
    if (counts.server > 0) {
        std::snprintf(text, sizeof text, "%s%d serveur", counts.local > 0 ? " " : "", counts.server);
        part(kServerBlue, text);
    }
    std::snprintf(text, sizeof text, " . %d total", counts.local + counts.server);
    part(ImVec4(0.6f, 0.6f, 0.65f, 1.0f), text);

    const ImVec2 at = ImGui::GetCursorScreenPos();
    const float share = static_cast<float>(counts.local) / static_cast<float>(counts.local + counts.server);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(at, ImVec2(at.x + 276.0f, at.y + 3.0f), IM_COL32(80, 140, 255, 120));
    draw->AddRectFilled(at, ImVec2(at.x + 276.0f * share, at.y + 3.0f), kAccent32);
    ImGui::Dummy(ImVec2(276.0f, 6.0f));
}

void historyCard(const ZoneHistoryEntry& entry, SidebarAction& action) {
    const ImVec2 at = ImGui::GetCursorScreenPos();
    if (ImGui::Button("##hist_btn", ImVec2(300.0f, 56.0f)))
        action = {true, entry.label, entry.lat, entry.lon};
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float line = ImGui::GetTextLineHeight();
    ImGui::PushClipRect(at, ImVec2(at.x + 270.0f, at.y + 56.0f), true);
    draw->AddText(ImVec2(at.x + 12.0f, at.y + 28.0f - line - 1.0f), IM_COL32(230, 235, 240, 255),
                  entry.label.c_str());
    char detail[96];
    std::snprintf(detail, sizeof detail, "%d dalles - %s", entry.tileCount, entry.timestamp.c_str());
    draw->AddText(ImVec2(at.x + 12.0f, at.y + 29.0f), IM_COL32(150, 155, 165, 255), detail);
    ImGui::PopClipRect();
    chevron(draw, ImVec2(at.x + 284.0f, at.y + 28.0f), 5.0f, false, IM_COL32(150, 155, 165, 255));
}

// Draws the button; its top-left corner, where the menu opens above.
ImVec2 accountButton(const AccountSession& session) {
    const ImVec2 at = ImGui::GetCursorScreenPos();
    if (ImGui::Button("##profile_btn", ImVec2(296.0f, 50.0f))) ImGui::OpenPopup("##account_menu");
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 centre(at.x + 28.0f, at.y + 25.0f);
    draw->AddCircleFilled(centre, 16.0f, IM_COL32(8, 86, 170, 255), 24);
    const std::string initials = accountInitials(session.username);
    const ImVec2 size = ImGui::CalcTextSize(initials.c_str());
    draw->AddText(ImVec2(centre.x - size.x * 0.5f, centre.y - size.y * 0.5f), IM_COL32(255, 255, 255, 255),
                  initials.c_str());
    ImGui::PushClipRect(at, ImVec2(at.x + 262.0f, at.y + 50.0f), true);
    draw->AddText(ImVec2(at.x + 54.0f, centre.y - ImGui::GetTextLineHeight() * 0.5f), IM_COL32(230, 235, 240, 255),
                  session.username.c_str());
    ImGui::PopClipRect();
    chevron(draw, ImVec2(at.x + 278.0f, centre.y), 4.0f, true, IM_COL32(150, 155, 165, 255));
    return at;
}

void accountMenu(const AccountSession& session, ImVec2 buttonAt, SidebarAction& action) {
    ImGui::SetNextWindowSize(ImVec2(220.0f, 0.0f));
    ImGui::SetNextWindowPos(ImVec2(buttonAt.x, buttonAt.y - 6.0f), ImGuiCond_Always, ImVec2(0.0f, 1.0f));
    if (!ImGui::BeginPopup("##account_menu")) return;
    setAbsoluteFontScale(1.2f);
    if (uiFontBold) ImGui::PushFont(uiFontBold);
    ImGui::TextUnformatted(session.username.c_str());
    if (uiFontBold) ImGui::PopFont();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.6f, 0.62f, 0.68f, 1.0f));
    ImGui::PushTextWrapPos(ImGui::GetCursorPosX() + 200.0f);
    ImGui::TextUnformatted(session.email.c_str());
    ImGui::PopTextWrapPos();
    ImGui::PopStyleColor();
    ImGui::Separator();
    sectionHeader("COMPTE");
    if (ImGui::Selectable("  Mon compte")) platform::openUrl(accountDashboardUrl());
    sectionHeader("APPLICATION");
    if (ImGui::Selectable("  Paramètres")) action.openSettings = true;
    if (ImGui::Selectable("  Crédits & licences")) action.openCredits = true;
    ImGui::Separator();
    if (ImGui::Selectable("  Se déconnecter")) logout();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.9f, 0.35f, 0.35f, 1.0f));
    if (ImGui::Selectable("  Quitter Abysto 3D")) action.quit = true;
    ImGui::PopStyleColor();
    ImGui::EndPopup();
}

} // namespace

void runPlaceSearch(SidebarState& state, const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres) {
    state.results.clear();
    state.counts.clear();
    state.searched = true;
    searchPlaces(state.query, state.results, kSearchLimit);
    for (const PlaceResult& place : state.results)
        state.counts.push_back(countTilesNear(tiles, centres, place.lat, place.lon));
}

SidebarAction drawSidebar(SidebarState& state, const std::vector<TileInfo>& tiles,
                          const std::vector<TileCentre>& centres, const AccountSession& session, float height) {
    SidebarAction action;
    ImGui::PushStyleColor(ImGuiCol_ChildBg, ImVec4(0.05f, 0.06f, 0.09f, 1.0f));
    ImGui::BeginChild("##sidebar", ImVec2(kWidth, height), false, ImGuiWindowFlags_NoScrollbar);
    ImGui::PopStyleColor();
    setAbsoluteFontScale(1.25f);
    ImGui::SetCursorPos(ImVec2(12.0f, 12.0f));
    ImGui::BeginGroup();

    if (uiFontTitle) ImGui::PushFont(uiFontTitle);
    ImGui::PushStyleColor(ImGuiCol_Text, kAccent);
    ImGui::TextUnformatted("Abysto");
    ImGui::PopStyleColor();
    if (uiFontTitle) ImGui::PopFont();
    ImGui::SameLine();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.4f, 0.4f, 0.45f, 1.0f));
    ImGui::TextUnformatted("BETA");
    ImGui::PopStyleColor();
    ImGui::Separator();

    ImGui::Spacing();
    ImGui::TextUnformatted("Rechercher une ville");
    const ImVec2 fieldAt = ImGui::GetCursorScreenPos();
    ImGui::PushStyleVar(ImGuiStyleVar_FramePadding, ImVec2(30.0f, ImGui::GetStyle().FramePadding.y));
    ImGui::SetNextItemWidth(296.0f);
    const bool entered =
        ImGui::InputText("##search", state.query, sizeof state.query, ImGuiInputTextFlags_EnterReturnsTrue);
    ImGui::PopStyleVar();
    magnifier(ImGui::GetWindowDrawList(), ImVec2(fieldAt.x + 14.0f, fieldAt.y + ImGui::GetFrameHeight() * 0.5f - 1.0f),
              IM_COL32(150, 155, 165, 255));
    if (entered && state.query[0] != '\0') runPlaceSearch(state, tiles, centres);

    if (state.searched && state.results.empty()) {
        ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.5f, 0.5f, 1.0f));
        ImGui::TextUnformatted("Aucun résultat.");
        ImGui::PopStyleColor();
    } else if (!state.results.empty()) {
        sectionHeader("Résultats");
        for (size_t i = 0; i < state.results.size(); ++i) {
            const PlaceResult& place = state.results[i];
            ImGui::PushID(static_cast<int>(i));
            const bool current = place.label == state.placeName;
            if (current) pushAccentButton();
            if (ImGui::Button(buttonText(place.label).c_str(), ImVec2(300.0f, 0.0f)))
                action = {true, place.label, place.lat, place.lon};
            if (current) popAccentButton();
            if (i < state.counts.size()) resultCounts(state.counts[i]);
            ImGui::PopID();
        }
    }

    if (!state.history.empty()) {
        sectionHeader("ZONES RÉCENTES");
        for (size_t i = 0; i < state.history.size(); ++i) {
            ImGui::PushID(static_cast<int>(i));
            historyCard(state.history[i], action);
            ImGui::PopID();
        }
    }

    ImGui::EndGroup();
    ImGui::SetCursorPos(ImVec2(12.0f, std::max(ImGui::GetCursorPosY() + 8.0f, height - 60.0f)));
    const ImVec2 buttonAt = accountButton(session);
    accountMenu(session, buttonAt, action);
    ImGui::EndChild();
    return action;
}
