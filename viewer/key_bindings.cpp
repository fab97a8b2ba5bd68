#include "viewer/key_bindings.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

ViewKey viewKeyFor(int key) {
    switch (key) {
    case GLFW_KEY_KP_ADD:
    case GLFW_KEY_EQUAL:
        return ViewKey::ExaggerationUp;
    case GLFW_KEY_KP_SUBTRACT:
    case GLFW_KEY_MINUS:
        return ViewKey::ExaggerationDown;
    case GLFW_KEY_M:
        return ViewKey::Minimap;
    case GLFW_KEY_T:
        return ViewKey::TidePanel;
    case GLFW_KEY_L:
        return ViewKey::Satellite;
    case GLFW_KEY_I:
        return ViewKey::Help;
    case GLFW_KEY_V:
        return ViewKey::ExaggerationWindow;
    case GLFW_KEY_ESCAPE:
        return ViewKey::ReturnToMenu;
    case GLFW_KEY_P:
        return ViewKey::Timelapse;
    case GLFW_KEY_F11:
        return ViewKey::Fullscreen;
    case GLFW_KEY_F10:
        return ViewKey::Settings;
    case GLFW_KEY_F12:
        return ViewKey::Screenshot;
    default:
        return ViewKey::None;
    }
}
