// Dear ImGui on the viewer's window: set-up, the per-frame bracket, shutdown.
#pragma once

#include <string>

struct GLFWwindow;
struct ImVec4;

namespace UIManager {

// Creates the UI context, loads the fonts from dataRoot/fonts (dataRoot may be
// null: default font), applies the style and starts the GLFW and OpenGL 3
// backends. The window layout is kept in iniPath (empty: not kept). The
// window's own input callbacks must already be installed.
bool init(GLFWwindow* window, const char* dataRoot, const std::string& iniPath);
// Backends then context; does nothing when init did not run.
void shutdown();

} // namespace UIManager

// Every screen that draws UI wraps its frame in these two calls.
void beginUiFrame();
void endUiFrame();

// ABYSTO_DRAW_EVERY_FRAME=1 makes the loops draw at full rate even when idle,
// as they once did: the baseline for measuring what frames on demand save.
bool drawEveryFrame();

// The font file to load for `name` ("Inter-Regular"): the .ttf when present,
// else the .otf; empty when neither exists.
std::string uiFontFile(const std::string& fontsDir, const std::string& name);
