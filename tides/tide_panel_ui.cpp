#include "tides/tide_panel_ui.h"

#include "tides/tide_level.h"

#include <algorithm>
#include <cfloat>
#include <imgui.h>
#include <string>

namespace {

const ImVec2 kWindowSize(560.0f, 680.0f);
const ImVec2 kWindowMinSize(480.0f, 560.0f);

// A line of text centred in the window.
void centredText(const std::string& text) {
    const float width = ImGui::CalcTextSize(text.c_str()).x;
    ImGui::SetCursorPosX(std::max(0.0f, (ImGui::GetWindowWidth() - width) / 2.0f));
    ImGui::TextUnformatted(text.c_str());
}

// Text centred on x.
void addCentredText(ImDrawList* draw, float x, float y, ImU32 colour, const std::string& text) {
    const float width = ImGui::CalcTextSize(text.c_str()).x;
    draw->AddText(ImVec2(x - width / 2.0f, y), colour, text.c_str());
}

void drawHeader(TideState& state) {
    ImGui::TextDisabled("Port de référence");
    switch (tidePortLine(state)) {
    case TidePortLine::name:
        ImGui::TextUnformatted(state.siteName.c_str());
        break;
    case TidePortLine::detectionFailed:
        ImGui::TextColored(ImVec4(1.0f, 0.5f, 0.5f, 1.0f), "Détection échouée (vérifiez votre connexion)");
        if (ImGui::SmallButton("Réessayer la détection")) retryTideDetection(state);
        break;
    case TidePortLine::notDetected:
        ImGui::TextDisabled("(non détecté)");
        break;
    }
    if (state.datumOffsetKnown) ImGui::TextDisabled("%s", datumOffsetLine(state).c_str());
    if (!state.displayedDate.empty()) ImGui::TextDisabled("%s", displayedDateLine(state).c_str());
    ImGui::Spacing();
}

// The day's curve with the selected hour; returns the water height (ZH) at that hour.
float drawCurve(TideState& state) {
    const float avail = ImGui::GetContentRegionAvail().x;
    const float width = tideCurveWidth(avail);
    const ImVec2 lineStart = ImGui::GetCursorScreenPos();
    const ImVec2 cursor(lineStart.x + tideCurveIndent(avail, width), lineStart.y);
    const TideCurve curve = makeTideCurve(state.samples, cursor.x, cursor.y, width);
    const std::vector<WaterLevelSample>& samples = state.samples;

    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin(curve.originX, curve.originY);
    const float bottom = tideCurveBottom(curve);
    const ImVec2 corner(origin.x + width, bottom);
    draw->AddRectFilled(origin, corner, IM_COL32(8, 14, 28, 255), 6.0f);
    draw->AddRect(origin, corner, IM_COL32(255, 255, 255, 15), 6.0f, 0, 1.0f);

    auto point = [&](size_t i) {
        return ImVec2(tideCurveX(curve, samples[i].hour), tideCurveY(curve, samples[i].height));
    };
    for (size_t i = 0; i + 1 < samples.size(); ++i) {
        const ImVec2 a = point(i), b = point(i + 1);
        draw->AddQuadFilled(a, b, ImVec2(b.x, bottom), ImVec2(a.x, bottom), IM_COL32(40, 70, 120, 100));
    }
    for (size_t i = 0; i + 1 < samples.size(); ++i) {
        draw->AddLine(point(i), point(i + 1), IM_COL32(100, 175, 245, 255), 2.0f);
    }
    for (size_t i = 0; i < samples.size(); i += 2) {
        draw->AddCircleFilled(point(i), 2.5f, IM_COL32(160, 210, 255, 200));
    }

    // Holding the button over the curve scrubs the hour.
    if (width >= 1.0f) {
        ImGui::SetCursorScreenPos(origin);
        ImGui::InvisibleButton("##tide_canvas", ImVec2(width, kTideCurveHeight));
        if (ImGui::IsItemHovered() && ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
            state.selectedHour = tideCurveHour(curve, ImGui::GetIO().MousePos.x);
        }
    }

    const float height = interpolateLevel(samples, state.selectedHour);
    const float xs = tideCurveX(curve, state.selectedHour);
    const float yh = tideCurveY(curve, height);
    const ImU32 markText = IM_COL32(230, 100, 100, 255);
    draw->AddLine(ImVec2(origin.x, yh), ImVec2(origin.x + width, yh), IM_COL32(230, 60, 60, 120), 1.0f);
    draw->AddText(ImVec2(origin.x + width + 6.0f, yh - 8.0f), markText, formatTideHeight(height).c_str());
    draw->AddLine(ImVec2(xs, origin.y), ImVec2(xs, bottom), IM_COL32(230, 60, 60, 80), 1.0f);
    addCentredText(draw, xs, origin.y + 204.0f, markText, formatTideClock(state.selectedHour));
    draw->AddCircleFilled(ImVec2(xs, yh), 6.0f, IM_COL32(230, 60, 60, 255));
    draw->AddCircle(ImVec2(xs, yh), 6.0f, IM_COL32(255, 255, 255, 80), 12, 1.5f);

    const float labelX = origin.x - kTideCurveLabelRoom;
    draw->AddText(ImVec2(labelX, origin.y - 4.0f), IM_COL32(180, 180, 180, 180),
                  formatAxisValue(curve.maxHeight).c_str());
    draw->AddText(ImVec2(labelX, origin.y + 190.0f), IM_COL32(180, 180, 180, 180),
                  formatAxisValue(curve.minHeight).c_str());
    draw->AddText(ImVec2(labelX, origin.y + 95.0f), IM_COL32(180, 180, 180, 120),
                  formatAxisValue((curve.minHeight + curve.maxHeight) / 2.0f).c_str());
    for (int i = 0; i < 5; ++i) {
        const float x = tideCurveHourLabelX(curve, i);
        addCentredText(draw, x, origin.y + 218.0f, IM_COL32(150, 150, 150, 150), tideCurveHourLabel(i));
        draw->AddLine(ImVec2(x, bottom), ImVec2(x, bottom + 4.0f), IM_COL32(255, 255, 255, 30));
    }

    // The drawing above is not layout: one item of its height keeps what
    // follows below it, hour labels included (210 px alone would let the
    // next line overwrite them).
    ImGui::SetCursorScreenPos(lineStart);
    const float labelsBottom = 218.0f + ImGui::GetTextLineHeight() - ImGui::GetStyle().ItemSpacing.y;
    ImGui::Dummy(ImVec2(avail, std::max(210.0f, labelsBottom)));
    ImGui::Spacing();
    return height;
}

} // namespace

