// The map of the chosen place: the tiles around it and the satellite image of their box as a texture.
#pragma once

#include "terrain/tile_info.h"
#include "zones/tile_map.h"
#include "zones/zone_history.h"

#include <string>
#include <vector>

struct PlaceMap {
    bool placeSelected = false;
    std::string name;
    double lat = 0.0, lon = 0.0;
    MapArea area;
    unsigned int texture = 0;  // GL texture of area.box, 0 without an image
    int textureWidth = 0, textureHeight = 0;
};

// Shows the place: finds its tiles, fetches the image (blocking), records the
// visit first among the recent zones and saves them to `historyPath`.
void choosePlace(PlaceMap& map, const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres,
                 std::vector<ZoneHistoryEntry>& history, const std::string& historyPath, double lat, double lon,
                 const std::string& name);
// Deletes the texture (needs the GL context).
void releasePlaceMap(PlaceMap& map);
