// The start screen's sidebar once signed in: place search with tile counts,
// recent zones, and the account button with its menu.
#pragma once

#include "account/account_session.h"
#include "terrain/tile_info.h"
#include "zones/place_search.h"
#include "zones/tile_map.h"
#include "zones/zone_history.h"

#include <string>
#include <vector>

struct SidebarState {
    char query[128] = {};
    bool searched = false;
    std::vector<PlaceResult> results;
    std::vector<TileCounts> counts;  // one per result
    std::vector<ZoneHistoryEntry> history;
    std::string placeName;  // the chosen place, highlighted among the results
};

// What the user asked for in this frame.
struct SidebarAction {
    bool choosePlace = false;  // a result or a recent zone was clicked
    std::string name;
    double lat = 0.0, lon = 0.0;
    bool openSettings = false;
    bool openCredits = false;
    bool quit = false;
};

// Forgets the previous results, asks the geocoding service for at most 5
// places and counts the tiles near each (blocking).
void runPlaceSearch(SidebarState& state, const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres);

// Draws the sidebar as a child region 320 pixels wide and `height` high at
// the cursor of the current window. "  Se déconnecter" signs out at once.
SidebarAction drawSidebar(SidebarState& state, const std::vector<TileInfo>& tiles,
                          const std::vector<TileCentre>& centres, const AccountSession& session, float height);
