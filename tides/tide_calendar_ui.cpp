#include "tides/tide_calendar_ui.h"

#include "tides/tide_calendar_layout.h"
#include "tides/tide_dates.h"

#include <algorithm>
#include <cstdio>
#include <imgui.h>
#include <string>

namespace {

const ImVec2 kWindowSize(550.0f, 750.0f);
constexpr float kCellHeight = 48.0f;
const ImU32 kTodayBlue = IM_COL32(46, 134, 224, 255);

ImU32 toImU32(const Rgba& c) { return IM_COL32(c.r, c.g, c.b, c.a); }

void addCentredText(ImDrawList* draw, float centreX, float y, ImU32 colour, const char* text) {
    draw->AddText(ImVec2(centreX - ImGui::CalcTextSize(text).x / 2.0f, y), colour, text);
}

// Arrows and the month's title; true when the displayed month changed.
bool drawHeader(TideCalendar& calendar, float left, float avail) {
    bool changed = false;
    if (ImGui::ArrowButton("##prev", ImGuiDir_Left)) {
        stepCalendarMonth(calendar, -1);
        changed = true;
    }
    const std::string title = calendarTitle(calendar.year, calendar.month);
    ImGui::SameLine(left + (avail - ImGui::CalcTextSize(title.c_str()).x) / 2.0f);
    ImGui::TextUnformatted(title.c_str());
    ImGui::SameLine(left + avail - 30.0f);
    if (ImGui::ArrowButton("##next", ImGuiDir_Right)) {
        stepCalendarMonth(calendar, 1);
        changed = true;
    }
    return changed;
}

// Puts the cursor at the left edge of a grid column, on the row's line.
void placeInColumn(int column, float left, float columnWidth) {
    const float x = left + calendarColumnX(column, columnWidth);
    if (column == 0) {
        ImGui::SetCursorPosX(x);
    } else {
        ImGui::SameLine(x);
    }
}

// One day's cell; true when it was clicked.
bool drawDayCell(const TideCalendar& calendar, int day, float cellWidth, const LocalDate& today) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 p = ImGui::GetCursorScreenPos();
    const ImVec2 corner(p.x + cellWidth, p.y + kCellHeight);

    const DayCoefficients* record = findCalendarDay(calendar, day);
    const int morning = record ? record->morning : 0;
    const int afternoon = record ? record->afternoon : 0;
    Rgba background;
    if (dayCellBackground(morning, afternoon, background)) draw->AddRectFilled(p, corner, toImU32(background), 6.0f);

    const DayOutline outline = dayOutline(calendar, day, today.year, today.month, today.day);
    if (outline == DayOutline::selected) {
        draw->AddRect(p, corner, kTodayBlue, 6.0f, 0, 2.0f);
    } else if (outline == DayOutline::today) {
        draw->AddRect(p, corner, IM_COL32(46, 134, 224, 100), 6.0f, 0, 1.0f);
    }

    char id[16];
    std::snprintf(id, sizeof id, "##day%d", day);
    const bool pressed = ImGui::InvisibleButton(id, ImVec2(cellWidth, kCellHeight));

    const bool isToday = day == today.day && calendar.month == today.month && calendar.year == today.year;
    char number[16];
    std::snprintf(number, sizeof number, "%d", day);
    const float centreX = p.x + cellWidth / 2.0f;
    addCentredText(draw, centreX, p.y + 4.0f, isToday ? kTodayBlue : IM_COL32(220, 220, 220, 255), number);

    std::string coefficients;
    Rgba colour;
    if (dayCoefficientLabel(morning, afternoon, coefficients, colour)) {
        addCentredText(draw, centreX, p.y + 28.0f, toImU32(colour), coefficients.c_str());
    }
    return pressed;
}

