// The start screen's floating windows: credits, settings and the usage tips.
#pragma once

#include "terrain/tile_info.h"
#include "zones/zone_history.h"

#include <string>
#include <vector>

struct GLFWwindow;

// Whether the tips are shown: not once dismissed for good (the marker file
// exists) and only at the first start screen of the process.
struct TipsState {
    bool dismissed = false;
    bool show = false;
};
TipsState tipsAtEntry(const std::string& markerFile, bool firstCall);
// The "Ne plus afficher au démarrage" box: writes or deletes the marker file (failures ignored).
void setTipsDismissed(const std::string& markerFile, bool dismissed);

void drawCreditsWindow(bool& open, const std::string& versionText);

struct SettingsContext {
    GLFWwindow* window = nullptr;
    const std::vector<TileInfo>& tiles;
    const std::string& tileDir;
    std::vector<ZoneHistoryEntry>& history;
    std::string historyPath;
    std::string versionText;
};
void drawSettingsWindow(bool& open, SettingsContext& context);

void drawTipsWindow(TipsState& tips, const std::string& markerFile);
