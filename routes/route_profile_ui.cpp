#include "routes/route_profile_ui.h"

#include "routes/passage_windows.h"
#include "routes/profile_chart.h"
#include "routes/route_ui_lines.h"

#include <algorithm>

namespace {

ImU32 toImU32(const Color8& c) { return IM_COL32(c.r, c.g, c.b, c.a); }
ImVec2 toImVec2(const ChartPoint& p) { return ImVec2(p.x, p.y); }

// Centred on centreX, but never past `rightEdge`, where the window would cut it.
void addCentredText(ImDrawList* list, float centreX, float y, const std::string& text, float rightEdge) {
    const float width = ImGui::CalcTextSize(text.c_str()).x;
    const float left = std::min(centreX - width * 0.5f, rightEdge - width);
    list->AddText(ImVec2(left, y), toImU32(chartcolor::kText), text.c_str());
}

} // namespace

void drawProfileChart(const std::vector<ProfileSample>& samples, const ProfileStats& stats, float seaLevel,
                      float draught, float avail) {
    const ImVec2 cursor = ImGui::GetCursorScreenPos();
    const ProfileChartLayout c = layoutProfileChart({cursor.x, cursor.y}, avail, samples, stats, seaLevel, draught);
    constexpr float H = ProfileChartLayout::kHeight;
    ImDrawList* list = ImGui::GetWindowDrawList();
    const ImVec2 o = toImVec2(c.origin);
    const ImVec2 corner(o.x + c.width, o.y + H);
    list->AddRectFilled(o, corner, toImU32(chartcolor::kBackground), 6.0f);
    list->AddRect(o, corner, toImU32(chartcolor::kOutline), 6.0f, 0, 1.0f);
    if (!c.available) {
        addCentredText(list, c.unavailableAt.x, c.unavailableAt.y, kProfileUnavailable, cursor.x + avail);
        ImGui::Dummy(ImVec2(avail, 198.0f));
        return;
    }
    list->AddRectFilled(toImVec2(c.waterMin), toImVec2(c.waterMax), toImU32(chartcolor::kWater));
    for (const ChartQuad& q : c.bottom)
        list->AddQuadFilled(toImVec2(q.p[0]), toImVec2(q.p[1]), toImVec2(q.p[2]), toImVec2(q.p[3]),
                            toImU32(chartcolor::kBottom));
    for (const ChartQuad& q : c.keelOverlap)
        list->AddQuadFilled(toImVec2(q.p[0]), toImVec2(q.p[1]), toImVec2(q.p[2]), toImVec2(q.p[3]),
                            toImU32(chartcolor::kKeelOverlap));
    list->AddLine(ImVec2(o.x, c.seaY), ImVec2(o.x + c.width, c.seaY), toImU32(chartcolor::kSeaLine), 1.5f);
    for (const auto& [from, to] : c.keelDashes)
        list->AddLine(ImVec2(from, c.keelY), ImVec2(to, c.keelY), toImU32(chartcolor::kKeelLine), 1.0f);
    for (const ChartLabel& label : c.heightLabels)
        list->AddText(toImVec2(label.at), toImU32(chartcolor::kText), label.text.c_str());
    ImGui::Dummy(ImVec2(avail, 194.0f));
    // The distance labels sit on the line under the chart.
    const float labelsY = ImGui::GetCursorScreenPos().y;
    for (const ChartLabel& label : c.distanceLabels)
        addCentredText(list, label.at.x, labelsY, label.text, cursor.x + avail);
    ImGui::Dummy(ImVec2(avail, 18.0f));
}

void drawPassageWindows(const ProfileStats& stats, const RouteSettings& settings,
                        const std::vector<WaterLevelSample>& tideSamples, float datumOffset) {
    drawPanelLines(passageWindowLines(stats, settings, tideSamples, datumOffset));
}

void drawLegsTable(const Route& route, double convergence, float speedKnots) {
    const std::vector<LegRow> rows = legRows(computeLegs(route, convergence), speedKnots);
    if (rows.empty()) return;
    const ImGuiTableFlags flags = ImGuiTableFlags_RowBg | ImGuiTableFlags_BordersInnerH |
                                  ImGuiTableFlags_SizingStretchProp | ImGuiTableFlags_ScrollY;
    if (!ImGui::BeginTable("##segments", 4, flags, ImVec2(0.0f, 150.0f))) return;
    ImGui::TableSetupScrollFreeze(0, 1);
    for (const char* header : {"Étape", "Distance", "Cap", "Durée"}) ImGui::TableSetupColumn(header);
    ImGui::TableHeadersRow();
    for (const LegRow& row : rows) {
        ImGui::TableNextRow();
        ImGui::TableSetColumnIndex(0);
        ImGui::TextUnformatted(row.step.c_str());
        ImGui::TableSetColumnIndex(1);
        ImGui::TextUnformatted(row.distance.c_str());
        ImGui::TableSetColumnIndex(2);
        ImGui::TextUnformatted(row.heading.c_str());
        ImGui::TableSetColumnIndex(3);
        ImGui::TextDisabled("%s", row.duration.c_str());
    }
    ImGui::EndTable();
}
