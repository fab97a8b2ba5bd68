// The 3D view: the program's single window and GL context, the terrain on
// the GPU, the camera and its input, and the loop that shows one zone.
#pragma once

#include "routes/route_editor.h"
#include "routes/route_panel_state.h"
#include "routes/route_renderer.h"
#include "terrain/bathy.h"
#include "terrain/terrain_grid.h"
#include "viewer/core/camera.h"
#include "viewer/key_bindings.h"
#include "viewer/main_menu_model.h"
#include "viewer/minimap_cache.h"
#include "viewer/overlay_renderer.h"
#include "viewer/core/picking.h"
#include "viewer/core/shader.h"
#include "viewer/terrain_mesh.h"
#include "tides/ram_table.h"
#include "tides/tide_calendar.h"
#include "tides/tide_state.h"
#include "viewer/view_rules.h"
#include "viewer/window_layout.h"

#include <glm/glm.hpp>
#include <string>
#include <vector>

struct GLFWwindow;

// The program's window: its place and size while windowed, the mode, and the
// framebuffer it draws into.
struct ViewWindow {
    int windowedX = 100, windowedY = 100;
    int windowedWidth = 1920, windowedHeight = 1080;
    bool fullscreen = false;
    int framebufferWidth = 1920, framebufferHeight = 1080;
};

// The mouse gestures in progress, and the pointer.
struct Gestures {
    bool orbitDragging = false;
    double lastOrbitX = 0, lastOrbitY = 0;
    bool panDragging = false;
    double lastPanX = 0, lastPanY = 0;
    double pressX = 0, pressY = 0;
    // The pointer as the last cursor event placed it (window coordinates).
    double cursorX = 0, cursorY = 0;
    bool cursorKnown = false;
};

// GL programs, geometry and texture of the zone on screen.
struct ViewGl {
    Shader terrainShader;
    TerrainMesh mesh;
    OverlayRenderer overlays;
    unsigned int satelliteTexture = 0;
    MinimapCache minimap;
};

// Where the zone on screen lies in the scene.
struct ZoneExtents {
    int gridWidth = 0, gridHeight = 0;
    float minX = 0, minZ = 0, maxX = 1, maxZ = 1;
    glm::vec3 centre{0.0f};
    float diagonal = 0;
    float hMin = 0, hMax = 1;  // exaggerated heights
};

// Panel and mode switches of the view loop.
struct PanelSwitches {
    bool helpOpen = false;
    bool minimapVisible = true;
    bool exaggerationWindowOpen = false;
    bool exaggerationHelpShown = false;
    bool legendVisible = true;
    bool settingsOpen = false;
    bool satelliteOn = false;
    bool returnToMenu = false;
    bool timelapsePlaying = false;
    // F12 or the menu asked for a screenshot: taken from the next whole frame.
    bool screenshotRequested = false;
    float timelapseHour = 12.0f;
    float timelapseSpeed = 0.5f;
};

// The tide of the zone and the tide calendar.
struct ZoneTides {
    TideState state = makeTideState();
    TideCalendar calendar;
    // Shom's altimetric references, loaded once at start-up.
    std::vector<RamSite> ramSites;
    // Centre of the zone on screen in WGS84, when it could be converted.
    GeoPoint terrainCentre;
    bool terrainCentreKnown = false;
};

// Routes of the zone: the model, the route window's state (which also holds
// the interaction mode, the selected point and the routes-changed flag) and
// their drawing in 3D.
struct ZoneRoutes {
    RouteEditor editor;
    RoutePanelState panel;
    RouteRenderer renderer;
};

struct Viewer {
    // The splash and the zone selector draw into this window too.
    GLFWwindow* window = nullptr;
    // The program's data folder (icon, fonts); empty means "data" in the working directory.
    std::string dataRoot;
    // Where the UI keeps its window layout (imgui.ini); empty: nowhere.
    std::string uiLayoutPath;
    // The program's name and version, shown in the menu and written as the GPX creator.
    std::string versionText = "Abysto 3D";

    ViewWindow display;
    Camera camera;
    Gestures gestures;
    ViewGl gl;

