#include "zones/main_panel.h"

#include "tiles/tile_server.h"
#include "viewer/ui_fonts.h"
#include "zones/selector_style.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

using namespace selector_style;

namespace {

ImTextureID textureId(unsigned int texture) { return reinterpret_cast<ImTextureID>(static_cast<intptr_t>(texture)); }

// The welcome page is laid out in pixels: its texts get sizes of their own
// rather than the window's scale, so that each line fits its card.
void textAt(ImDrawList* draw, ImVec2 at, ImU32 colour, const char* text, ImFont* font, float size) {
    draw->AddText(font ? font : ImGui::GetFont(), size, at, colour, text);
}

float textWidth(const char* text, ImFont* font, float size) {
    ImFont* f = font ? font : ImGui::GetFont();
    return f->CalcTextSizeA(size, 10000.0f, 0.0f, text).x;
}

void centredLine(ImDrawList* draw, float centreX, float y, ImU32 colour, const char* text, ImFont* font, float size) {
    textAt(draw, ImVec2(centreX - textWidth(text, font, size) * 0.5f, y), colour, text, font, size);
}

void drawWelcome(const MainPanelContext& context, ImVec2 origin, float width, float height) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float cx = origin.x + width * 0.5f;
    float y = origin.y + height * 0.14f;

    const ImVec2 squareMin(cx - 40.5f, y), squareMax(cx + 40.5f, y + 81.0f);
    draw->AddRectFilled(squareMin, squareMax, IM_COL32(255, 255, 255, 6), 16.2f);
    draw->AddRect(squareMin, squareMax, IM_COL32(255, 255, 255, 12), 16.2f);
    if (context.anchorTexture != 0)
        draw->AddImage(textureId(context.anchorTexture), ImVec2(cx - 14.85f, y + 40.5f - 18.9f),
                       ImVec2(cx + 14.85f, y + 40.5f + 18.9f));
    y += 81.0f + 35.1f;

    centredLine(draw, cx, y, IM_COL32(215, 225, 232, 255), "Explorer le littoral en 3D", uiFontTitle, 35.0f);
    y += 54.0f;
    centredLine(draw, cx, y, IM_COL32(255, 255, 255, 85), "Tapez le nom d'une ville cotière dans la barre de recherche",
                nullptr, 23.0f);
    y += 32.4f;
    centredLine(draw, cx, y, IM_COL32(255, 255, 255, 85), "pour visualiser la bathymétrie de la zone en relief 3D.",
                nullptr, 23.0f);
    y += 102.6f;

    struct Card {
        const char* title;
        const char* line1;
        const char* line2;
    };
    static const Card cards[4] = {{"Marées", "Niveau d'eau en temps réel", "selon l'heure de la marée"},
                                  {"Relief 3D", "Données LIDAR haute", "résolution (1m)"},
                                  {"Satellite", "Imagerie aérienne", "superposée au terrain"},
                                  {"Marqueurs", "Relevés de profondeur", "précis au clic"}};
    const float gridLeft = cx - (315.9f + 297.0f) * 0.5f;
    const float titleSize = 21.0f, lineSize = 19.0f;
    for (int i = 0; i < 4; ++i) {
        const ImVec2 at(gridLeft + (i % 2) * 315.9f, y + (i / 2) * 137.7f);
        const ImVec2 end(at.x + 297.0f, at.y + 118.8f);
        draw->AddRectFilled(at, end, IM_COL32(255, 255, 255, 5), 10.8f);
        draw->AddRect(at, end, IM_COL32(255, 255, 255, 12), 10.8f);
        draw->AddCircleFilled(ImVec2(at.x + 24.0f, at.y + 28.0f), 6.75f, IM_COL32(100, 180, 220, 130), 20);
        textAt(draw, ImVec2(at.x + 40.0f, at.y + 28.0f - titleSize * 0.5f), IM_COL32(255, 255, 255, 160),
               cards[i].title, uiFontBold, titleSize);
        textAt(draw, ImVec2(at.x + 18.0f, at.y + 54.0f), IM_COL32(255, 255, 255, 55), cards[i].line1, nullptr, lineSize);
        textAt(draw, ImVec2(at.x + 18.0f, at.y + 54.0f + lineSize + 6.0f), IM_COL32(255, 255, 255, 55), cards[i].line2,
               nullptr, lineSize);
    }
    y += 137.7f + 118.8f + 20.0f;

