#include "routes/route_profile_ui.h"
#include "routes/route_ui.h"
#include "routes/route_ui_lines.h"

#include <algorithm>
#include <cstring>

namespace {

void drawBoatSettings(RoutePanelState& panel) {
    ImGui::TextDisabled("PROFIL D'UTILISATION");
    ImGui::SetNextItemWidth(-1.0f);
    if (ImGui::BeginCombo("##activity", activityLabel(panel.settings))) {
        for (int i = 0; i < kActivityPresetCount; ++i) {
            const bool current = panel.settings.activity == i;
            if (ImGui::Selectable(kActivityPresets[i].label, current)) chooseActivity(panel, i);
            if (current) ImGui::SetItemDefaultFocus();
        }
        ImGui::EndCombo();
    }
    ImGui::SetNextItemWidth(-1.0f);
    ImGui::SliderFloat("##draft", &panel.settings.draught, 0.0f, 10.0f, "Tirant d'eau : %.2f m");
    ImGui::SetNextItemWidth(-1.0f);
    ImGui::SliderFloat("##margin", &panel.settings.margin, 0.0f, 3.0f, "Marge de sécurité : %.2f m");
    ImGui::SetNextItemWidth(-1.0f);
    ImGui::SliderFloat("##speed", &panel.settings.speed, 1.0f, 40.0f, "Vitesse : %.1f noeuds");

    ImGui::Spacing();
    ImGui::Checkbox("Colorer selon la marge sous la quille", &panel.colorByClearance);
    ImGui::Checkbox("Traits verticaux jusqu'au fond", &panel.verticalStrokes);
    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
}

void drawRouteList(RoutePanelState& panel, RouteEditor& editor, float avail) {
    ImGui::TextDisabled("%s", routeListHeading(editor).c_str());
    int toDelete = -1;
    for (int i = 0; i < static_cast<int>(editor.routes.size()); ++i) {
        Route& route = editor.routes[i];
        ImGui::PushID(i);
        ImGui::Checkbox("##vis", &route.visible);
        ImGui::SameLine();
        if (ImGui::Selectable(routeListLine(route).c_str(), i == editor.selectedRoute, 0, ImVec2(avail - 90.0f, 0.0f)))
            selectRouteFromList(editor, panel, i);
        ImGui::SameLine();
        if (ImGui::SmallButton("X")) toDelete = i;
        ImGui::PopID();
    }
    // After the loop, so the list is not changed while it is drawn.
    if (toDelete >= 0) deleteRouteFromList(editor, panel, toDelete);
    if (editor.routes.empty()) {
        ImGui::PushTextWrapPos(0.0f);
        ImGui::TextDisabled("Aucun parcours. Passez en mode Parcours et cliquez sur le terrain.");
        ImGui::PopTextWrapPos();
    }
}

void drawGpxButtons(const RoutePanelState& panel, const RouteEditor& editor, float avail, RouteRequests& requests) {
    ImGui::Spacing();
    const ImVec2 size((avail - 8.0f) / 2.0f, 30.0f);
    ImGui::PushStyleColor(ImGuiCol_Button, toImVec4(routecolor::kButton));
    ImGui::PushStyleColor(ImGuiCol_ButtonHovered, toImVec4(routecolor::kButtonHovered));
    if (ImGui::Button("Importer un GPX", size)) requests.importRequested = true;
    ImGui::SameLine(0.0f, 8.0f);
    ImGui::BeginDisabled(!canExportRoutes(editor));
    if (ImGui::Button("Exporter en GPX", size)) requests.exportRequested = true;
    ImGui::EndDisabled();
    ImGui::PopStyleColor(2);
    if (!panel.statusText.empty()) {
        ImGui::Spacing();
        ImGui::TextColored(toImVec4(panel.statusIsError ? routecolor::kRed : routecolor::kGreen), "%s",
                           panel.statusText.c_str());
    }
}

void drawSelectedRoute(RoutePanelState& panel, RouteEditor& editor, const std::vector<WaterLevelSample>& tideSamples,
                       float datumOffset, float seaLevel, float avail) {
    Route* route = editor.selectedRouteOrNone();
    if (!route) {
        ImGui::TextDisabled("Sélectionnez un parcours pour voir son profil.");
        return;
    }
    char name[kRouteNameMaxBytes + 1] = {};
    std::memcpy(name, route->name.data(), std::min(route->name.size(), kRouteNameMaxBytes));
    ImGui::SetNextItemWidth(-1.0f);
    if (ImGui::InputText("##name", name, sizeof name)) renameSelectedRoute(editor, name);
    bool loop = route->loop;
    if (ImGui::Checkbox("Boucle (retour au départ)", &loop)) {
        setSelectedRouteLoop(editor, panel, loop);
        // Shown at once rather than one frame late.
        updateProfileCache(panel.profile, editor, panel.settings.profileStep);
    }

    ImGui::Spacing();
    const ProfileCache& profile = panel.profile;
    drawPanelLines(routeSummaryLines(profile.stats, panel.settings, seaLevel));

    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    ImGui::TextDisabled("PROFIL DU FOND");
    drawProfileChart(profile.samples, profile.stats, seaLevel, panel.settings.draught, avail);

    ImGui::Spacing();
    ImGui::TextDisabled("CRÉNEAUX DE PASSAGE");
    drawPassageWindows(profile.stats, panel.settings, tideSamples, datumOffset);

    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    ImGui::TextDisabled("ÉTAPES");
    drawLegsTable(*route, editor.geo.convergence, panel.settings.speed);
}

} // namespace

RouteRequests drawRoutePanel(RoutePanelState& panel, RouteEditor& editor,
                             const std::vector<WaterLevelSample>& tideSamples, float datumOffset, float seaLevel) {
    RouteRequests requests;
    if (!panel.routePanelOpen) return requests;
    // First shown on the right, under the main menu bar, clear of the toolbar and the legend.
    const float top = ImGui::GetFrameHeight() + 12.0f;
    ImGui::SetNextWindowPos(ImVec2(ImGui::GetIO().DisplaySize.x - 460.0f - 12.0f, top), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(460.0f, 720.0f), ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Parcours", &panel.routePanelOpen)) {
        ImGui::End();
        return requests;
    }
    const float avail = ImGui::GetContentRegionAvail().x;
    drawBoatSettings(panel);
    drawRouteList(panel, editor, avail);
    drawGpxButtons(panel, editor, avail, requests);

    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    updateProfileCache(panel.profile, editor, panel.settings.profileStep);
    drawSelectedRoute(panel, editor, tideSamples, datumOffset, seaLevel, avail);
    ImGui::End();
    return requests;
}