    // The zone on screen (set by setTerrain).
    ZoneExtents extents;
    float exaggeration = 1.0f;
    float seaLevel = 0;  // metres, same datum as the heights
    // Depth markers of the zone on screen, in the order they were placed.
    std::vector<DepthMarker> markers;
    ZoneTides tides;
    ZoneRoutes routes;

    PanelSwitches panels;

    Viewer() = default;
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Window, GL 3.3 context, icon, callbacks, programs and UI. Once, after dataRoot is set.
    bool init();

    // Shows a new zone: extents, mesh, initial camera. Markers and sea level reset.
    // The view keeps the grid (the loading cycle's dataset is not kept).
    void setTerrain(TerrainGrid terrain);
    // Re-derives the mesh for the current exaggeration (no-op without a zone).
    void rebuildForExaggeration();
    // Makes the satellite texture from RGB rows (north first); the previous one
    // is replaced only on success. The switch is left as it is.
    bool uploadSatelliteImage(int width, int height, const unsigned char* rgb);

    // Shows the zone until Escape (true) or the window is closed (false).
    bool run();
    // Whether the next frame differs from this one without any event.
    bool animating() const;
    // One frame of the view (keyboard movement, 3D scene, UI), without presenting it.
    void drawFrame(float frameTime = 0.0f);
    void drawTerrain(const glm::mat4& view, const glm::mat4& projection);
    void moveCameraFromKeyboard(float frameTime);

    void toggleFullscreen();
    void setWindowedSize(int width, int height);

    // Input, called by the window's callbacks.
    void onMouseButton(int button, int action);
    void onCursor(double x, double y);
    void onScroll(double yOffset);
    void onKey(int key, int action, int mods);
    void onFramebufferSize(int width, int height);
    void cursorPosition(double& x, double& y) const;
    // A click without movement at a framebuffer pixel, by interaction mode.
    void handleClick(double framebufferX, double framebufferY);
    void applyViewKey(ViewKey key);
    void applyMenuAction(MenuAction action);
    MenuSwitches menuSwitches() const;

    // Exaggeration: one whole step up or down within 1..7, or a chosen factor.
    void stepExaggeration(int direction);
    void setExaggeration(float factor);
    void rebuildReferenceGrid();

    // Depth markers (markers_ui.cpp).
    PickResult pick(float framebufferX, float framebufferY) const;
    void addMarkerAt(float framebufferX, float framebufferY);
    void clearDepthMarkers();
    void drawMarkerLabelsAndList(const glm::mat4& view, const glm::mat4& projection, const UiRect& listPlace);
    OpenWindows openWindows() const;

    // The top-down view in the bottom-right corner (minimap.cpp).
    void drawMinimap();
    // What the minimap shows now, and its camera.
    MinimapPicture minimapPicture() const;
    MinimapCamera minimapTop() const;
    void drawMinimapCross();

    // Files for the user (exports_ui.cpp); a cancelled dialog ends them silently.
    void exportMarkersCsv();
    void exportMarkersGpx();
    void saveScreenshot();
    void openAccountPage();

    // Routes of the zone (viewer_routes.cpp).
    bool startRouteRenderer();
    void releaseRouteRenderer();
    void resetRouteModel();
    void handleRouteClick(double framebufferX, double framebufferY);
    bool handleEditingKey(int key, int mods);
    void drawRoutes(const glm::mat4& view, const glm::mat4& projection);
    void drawRouteToolbarAndWindow();

    // Tides of the zone (viewer_tides.cpp).
    // A zone whose centre is known: datum offset, reference port, calendar.
    void onTerrainLocated(double latitude, double longitude);
    // The tide window; true with the level when the user applied one this frame.
    bool drawTideWindow(float& appliedLevel);
    // The month calendar; a chosen day loads that day and opens the tide window.
    void drawTideCalendar(const UiRect& place);

private:
    bool uiReady = false;
    // The clock at the previous frame (seconds); kept across zones.
    double lastFrameTime = 0.0;
    // The zone on screen (the view's own copy), null when there is none.
    const TerrainGrid* grid = nullptr;
    TerrainGrid shownGrid;
    void releaseGl();
};
