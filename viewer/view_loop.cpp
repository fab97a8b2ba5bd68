// The loop that shows one zone, and the order of one frame's work.
#include "tides/tide_level.h"
#include "viewer/main_menu.h"
#include "viewer/panels.h"
#include "viewer/ui_manager.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

namespace {

bool anyUiPopupOpen() {
    return ImGui::GetCurrentContext() &&
           ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
}

} // namespace

bool Viewer::run() {
    returnToMenu = false;
    if (glfwWindowShouldClose(window)) return false;
    while (!glfwWindowShouldClose(window)) {
        if (returnToMenu) return true;
        // The clock carries over from the last run, so the first frame also
        // counts the time spent in the zone menu.
        const double now = glfwGetTime();
        const float frameTime = static_cast<float>(now - lastFrameTime);
        lastFrameTime = now;
        drawFrame(frameTime);
        glfwSwapBuffers(window);
        glfwPollEvents();
    }
    return false;
}

void Viewer::drawFrame(float frameTime) {
    moveCameraFromKeyboard(frameTime);

    glClearColor(0.05f, 0.05f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (stepTimelapse(tide, timelapsePlaying, timelapseSpeed, frameTime, timelapseHour, seaLevel))
        rebuildReferenceGrid();

    const glm::mat4 view = camera.view();
    const glm::mat4 projection = camera.projection();
    drawTerrain(view, projection);
    overlays.drawGrid(view, projection);
    if (!anyUiPopupOpen() && !markers.empty())
        overlays.drawMarkerPins(markerPinPositions(markers, exaggeration), view, projection, diagonal * 0.01f);
    drawRoutes(view, projection);

    beginUiFrame();
    applyMenuAction(drawMainMenu(mainMenuModel(menuSwitches(), versionText)));
    drawRouteToolbarAndWindow();
    drawMarkerLabelsAndList(view, projection);
    float appliedLevel = 0.0f;
    if (drawTideWindow(appliedLevel)) {
        seaLevel = appliedLevel;
        rebuildReferenceGrid();
    }
    drawTideCalendar();
    if (helpOpen) drawHelpWindow(helpOpen);
    if (legendVisible) drawLegend();
    if (minimapVisible) drawMinimap();
    if (exaggerationWindowOpen) drawExaggerationWindow(*this);
    if (settingsOpen) drawSettingsWindow(*this);
    endUiFrame();
}

MenuSwitches Viewer::menuSwitches() const {
    MenuSwitches s;
    s.markersExist = !markers.empty();
    s.tidePanelOpen = tide.tidePanelOpen;
    s.timelapsePlaying = timelapsePlaying;
    s.tideCalendarOpen = tideCalendar.tideCalendarOpen;
    s.routePanelOpen = routePanel.routePanelOpen;
    s.satelliteOn = satelliteOn;
    s.minimapVisible = minimapVisible;
    s.exaggerationWindowOpen = exaggerationWindowOpen;
    s.legendVisible = legendVisible;
    s.helpOpen = helpOpen;
    return s;
}

OpenWindows Viewer::openWindows() const {
    OpenWindows open;
    open.tidePanel = tide.tidePanelOpen;
    open.help = helpOpen;
    open.exaggeration = exaggerationWindowOpen;
    open.settings = settingsOpen;
    open.routePanel = routePanel.routePanelOpen;
    open.tideCalendar = tideCalendar.tideCalendarOpen;
    open.popup = anyUiPopupOpen();
    return open;
}
