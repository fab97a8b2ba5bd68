#include "viewer/panels.h"
#include "viewer/view_rules.h"

#include <imgui.h>

namespace {

ImU32 colourOf(const LegendColour& c) { return IM_COL32(c.r, c.g, c.b, 255); }

void gradient(ImDrawList* draw, ImVec2 origin, float width, const LegendGradient& g) {
    const ImU32 top = colourOf(g.topColour), bottom = colourOf(g.bottomColour);
    draw->AddRectFilledMultiColor(ImVec2(origin.x, origin.y + g.top), ImVec2(origin.x + width, origin.y + g.bottom),
                                  top, top, bottom, bottom);
}

} // namespace

void drawLegend(const UiRect& place) {
    const LegendLayout layout = legendLayout();
    ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.75f);
    if (!ImGui::Begin("Légende", nullptr, ImGuiWindowFlags_AlwaysAutoResize)) {
        ImGui::End();
        return;
    }
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    gradient(draw, origin, layout.barWidth, layout.land);
    gradient(draw, origin, layout.barWidth, layout.sea);
    const ImU32 text = ImGui::GetColorU32(ImGuiCol_Text);
    for (const LegendLabel& label : layout.labels)
        draw->AddText(ImVec2(origin.x + layout.barWidth + layout.labelGap, origin.y + label.mark - layout.labelRaise),
                      text, label.text);
    ImGui::Dummy(ImVec2(layout.reservedWidth, layout.height));
    ImGui::End();
}
