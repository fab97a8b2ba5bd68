// The window's input callbacks; each hands the event to the Viewer stored as
// the window's user pointer.
#pragma once

struct GLFWwindow;

// Framebuffer size, mouse button, cursor position, scroll and key. Install
// before the UI's GLFW backend, which then chains to them.
void installViewerCallbacks(GLFWwindow* window);