TidePanelResult drawTidePanel(TideState& state) {
    TidePanelResult result;
    if (!state.tidePanelOpen) return result;

    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(std::max(20.0f, display.x - kWindowSize.x - 20.0f), 40.0f),
                            ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSize(kWindowSize, ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowSizeConstraints(kWindowMinSize, ImVec2(FLT_MAX, FLT_MAX));
    if (!ImGui::Begin("Marée", &state.tidePanelOpen)) {
        ImGui::End();
        return result;
    }

    autoLoadTide(state);
    drawHeader(state);
    if (state.siteId[0] != '\0' && !state.samplesLoaded && ImGui::Button("Charger la marée du jour")) {
        loadTodayFromButton(state);
    }
    ImGui::Separator();
    ImGui::Spacing();

    const std::string waiting = tideWaitingText(state);
    if (!waiting.empty()) {
        ImGui::TextDisabled("%s", waiting.c_str());
        ImGui::End();
        return result;
    }

    const float height = drawCurve(state);
    centredText(waterHeightLine(height));
    centredText(seaLevelLine(zhToIgn69(height, state.datumOffset)));
    ImGui::Spacing();

    ImGui::SetCursorPosX(std::max(0.0f, (ImGui::GetWindowWidth() - 280.0f) / 2.0f));
    ImGui::PushStyleColor(ImGuiCol_Button, ImVec4(0.031f, 0.337f, 0.667f, 1.0f));
    ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImVec4(0.031f, 0.353f, 0.702f, 1.0f));
    if (ImGui::Button("Appliquer sur le terrain", ImVec2(280.0f, 36.0f))) result = applySelectedLevel(state);
    ImGui::PopStyleColor(2);
    ImGui::End();
    return result;
}
