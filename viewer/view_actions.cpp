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
    if (grid) overlays.buildGrid(centre, diagonal, hMin);
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
        minimapVisible = !minimapVisible;
        break;
    case ViewKey::TidePanel:
        tide.tidePanelOpen = !tide.tidePanelOpen;
        break;
    case ViewKey::Satellite:
        satelliteOn = !satelliteOn;
        std::cout << "Texture satellite : " << (satelliteOn ? "activée" : "désactivée") << std::endl;
        break;
    case ViewKey::Help:
        helpOpen = !helpOpen;
        break;
    case ViewKey::ExaggerationWindow:
        exaggerationWindowOpen = !exaggerationWindowOpen;
        break;
    case ViewKey::ReturnToMenu:
        returnToMenu = true;
        break;
    case ViewKey::Timelapse:
        toggleTimelapseFromKey(tide, timelapsePlaying);
        break;
    case ViewKey::Fullscreen:
        toggleFullscreen();
        break;
    case ViewKey::Settings:
        settingsOpen = !settingsOpen;
        break;
    case ViewKey::Screenshot:
        saveScreenshot();
        break;
    }
}

void Viewer::applyMenuAction(MenuAction action) {
    switch (action) {
    case MenuAction::None:
        break;
    case MenuAction::Screenshot:
        saveScreenshot();
        break;
    case MenuAction::ExportMarkersGpx:
        exportMarkersGpx();
        break;
    case MenuAction::ExportMarkersCsv:
        exportMarkersCsv();
        break;
    case MenuAction::ReturnToMenu:
        returnToMenu = true;
        break;
    case MenuAction::ToggleTidePanel:
        tide.tidePanelOpen = !tide.tidePanelOpen;
        break;
    case MenuAction::ToggleTimelapse:
        timelapsePlaying = !timelapsePlaying;
        break;
    case MenuAction::ToggleTideCalendar:
        tideCalendar.tideCalendarOpen = !tideCalendar.tideCalendarOpen;
        break;
    case MenuAction::ToggleRoutePanel:
        routePanel.routePanelOpen = !routePanel.routePanelOpen;
        break;
    case MenuAction::ClearMarkers:
        clearDepthMarkers();
        break;
    case MenuAction::ToggleSatellite:
        satelliteOn = !satelliteOn;
        std::cout << "Texture satellite : " << (satelliteOn ? "activee" : "desactivee") << std::endl;
        break;
    case MenuAction::ToggleMinimap:
        minimapVisible = !minimapVisible;
        break;
    case MenuAction::ToggleExaggerationWindow:
        exaggerationWindowOpen = !exaggerationWindowOpen;
        break;
    case MenuAction::ToggleLegend:
        legendVisible = !legendVisible;
        break;
    case MenuAction::ToggleHelp:
        helpOpen = !helpOpen;
        break;
    case MenuAction::OpenAccountPage:
        openAccountPage();
        break;
    }
}
