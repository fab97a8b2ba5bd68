// Depth markers in the view: placing them, their labels and the list window.
#include "viewer/view_rules.h"
#include "viewer/viewer.h"

#include <imgui.h>
#include <iostream>

PickResult Viewer::pick(float framebufferX, float framebufferY) const {
    if (!grid) return {};
    PickScene scene;
    scene.camera = &camera;
    scene.framebufferWidth = display.framebufferWidth;
    scene.framebufferHeight = display.framebufferHeight;
    scene.points = &grid->points;
    scene.gridWidth = extents.gridWidth;
    scene.gridHeight = extents.gridHeight;
    scene.exaggeration = exaggeration;
    scene.diagonal = extents.diagonal;
    return ::pick(scene, framebufferX, framebufferY);
}

void Viewer::addMarkerAt(float framebufferX, float framebufferY) {
    const PickResult r = pick(framebufferX, framebufferY);
    if (!r.hit) return;
    markers.push_back({r.x, r.z, r.depth});
    std::cout << "Point ajouté - profondeur : " << r.depth << " m" << std::endl;
}

void Viewer::clearDepthMarkers() { markers.clear(); }

void Viewer::drawMarkerLabelsAndList(const glm::mat4& view, const glm::mat4& projection, const UiRect& listPlace) {
    if (!markerListShown(openWindows(), markers.size())) return;

    const glm::mat4 viewProjection = projection * view;
    ImDrawList* foreground = ImGui::GetForegroundDrawList();
    for (const DepthMarker& m : markers) {
        const auto at =
            markerLabelPosition(viewProjection, m, exaggeration, display.framebufferWidth, display.framebufferHeight);
        if (!at) continue;
        foreground->AddText(ImVec2(at->x, at->y), IM_COL32(255, 230, 60, 255), markerLabel(m, seaLevel).c_str());
    }

    ImGui::SetNextWindowPos(ImVec2(listPlace.x, listPlace.y), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(ImVec2(listPlace.width, listPlace.height), ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Points relevés")) {
        ImGui::End();
        return;
    }
    if (ImGui::Button("Tout effacer")) clearDepthMarkers();
    ImGui::Separator();
    for (size_t i = 0; i < markers.size(); ++i) {
        ImGui::TextUnformatted(markerListLine(static_cast<int>(i), markers[i], seaLevel).c_str());
        ImGui::SameLine();
        ImGui::PushID(static_cast<int>(i));
        const bool remove = ImGui::SmallButton("X");
        ImGui::PopID();
        if (remove) {
            // The later markers move up one place; the list ends here for this frame.
            markers.erase(markers.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    ImGui::End();
}