    draw->AddLine(ImVec2(cx - 306.45f, y), ImVec2(cx + 306.45f, y), IM_COL32(255, 255, 255, 8));
    centredLine(draw, cx, y + 18.9f, IM_COL32(255, 255, 255, 35),
                "I = aide  |  T = marées  |  L = satellite  |  V = exagération  |  Échap = retour", nullptr, 19.0f);
    const std::string footer = context.versionText + " | Données SHOM/IGN Litto3D";
    textAt(draw, ImVec2(origin.x + 16.0f, origin.y + height - 30.0f), IM_COL32(255, 255, 255, 35), footer.c_str(),
           nullptr, 18.0f);
}

void drawHeader(MainPanelContext& context) {
    PlaceMap& map = context.map;
    if (uiFontTitle) ImGui::PushFont(uiFontTitle);
    ImGui::TextUnformatted(map.name.c_str());
    if (uiFontTitle) ImGui::PopFont();
    ImGui::SameLine();
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(0.6f, 0.62f, 0.68f, 1.0f));
    ImGui::TextUnformatted(mapHeaderCoordinates(map.lat, map.lon).c_str());
    ImGui::PopStyleColor();

    const ImGuiStyle& style = ImGui::GetStyle();
    const float buttons = ImGui::CalcTextSize("Tout sélect.").x + ImGui::CalcTextSize("Aucun").x +
                          style.FramePadding.x * 4.0f + style.ItemSpacing.x + 16.0f;
    ImGui::SameLine(std::max(ImGui::GetCursorPosX(), ImGui::GetWindowContentRegionMax().x - buttons));
    if (ImGui::Button("Tout sélect.")) selectAllLocal(context.tiles, map.area.visible);
    ImGui::SameLine();
    if (ImGui::Button("Aucun")) selectNone(context.tiles, map.area.visible);
}

struct TileLook {
    ImU32 fill, outline;
    const char* mark = nullptr;
    ImU32 markColour = 0;
};

TileLook tileLook(const TileInfo& tile, bool downloading) {
    if (tile.selected) return {IM_COL32(60, 200, 90, 130), IM_COL32(60, 220, 100, 255), "V", IM_COL32(60, 220, 100, 220)};
    if (tile.isLocal) return {IM_COL32(200, 200, 200, 25), IM_COL32(255, 255, 255, 80)};
    if (tile.onServer)
        return {IM_COL32(50, 120, 230, 45), IM_COL32(80, 160, 255, 160), downloading ? nullptr : "*",
                IM_COL32(80, 160, 255, 150)};
    return {IM_COL32(255, 255, 255, 10), IM_COL32(255, 255, 255, 40)};
}

