// The start screen's main panel: the welcome page until a place is chosen,
// then the place's tile map with its downloads, the legend, the notice line,
// and the "Explorer" and "Quitter" buttons with their pop-ups.
#pragma once

#include "terrain/tile_info.h"
#include "tiles/download_queue.h"
#include "zones/place_map.h"
#include "zones/toast.h"

#include <string>
#include <vector>

struct MainPanelContext {
    PlaceMap& map;
    std::vector<TileInfo>& tiles;
    DownloadQueue& downloads;
    Toast& toast;
    std::string tileDir;
    unsigned int anchorTexture = 0;
    std::string versionText;
};

struct MainPanelAction {
    bool explore = false;
    bool quit = false;
};

// Draws the panel as a child region of `width` × `height` at the cursor.
MainPanelAction drawMainPanel(MainPanelContext& context, float width, float height);
