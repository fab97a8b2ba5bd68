// The view's main menu bar as data: its four menus, their items, shortcut
// texts, check marks and enabled states, from the view's switches.
#pragma once

#include <string>
#include <vector>

enum class MenuAction {
    None,
    Screenshot,
    ExportMarkersGpx,
    ExportMarkersCsv,
    ReturnToMenu,
    ToggleTidePanel,
    ToggleTimelapse,
    ToggleTideCalendar,
    ToggleRoutePanel,
    ClearMarkers,
    ToggleSatellite,
    ToggleMinimap,
    ToggleExaggerationWindow,
    ToggleLegend,
    ToggleHelp,
    OpenAccountPage,
};

struct MenuEntry {
    enum Kind { Item, Separator, DisabledText };
    Kind kind = Item;
    std::string label;
    std::string shortcut;  // empty: none
    bool checked = false;
    bool enabled = true;
    MenuAction action = MenuAction::None;
};

struct Menu {
    std::string title;
    std::vector<MenuEntry> entries;
};

struct MenuSwitches {
    bool markersExist = false;
    bool tidePanelOpen = false;
    bool timelapsePlaying = false;
    bool tideCalendarOpen = false;
    bool routePanelOpen = false;
    bool satelliteOn = false;
    bool minimapVisible = true;
    bool exaggerationWindowOpen = false;
    bool legendVisible = true;
    bool helpOpen = false;
};

// versionText: the program's name and version, shown greyed in the help menu.
std::vector<Menu> mainMenuModel(const MenuSwitches& s, const std::string& versionText);