void drawMap(MainPanelContext& context) {
    PlaceMap& map = context.map;
    // Below the map: legend, notice and the button row, which must stay on screen.
    const ImGuiStyle& style = ImGui::GetStyle();
    const float below = 2.0f * ImGui::GetTextLineHeightWithSpacing() + 36.0f + 4.0f * style.ItemSpacing.y + 20.0f;
    const ImVec2 available = ImGui::GetContentRegionAvail();
    const MapSize size =
        mapAreaSize(available.x, available.y - std::max(below - 80.0f, 0.0f), map.textureWidth, map.textureHeight);
    const ImVec2 topLeft = ImGui::GetCursorScreenPos();
    const ImVec2 bottomRight(topLeft.x + size.width, topLeft.y + size.height);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    if (map.texture != 0)
        draw->AddImage(textureId(map.texture), topLeft, bottomRight);
    else
        draw->AddRectFilled(topLeft, bottomRight, IM_COL32(20, 25, 35, 255));


    TileClickContext click;
    click.serverConfigured = tileServerConfigured();
    click.tileDir = context.tileDir;
    for (size_t i = 0; i < map.area.visible.size() && i < map.area.rects.size(); ++i) {
        TileInfo& tile = context.tiles[map.area.visible[i]];
        const ImageRect& r = map.area.rects[i];
        const ImVec2 a(topLeft.x + static_cast<float>(r.x0) * size.width,
                       topLeft.y + static_cast<float>(r.y0) * size.height);
        const ImVec2 b(topLeft.x + static_cast<float>(r.x1) * size.width,
                       topLeft.y + static_cast<float>(r.y1) * size.height);
        const std::string key = tileKey(tile.gx, tile.gy);
        const auto running = context.downloads.active().find(key);
        const bool downloading = running != context.downloads.active().end();
        const bool waiting = !downloading && context.downloads.contains(key);

        const float barHeight = std::max((b.y - a.y) * 0.12f, 2.0f);
        const TileLook look = tileLook(tile, downloading);
        draw->AddRectFilled(a, b, look.fill, 2.0f);
        draw->AddRect(a, b, look.outline, 2.0f, 0, 1.0f);
        if (look.mark) {
            const ImVec2 markSize = ImGui::CalcTextSize(look.mark);
            draw->AddText(ImVec2((a.x + b.x - markSize.x) * 0.5f, (a.y + b.y - markSize.y) * 0.5f), look.markColour,
                          look.mark);
        }
        if (waiting) draw->AddRectFilled(ImVec2(a.x, b.y - barHeight), b, IM_COL32(255, 200, 60, 90));
        if (downloading) {
            const float fraction = std::clamp(running->second->progress.load(), 0.0f, 1.0f);
            draw->AddRectFilled(ImVec2(a.x, b.y - barHeight), ImVec2(a.x + (b.x - a.x) * fraction, b.y),
                                IM_COL32(255, 200, 60, 255));
        }

        char id[48];
        std::snprintf(id, sizeof id, "##t_%d_%d", tile.gx, tile.gy);
        ImGui::SetCursorScreenPos(a);
        if (ImGui::InvisibleButton(id, ImVec2(std::max(b.x - a.x, 1.0f), std::max(b.y - a.y, 1.0f)))) {
            click.downloading = downloading;
            click.waiting = waiting;
            if (clickTile(tile, click) == TileClick::QueueDownload) context.downloads.enqueue(tile, context.tileDir);
        }
    }
    ImGui::SetCursorScreenPos(ImVec2(topLeft.x, bottomRight.y + 6.0f));
}

void legendBox(ImU32 fill, ImU32 outline, const char* label, const ImVec4* colour) {
    const ImVec2 at = ImGui::GetCursorScreenPos();
    const float dy = (ImGui::GetTextLineHeight() - 10.0f) * 0.5f;
    ImDrawList* draw = ImGui::GetWindowDrawList();
    draw->AddRectFilled(ImVec2(at.x, at.y + dy), ImVec2(at.x + 14.0f, at.y + dy + 10.0f), fill);
    draw->AddRect(ImVec2(at.x, at.y + dy), ImVec2(at.x + 14.0f, at.y + dy + 10.0f), outline);
    ImGui::Dummy(ImVec2(18.0f, ImGui::GetTextLineHeight()));
    ImGui::SameLine(0.0f, 2.0f);
    if (colour) ImGui::PushStyleColor(ImGuiCol_Text, *colour);
    ImGui::TextUnformatted(label);
    if (colour) ImGui::PopStyleColor();
    ImGui::SameLine(0.0f, 16.0f);
}

void drawLegendAndNotice(MainPanelContext& context) {
    const ImVec4 server = kServerBlue, selected(0.3f, 0.82f, 0.42f, 1.0f);
    legendBox(IM_COL32(200, 200, 200, 60), IM_COL32(255, 255, 255, 120), "Local", nullptr);
    legendBox(IM_COL32(50, 120, 230, 80), IM_COL32(80, 160, 255, 200), "Serveur", &server);
    legendBox(IM_COL32(60, 200, 90, 140), IM_COL32(60, 220, 100, 255), "Sélectionné", &selected);
    const size_t active = context.downloads.active().size(), waiting = context.downloads.pendingCount();
    if (active + waiting > 0) {
        ImGui::Text("   %d en cours, %d en attente", static_cast<int>(active), static_cast<int>(waiting));
    } else {
        ImGui::NewLine();
    }
    // The notice keeps its line when there is none, so that the buttons below
    // never move under the pointer when a notice comes or goes.
    const std::string& notice = currentToast(context.toast, glfwGetTime());
    ImGui::PushStyleColor(ImGuiCol_Text, context.toast.error ? ImVec4(0.95f, 0.42f, 0.35f, 1.0f)
                                                             : ImVec4(0.85f, 0.72f, 0.3f, 1.0f));
    ImGui::TextUnformatted(notice.empty() ? " " : notice.c_str());
    ImGui::PopStyleColor();
}

