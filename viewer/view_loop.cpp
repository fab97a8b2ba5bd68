// The loop that shows one zone, and the order of one frame's work.
#include "routes/route_ui.h"
#include "tides/tide_level.h"
#include "viewer/main_menu.h"
#include "viewer/panels.h"
#include "viewer/ui_manager.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

#include <algorithm>

namespace {

bool anyUiPopupOpen() {
    return ImGui::GetCurrentContext() &&
           ImGui::IsPopupOpen("", ImGuiPopupFlags_AnyPopupId | ImGuiPopupFlags_AnyPopupLevel);
}

// The display and the style the windows are placed by.
UiMetrics currentUiMetrics() {
    const ImGuiStyle& style = ImGui::GetStyle();
    UiMetrics m;
    m.displayWidth = ImGui::GetIO().DisplaySize.x;
    m.displayHeight = ImGui::GetIO().DisplaySize.y;
    m.frameHeight = ImGui::GetFrameHeight();
    m.lineHeight = ImGui::GetTextLineHeight();
    m.padding = style.WindowPadding.y;
    m.spacing = style.ItemSpacing.y;
    const ImVec2 toolbar = routeToolbarLargestSize();
    m.toolbarWidth = toolbar.x;
    m.toolbarHeight = toolbar.y;
    return m;
}

} // namespace

// Something on screen changes without an event: the timelapse, a movement key
// held down, a drag, a widget being worked (a slider held still), a text
// field's cursor.
bool Viewer::animating() const {
    const bool moveKey = glfwGetKey(window, GLFW_KEY_W) == GLFW_PRESS || glfwGetKey(window, GLFW_KEY_S) == GLFW_PRESS ||
                         glfwGetKey(window, GLFW_KEY_A) == GLFW_PRESS || glfwGetKey(window, GLFW_KEY_D) == GLFW_PRESS;
    const bool uiBusy = ImGui::GetCurrentContext() && (ImGui::IsAnyItemActive() || ImGui::GetIO().WantTextInput);
    return panels.timelapsePlaying || moveKey || gestures.orbitDragging || gestures.panDragging || uiBusy;
}

bool Viewer::run() {
    panels.returnToMenu = false;
    if (glfwWindowShouldClose(window)) return false;
    // Frames on demand: full rate while something moves and for a few frames
    // after each event (the toolkit settles hover and sizes), otherwise the
    // loop sleeps until an event: an idle view costs nothing.
    // A window that an event opens needs a few frames to take its size, and a
    // blocking step (a tide request) may take a frame of its own.
    constexpr int kSettleFrames = 6;
    int settleFrames = kSettleFrames;
    lastFrameTime = glfwGetTime();
    while (!glfwWindowShouldClose(window)) {
        if (panels.returnToMenu) return true;
        const double now = glfwGetTime();
        const float frameTime = static_cast<float>(now - lastFrameTime);
        lastFrameTime = now;
        // The back buffer is undefined after a swap: a screenshot is read from
        // a frame drawn after it was asked for (so without the menu that asked).
        const bool screenshot = panels.screenshotRequested;
        drawFrame(frameTime);
        if (screenshot) {
            panels.screenshotRequested = false;
            saveScreenshot();
        }
        glfwSwapBuffers(window);
        if (settleFrames > 0 || animating() || drawEveryFrame()) {
            glfwPollEvents();
            settleFrames = std::max(settleFrames - 1, 0);
            continue;
        }
        const double idleFrom = glfwGetTime();
        glfwWaitEventsTimeout(60.0);
        settleFrames = kSettleFrames;
        // The time asleep is not a frame's time: the next step starts from now.
        const double woke = glfwGetTime();
        if (woke - idleFrom > 0.05) lastFrameTime = woke - 1.0 / 60.0;
    }
    return false;
}

void Viewer::drawFrame(float frameTime) {
    moveCameraFromKeyboard(frameTime);

    glClearColor(0.05f, 0.05f, 0.08f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (stepTimelapse(tides.state, panels.timelapsePlaying, panels.timelapseSpeed, frameTime, panels.timelapseHour,
                      seaLevel))
        rebuildReferenceGrid();

    const glm::mat4 view = camera.view();
    const glm::mat4 projection = camera.projection();
    drawTerrain(view, projection);
    gl.overlays.drawGrid(view, projection);
    if (!anyUiPopupOpen() && !markers.empty())
        gl.overlays.drawMarkerPins(markerPinPositions(markers, exaggeration), view, projection,
                                   extents.diagonal * 0.01f);
    drawRoutes(view, projection);

    beginUiFrame();
    const UiLayout layout = uiLayout(currentUiMetrics());
    applyMenuAction(drawMainMenu(mainMenuModel(menuSwitches(), versionText)));
    drawRouteToolbarAndWindow();
    drawMarkerLabelsAndList(view, projection, layout.markers);
    float appliedLevel = 0.0f;
    if (drawTideWindow(appliedLevel)) {
        seaLevel = appliedLevel;
        rebuildReferenceGrid();
    }
    drawTideCalendar(layout.calendar);
    if (panels.helpOpen) drawHelpWindow(panels.helpOpen, layout.help);
    if (panels.legendVisible) drawLegend(layout.legend);
    if (panels.minimapVisible) drawMinimap();
    if (panels.exaggerationWindowOpen) drawExaggerationWindow(*this, layout.exaggeration);
    if (panels.settingsOpen) drawSettingsWindow(*this, layout.settings);
    endUiFrame();
}

MenuSwitches Viewer::menuSwitches() const {
    MenuSwitches s;
    s.markersExist = !markers.empty();
    s.tidePanelOpen = tides.state.tidePanelOpen;
    s.timelapsePlaying = panels.timelapsePlaying;
    s.tideCalendarOpen = tides.calendar.tideCalendarOpen;
    s.routePanelOpen = routes.panel.routePanelOpen;
    s.satelliteOn = panels.satelliteOn;
    s.minimapVisible = panels.minimapVisible;
    s.exaggerationWindowOpen = panels.exaggerationWindowOpen;
    s.legendVisible = panels.legendVisible;
    s.helpOpen = panels.helpOpen;
    return s;
}

OpenWindows Viewer::openWindows() const {
    OpenWindows open;
    open.tidePanel = tides.state.tidePanelOpen;
    open.help = panels.helpOpen;
    open.exaggeration = panels.exaggerationWindowOpen;
    open.settings = panels.settingsOpen;
    open.routePanel = routes.panel.routePanelOpen;
    open.tideCalendar = tides.calendar.tideCalendarOpen;
    open.popup = anyUiPopupOpen();
    return open;
}
