#include "routes/route_ui_lines.h"

void drawPanelLines(const std::vector<PanelLine>& lines) {
    for (const PanelLine& line : lines) {
        if (line.sameLine) ImGui::SameLine();
        switch (line.tone) {
        case PanelLine::Tone::Greyed:
            ImGui::TextDisabled("%s", line.text.c_str());
            break;
        case PanelLine::Tone::Colored:
            ImGui::TextColored(toImVec4(line.color), "%s", line.text.c_str());
            break;
        case PanelLine::Tone::Plain:
            ImGui::TextUnformatted(line.text.c_str());
            break;
        }
    }
}
