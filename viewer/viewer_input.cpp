#include "viewer/viewer_input.h"

#include "viewer/viewer.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>
#include <imgui_internal.h>
#include <iostream>

namespace {

Viewer* viewerOf(GLFWwindow* window) { return static_cast<Viewer*>(glfwGetWindowUserPointer(window)); }

// Events can arrive before the UI exists or after it is gone.
bool uiWantsMouse() { return ImGui::GetCurrentContext() && ImGui::GetIO().WantCaptureMouse; }
// A window of the last frame under the pointer: a press that comes with the
// pointer, within one slow frame, is the window's though the UI has not yet
// seen the pointer there.
bool uiWindowAt(double x, double y) {
    if (!ImGui::GetCurrentContext()) return false;
    const ImVec2 at(static_cast<float>(x), static_cast<float>(y));
    for (const ImGuiWindow* w : ImGui::GetCurrentContext()->Windows) {
        const ImRect rect(w->Pos.x, w->Pos.y, w->Pos.x + w->Size.x, w->Pos.y + w->Size.y);
        if (w->Active && !w->Hidden && rect.Contains(at)) return true;
    }
    return false;
}
bool uiWantsKeyboard() { return ImGui::GetCurrentContext() && ImGui::GetIO().WantCaptureKeyboard; }
// A text field is being typed into (a route's name, for instance).
bool uiTakesText() { return ImGui::GetCurrentContext() && ImGui::GetIO().WantTextInput; }

bool isFunctionKey(int key) { return key >= GLFW_KEY_F1 && key <= GLFW_KEY_F25; }

void framebufferSizeCallback(GLFWwindow* window, int width, int height) {
    glViewport(0, 0, width, height);
    if (Viewer* v = viewerOf(window)) v->onFramebufferSize(width, height);
}

void mouseButtonCallback(GLFWwindow* window, int button, int action, int) {
    if (Viewer* v = viewerOf(window)) v->onMouseButton(button, action);
}

void cursorPosCallback(GLFWwindow* window, double x, double y) {
    if (Viewer* v = viewerOf(window)) v->onCursor(x, y);
}

void scrollCallback(GLFWwindow* window, double, double yOffset) {
    if (Viewer* v = viewerOf(window)) v->onScroll(yOffset);
}

void keyCallback(GLFWwindow* window, int key, int, int action, int mods) {
    if (Viewer* v = viewerOf(window)) v->onKey(key, action, mods);
}

} // namespace

void installViewerCallbacks(GLFWwindow* window) {
    glfwSetFramebufferSizeCallback(window, framebufferSizeCallback);
    glfwSetMouseButtonCallback(window, mouseButtonCallback);
    glfwSetCursorPosCallback(window, cursorPosCallback);
    glfwSetScrollCallback(window, scrollCallback);
    glfwSetKeyCallback(window, keyCallback);
}

void Viewer::onFramebufferSize(int width, int height) {
    display.framebufferWidth = width;
    display.framebufferHeight = height;
    // A minimised window reports 0 × 0: keep the last usable aspect.
    if (height > 0) camera.aspect = static_cast<float>(width) / static_cast<float>(height);
}

void Viewer::onMouseButton(int button, int action) {
    if (action == GLFW_RELEASE) {
        if (button == GLFW_MOUSE_BUTTON_RIGHT) gestures.panDragging = false;
        if (button == GLFW_MOUSE_BUTTON_LEFT && gestures.orbitDragging) {
            gestures.orbitDragging = false;
            double x = 0, y = 0;
            cursorPosition(x, y);
            // Any movement at all makes it an orbit, not a click.
            if (x == gestures.pressX && y == gestures.pressY) {
                int windowWidth = 0, windowHeight = 0;
                glfwGetWindowSize(window, &windowWidth, &windowHeight);
                glfwGetFramebufferSize(window, &display.framebufferWidth, &display.framebufferHeight);
                if (windowWidth > 0 && windowHeight > 0)
                    handleClick(gestures.pressX * display.framebufferWidth / windowWidth,
                                gestures.pressY * display.framebufferHeight / windowHeight);
            }
        }
        return;
    }
    if (action != GLFW_PRESS || uiWantsMouse()) return;
    double x = 0, y = 0;
    cursorPosition(x, y);
    if (uiWindowAt(x, y)) return;
    if (button == GLFW_MOUSE_BUTTON_LEFT) {
        gestures.orbitDragging = true;
        gestures.lastOrbitX = gestures.pressX = x;
        gestures.lastOrbitY = gestures.pressY = y;
    } else if (button == GLFW_MOUSE_BUTTON_RIGHT) {
        gestures.panDragging = true;
        gestures.lastPanX = x;
        gestures.lastPanY = y;
    }
}

// Where the pointer was when the event being handled happened. Asking the
// system instead gives where it is now: after a slow frame, a press, a move
// and a release handled in one go would all read the final place, and a
// drag would pass for a click.
void Viewer::cursorPosition(double& x, double& y) const {
    if (gestures.cursorKnown) {
        x = gestures.cursorX;
        y = gestures.cursorY;
    } else {
        glfwGetCursorPos(window, &x, &y);
    }
}

void Viewer::onCursor(double x, double y) {
    gestures.cursorX = x;
    gestures.cursorY = y;
    gestures.cursorKnown = true;
    if (uiWantsMouse() && !gestures.orbitDragging && !gestures.panDragging) return;
    if (gestures.orbitDragging) {
        const double dx = x - gestures.lastOrbitX, dy = y - gestures.lastOrbitY;
        gestures.lastOrbitX = x;
        gestures.lastOrbitY = y;
        camera.orbit(static_cast<float>(-dx * 0.3), static_cast<float>(dy * 0.3));
    } else if (gestures.panDragging) {
        const double dx = x - gestures.lastPanX, dy = y - gestures.lastPanY;
        gestures.lastPanX = x;
        gestures.lastPanY = y;
        camera.pan(static_cast<float>(dx), static_cast<float>(dy));
    }
}

void Viewer::onScroll(double yOffset) {
    if (!uiWantsMouse()) camera.zoom(static_cast<float>(yOffset));
}

void Viewer::onKey(int key, int action, int mods) {
    if (action != GLFW_PRESS) return;
    if (!uiWantsKeyboard() && handleEditingKey(key, mods)) return;
    // These act even while a window has the keyboard, but letters, signs and
    // Escape typed into a text field are text: a route named "matin" must
    // not toggle the minimap and the tide window, nor Escape leave the zone
    // and its routes. Function keys type nothing and still act.
    if (uiTakesText() && !isFunctionKey(key)) return;
    applyViewKey(viewKeyFor(key));
}

void Viewer::handleClick(double framebufferX, double framebufferY) {
    if (routes.panel.interactionMode == kModeMarker)
        addMarkerAt(static_cast<float>(framebufferX), static_cast<float>(framebufferY));
    else if (routes.panel.interactionMode == kModeRoute)
        handleRouteClick(framebufferX, framebufferY);
}

void Viewer::moveCameraFromKeyboard(float frameTime) {
    if (uiWantsKeyboard()) return;
    MoveKeys keys;
    keys.forward = glfwGetKey(window, GLFW_KEY_W) == GLFW_PRESS;
    keys.back = glfwGetKey(window, GLFW_KEY_S) == GLFW_PRESS;
    keys.right = glfwGetKey(window, GLFW_KEY_D) == GLFW_PRESS;
    keys.left = glfwGetKey(window, GLFW_KEY_A) == GLFW_PRESS;
    moveByKeys(camera, keys, frameTime);
}