void alertTitle() {
    ImGui::SetWindowFontScale(1.5f);
    ImGui::PushStyleColor(ImGuiCol_Text, ImVec4(1.0f, 0.75f, 0.2f, 1.0f));
    ImGui::TextUnformatted("Attention");
    ImGui::PopStyleColor();
}

void drawButtonsAndPopups(MainPanelContext& context, MainPanelAction& action) {
    const int count = countSelectedVisible(context.tiles, context.map.area.visible);
    const ExploreAction onPress = exploreAction(count);
    char label[32] = "Explorer";
    if (onPress != ExploreAction::Disabled) std::snprintf(label, sizeof label, "Explorer (%d)", count);
    const float exploreWidth = std::max(160.0f, ImGui::CalcTextSize(label).x + 32.0f);
    const float rowWidth = exploreWidth + ImGui::GetStyle().ItemSpacing.x + 90.0f;
    ImGui::Spacing();
    ImGui::SetCursorPosX(std::max(ImGui::GetCursorPosX(), (ImGui::GetWindowWidth() - rowWidth) * 0.5f));
    if (onPress == ExploreAction::Disabled) {
        ImGui::BeginDisabled();
        ImGui::Button(label, ImVec2(exploreWidth, 36.0f));
        ImGui::EndDisabled();
    } else {
        pushAccentButton();
        if (ImGui::Button(label, ImVec2(exploreWidth, 36.0f))) {
            if (onPress == ExploreAction::AlertFew) ImGui::OpenPopup("##alert_few");
            if (onPress == ExploreAction::Explore) action.explore = true;
            if (onPress == ExploreAction::AlertMany) ImGui::OpenPopup("##alert_many");
        }
        popAccentButton();
    }
    ImGui::SameLine();
    if (ImGui::Button("Quitter", ImVec2(90.0f, 36.0f))) action.quit = true;

    const ImGuiWindowFlags popup = ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_AlwaysAutoResize;
    if (ImGui::BeginPopupModal("##alert_few", nullptr, popup)) {
        alertTitle();
        ImGui::TextUnformatted("Sélectionnez au moins 2 dalles adjacentes.");
        ImGui::Separator();
        ImGui::SetCursorPosX((ImGui::GetWindowWidth() - 120.0f) * 0.5f);
        if (ImGui::Button("Compris", ImVec2(120.0f, 30.0f))) ImGui::CloseCurrentPopup();
        ImGui::EndPopup();
    }
    if (ImGui::BeginPopupModal("##alert_many", nullptr, popup)) {
        alertTitle();
        ImGui::TextUnformatted("Charger plus de 4 dalles peut ralentir le rendu.");
        ImGui::Separator();
        if (ImGui::Button("Annuler", ImVec2(120.0f, 30.0f))) ImGui::CloseCurrentPopup();
        ImGui::SameLine();
        pushAccentButton();
        if (ImGui::Button("Continuer", ImVec2(120.0f, 30.0f))) {
            action.explore = true;
            ImGui::CloseCurrentPopup();
        }
        popAccentButton();
        ImGui::EndPopup();
    }
}

} // namespace

MainPanelAction drawMainPanel(MainPanelContext& context, float width, float height) {
    MainPanelAction action;
    ImGui::BeginChild("##main_panel", ImVec2(width, height), false, ImGuiWindowFlags_NoScrollbar);
    setAbsoluteFontScale(1.5f);
    if (!context.map.placeSelected) {
        drawWelcome(context, ImGui::GetWindowPos(), width, height);
    } else {
        ImGui::SetCursorPos(ImVec2(8.0f, 10.0f));
        ImGui::BeginGroup();
        drawHeader(context);
        drawMap(context);
        drawLegendAndNotice(context);
        drawButtonsAndPopups(context, action);
        ImGui::EndGroup();
    }
    ImGui::EndChild();
    return action;
}
