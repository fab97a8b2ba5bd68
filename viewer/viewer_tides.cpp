// The tides of the zone on screen: calibration when its centre is known, the
// tide window and the month calendar drawn by the view loop.
#include "viewer/viewer.h"

#include "tides/tide_calendar_ui.h"
#include "tides/tide_calibration.h"
#include "tides/tide_panel_ui.h"

#include <imgui.h>

void Viewer::onTerrainLocated(double latitude, double longitude) {
    tides.terrainCentre = {latitude, longitude};
    tides.terrainCentreKnown = true;
    calibrateTide(tides.state, tides.calendar, tides.ramSites, latitude, longitude);
}

bool Viewer::drawTideWindow(float& appliedLevel) {
    const TidePanelResult result = drawTidePanel(tides.state);
    if (result.apply) appliedLevel = result.level;
    return result.apply;
}

void Viewer::drawTideCalendar(const UiRect& place) {
    // The port may be found later (a retried detection): the calendar follows.
    syncCalendar(tides.calendar, tides.state);
    // The calendar sets its own size; only an open one takes the place, or
    // the next window drawn would.
    if (tides.calendar.tideCalendarOpen) ImGui::SetNextWindowPos(ImVec2(place.x, place.y), ImGuiCond_FirstUseEver);
    applyCalendarPick(tides.state, ::drawTideCalendar(tides.calendar));
}