CalendarPick drawGrid(TideCalendar& calendar, float left, float avail) {
    CalendarPick pick;
    const float columnWidth = calendarColumnWidth(avail);
    const float cellWidth = columnWidth - 4.0f;
    for (int column = 0; column < 7; ++column) {
        const char* header = calendarWeekdayHeader(column);
        const float x = left + calendarColumnX(column, columnWidth) +
                        (columnWidth - ImGui::CalcTextSize(header).x) / 2.0f;
        if (column == 0) {
            ImGui::SetCursorPosX(x);
        } else {
            ImGui::SameLine(x);
        }
        ImGui::TextDisabled("%s", header);
    }

    const LocalDate today = todayLocal();
    const int firstColumn = firstWeekdayColumn(calendar.year, calendar.month);
    for (int column = 0; column < firstColumn; ++column) {
        placeInColumn(column, left, columnWidth);
        ImGui::Dummy(ImVec2(cellWidth, kCellHeight));
    }
    const int dayCount = daysInMonth(calendar.year, calendar.month);
    for (int day = 1; day <= dayCount; ++day) {
        int column = 0, row = 0;
        calendarCellPlace(firstColumn, day, column, row);
        placeInColumn(column, left, columnWidth);
        if (drawDayCell(calendar, day, cellWidth, today)) pick = pickCalendarDay(calendar, day);
    }
    return pick;
}

void drawLegend(float avail) {
    ImGui::TextDisabled("Coefficients (mortes-eaux à vives-eaux)");
    const float width = legendBarWidth(avail);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 bar = ImGui::GetCursorScreenPos();
    for (int i = 0; i < static_cast<int>(width); ++i) {
        const float x = bar.x + static_cast<float>(i);
        draw->AddLine(ImVec2(x, bar.y), ImVec2(x, bar.y + 8.0f), toImU32(coefficientColor(legendCoefficient(i, width))));
    }
    ImGui::Dummy(ImVec2(width, 12.0f));
    const ImVec2 labels = ImGui::GetCursorScreenPos();
    const ImU32 grey = IM_COL32(150, 150, 150, 180);
    draw->AddText(ImVec2(labels.x, labels.y), grey, "20");
    draw->AddText(ImVec2(labels.x + width / 2.0f - 8.0f, labels.y), grey, "70");
    draw->AddText(ImVec2(labels.x + width - 20.0f, labels.y), grey, "120");
    ImGui::Dummy(ImVec2(width, 16.0f));
}

void drawFooter(TideCalendar& calendar, float avail) {
    switch (calendarFooter(calendar)) {
    case CalendarFooter::outOfWindow:
        ImGui::TextDisabled("Coefficients disponibles de J-30 à J+30 uniquement");
        ImGui::TextDisabled("(limite de l'API du service de prédiction des marées)");
        break;
    case CalendarFooter::failed:
        ImGui::TextDisabled("Coefficients indisponibles.");
        ImGui::SameLine();
        if (ImGui::SmallButton("Réessayer")) retryCalendarMonth(calendar);
        break;
    case CalendarFooter::waitingPort:
        ImGui::TextDisabled("En attente du port de référence...");
        break;
    case CalendarFooter::legend:
        drawLegend(avail);
        break;
    case CalendarFooter::nothing:
        break;
    }
}

} // namespace

CalendarPick drawTideCalendar(TideCalendar& calendar) {
    CalendarPick pick;
    if (!calendar.tideCalendarOpen) return pick;

    const LocalDate today = todayLocal();
    initCalendarDisplay(calendar, today.year, today.month, today.day);

    // Its first place is the view's to choose, among its other windows.
    ImGui::SetNextWindowSize(kWindowSize, ImGuiCond_FirstUseEver);
    if (!ImGui::Begin("Calendrier des marées", &calendar.tideCalendarOpen, ImGuiWindowFlags_NoCollapse)) {
        ImGui::End();
        return pick;
    }

    ensureMonthLoaded(calendar);
    const float avail = calendarAvailWidth(ImGui::GetContentRegionAvail().x);
    const float left = ImGui::GetCursorPosX();

    // A new month is requested at once, so the grid never shows the previous month's numbers.
    if (drawHeader(calendar, left, avail)) ensureMonthLoaded(calendar);
    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();

    pick = drawGrid(calendar, left, avail);

    ImGui::Spacing();
    ImGui::Separator();
    ImGui::Spacing();
    drawFooter(calendar, avail);

    if (calendar.selectedDay != 0) {
        const std::string date = formatSelectedDate(calendar);
        ImGui::SetCursorPosX(std::max(0.0f, (ImGui::GetWindowWidth() - ImGui::CalcTextSize(date.c_str()).x) / 2.0f));
        ImGui::TextUnformatted(date.c_str());
    }
    ImGui::End();
    return pick;
}
