#include "zones/place_map.h"

#include "viewer/satellite_image.h"
#include "viewer/texture.h"

#include <glad/gl.h>

#include <iostream>

void choosePlace(PlaceMap& map, const std::vector<TileInfo>& tiles, const std::vector<TileCentre>& centres,
                 std::vector<ZoneHistoryEntry>& history, const std::string& historyPath, double lat, double lon,
                 const std::string& name) {
    map.name = name;
    map.lat = lat;
    map.lon = lon;
    map.area = mapAreaAround(tiles, centres, lat, lon);
    releasePlaceMap(map);

    const MapBox& box = map.area.box;
    const int width = 1024;
    const int height = satelliteImageHeight(box.minLon, box.minLat, box.maxLon, box.maxLat, width);
    std::cout << "Chargement satellite pour " << name << "..." << std::endl;
    const SatelliteImage image = fetchSatelliteImage(box.minLon, box.minLat, box.maxLon, box.maxLat, width, height);
    if (image.ok) {
        map.texture = createRgbTexture(image.width, image.height, image.pixels.data());
        if (map.texture != 0) {
            map.textureWidth = image.width;
            map.textureHeight = image.height;
            std::cout << "Satellite charge (" << image.width << "x" << image.height << "), "
                      << map.area.visible.size() << " dalles dans la zone." << std::endl;
        }
    }

    ZoneHistoryEntry entry;
    entry.label = name;
    entry.lat = lat;
    entry.lon = lon;
    entry.tileCount = static_cast<int32_t>(map.area.visible.size());
    entry.timestamp = zoneTimestampNow();
    addZoneHistory(history, entry, kZoneHistoryMax);
    saveZoneHistory(historyPath, history);
    map.placeSelected = true;
}

void releasePlaceMap(PlaceMap& map) {
    if (map.texture != 0) glDeleteTextures(1, &map.texture);
    map.texture = 0;
    map.textureWidth = map.textureHeight = 0;
}
