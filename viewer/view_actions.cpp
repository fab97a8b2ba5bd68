// What the view's keys and menu items do.
#include "viewer/viewer.h"

#include "tides/tide_level.h"

#include <iostream>

void Viewer::stepExaggeration(int direction) {
    const float next = steppedExaggeration(exaggeration, direction);
    if (next == exaggeration) return;
    exaggeration = next;
    rebuildForExaggeration();
}

void Viewer::setExaggeration(float factor) {
    exaggeration = factor;
    rebuildForExaggeration();
}

void Viewer::rebuildReferenceGrid() {
    if (grid) gl.overlays.buildGrid(extents.centre, extents.diagonal, extents.hMin);
}

void Viewer::applyViewKey(ViewKey key) {
    switch (key) {
    case ViewKey::None:
        break;
    case ViewKey::ExaggerationUp:
        stepExaggeration(+1);
        break;
    case ViewKey::ExaggerationDown:
        stepExaggeration(-1);
        break;
    case ViewKey::Minimap:
        panels.minimapVisible = !panels.minimapVisible;
        break;
    case ViewKey::TidePanel:
        tides.state.tidePanelOpen = !tides.state.tidePanelOpen;
        break;
    case ViewKey::Satellite:
        panels.satelliteOn = !panels.satelliteOn;
        std::cout << "Texture satellite : " << (panels.satelliteOn ? "activée" : "désactivée") << std::endl;
        break;
    case ViewKey::Help:
        panels.helpOpen = !panels.helpOpen;
        break;
    case ViewKey::ExaggerationWindow:
        panels.exaggerationWindowOpen = !panels.exaggerationWindowOpen;
        break;
    case ViewKey::ReturnToMenu:
        panels.returnToMenu = true;
        break;
    case ViewKey::Timelapse:
        toggleTimelapseFromKey(tides.state, panels.timelapsePlaying);
        break;
    case ViewKey::Fullscreen:
        toggleFullscreen();
        break;
    case ViewKey::Settings:
        panels.settingsOpen = !panels.settingsOpen;
        break;
    case ViewKey::Screenshot:
        panels.screenshotRequested = true;
        break;
    }
}

void Viewer::applyMenuAction(MenuAction action) {
    switch (action) {
    case MenuAction::None:
        break;
    case MenuAction::Screenshot:
        panels.screenshotRequested = true;
        break;
    case MenuAction::ExportMarkersGpx:
        exportMarkersGpx();
        break;
    case MenuAction::ExportMarkersCsv:
        exportMarkersCsv();
        break;
    case MenuAction::ReturnToMenu:
        panels.returnToMenu = true;
        break;
    case MenuAction::ToggleTidePanel:
        tides.state.tidePanelOpen = !tides.state.tidePanelOpen;
        break;
    case MenuAction::ToggleTimelapse:
        panels.timelapsePlaying = !panels.timelapsePlaying;
        break;
    case MenuAction::ToggleTideCalendar:
        tides.calendar.tideCalendarOpen = !tides.calendar.tideCalendarOpen;
        break;
    case MenuAction::ToggleRoutePanel:
        routes.panel.routePanelOpen = !routes.panel.routePanelOpen;
        break;
    case MenuAction::ClearMarkers:
        clearDepthMarkers();
        break;
    case MenuAction::ToggleSatellite:
        panels.satelliteOn = !panels.satelliteOn;
        std::cout << "Texture satellite : " << (panels.satelliteOn ? "activee" : "desactivee") << std::endl;
        break;
    case MenuAction::ToggleMinimap:
        panels.minimapVisible = !panels.minimapVisible;
        break;
    case MenuAction::ToggleExaggerationWindow:
        panels.exaggerationWindowOpen = !panels.exaggerationWindowOpen;
        break;
    case MenuAction::ToggleLegend:
        panels.legendVisible = !panels.legendVisible;
        break;
    case MenuAction::ToggleHelp:
        panels.helpOpen = !panels.helpOpen;
        break;
    case MenuAction::OpenAccountPage:
        openAccountPage();
        break;
    }
}
