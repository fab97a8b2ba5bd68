// The start screen: sign-in while nobody is signed in, then the sidebar and
// the tile map, until the user explores some tiles, quits or closes the window.
#pragma once

#include "terrain/tile_info.h"
#include "tiles/download_queue.h"
#include "update/update_dialog.h"
#include "zones/main_panel.h"
#include "zones/place_map.h"
#include "zones/toast.h"
#include "zones/selector_windows.h"
#include "zones/sidebar.h"
#include "zones/sign_in_screen.h"

#include <memory>
#include <string>
#include <vector>

struct GLFWwindow;

// One visit of the start screen, frame by frame (the program's loop and the
// tests draw it the same way).
struct SelectorScreen {
    SelectorScreen(GLFWwindow* window, std::vector<TileInfo>& tiles, const std::string& tileDir);
    // Stops every download and waits for its thread; deletes the map's texture.
    ~SelectorScreen();
    SelectorScreen(const SelectorScreen&) = delete;
    SelectorScreen& operator=(const SelectorScreen&) = delete;

    // The UI of one frame, between the toolkit's frame begin and end.
    void drawUi(float width, float height);
    // A signed-in user: the session saved, the catalogue merged, a notice.
    void afterSignIn();
    // Ends the visit: stops the downloads; the tiles to show when "Explorer" ended it.
    std::vector<std::string> finish();

    GLFWwindow* window;
    std::vector<TileInfo>& tiles;
    std::string tileDir;
    std::vector<TileCentre> centres;
    SidebarState sidebar;
    PlaceMap map;
    Toast toast;
    DownloadQueue downloads;
    TipsState tips;
    bool showSettings = false;
    bool showCredits = false;
    bool explore = false;
    bool quit = false;
};

class ZoneSelector {
public:
    // Runs the start screen in `window` until it ends; the files of the tiles
    // to show, or nothing when the program is to end.
    static std::vector<std::string> run(GLFWwindow* window, std::vector<TileInfo>& tiles, const std::string& tileDir);
};
