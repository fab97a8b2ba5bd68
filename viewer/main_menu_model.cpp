#include "viewer/main_menu_model.h"

namespace {

MenuEntry item(const char* label, const char* shortcut, bool checked, bool enabled, MenuAction action) {
    return {MenuEntry::Item, label, shortcut, checked, enabled, action};
}

MenuEntry separator() { return {MenuEntry::Separator, "", "", false, true, MenuAction::None}; }

} // namespace

std::vector<Menu> mainMenuModel(const MenuSwitches& s, const std::string& versionText) {
    using A = MenuAction;
    return {
        {"Fichier",
         {item("Export screenshot (PNG)", "F12", false, true, A::Screenshot),
          item("Export marqueurs (GPX)", "", false, s.markersExist, A::ExportMarkersGpx),
          item("Export marqueurs (CSV)", "", false, s.markersExist, A::ExportMarkersCsv), separator(),
          item("Retour au menu", "Échap", false, true, A::ReturnToMenu)}},
        {"Outils",
         {item("Marée", "T", s.tidePanelOpen, true, A::ToggleTidePanel),
          item("Timelapse marée", "P", s.timelapsePlaying, true, A::ToggleTimelapse), separator(),
          item("Calendrier des marées", "", s.tideCalendarOpen, true, A::ToggleTideCalendar),
          item("Parcours", "", s.routePanelOpen, true, A::ToggleRoutePanel),
          item("Supprimer tous les marqueurs", "", false, s.markersExist, A::ClearMarkers)}},
        {"Affichage",
         {item("Texture satellite", "L", s.satelliteOn, true, A::ToggleSatellite),
          item("Minimap", "M", s.minimapVisible, true, A::ToggleMinimap),
          item("Exagération verticale", "V", s.exaggerationWindowOpen, true, A::ToggleExaggerationWindow),
          item("Légende", "", s.legendVisible, true, A::ToggleLegend)}},
        {"Aide",
         {item("Raccourcis clavier", "I", s.helpOpen, true, A::ToggleHelp),
          item("Mon compte", "", false, true, A::OpenAccountPage), separator(),
          {MenuEntry::DisabledText, versionText, "", false, false, A::None}}},
    };
}
