// The view loop's answers to "Exporter en GPX" and "Importer un GPX": the
// file dialog, then the export or import, reported in the route window.
#pragma once

#include "routes/route_editor.h"
#include "routes/route_panel_state.h"

#include <string>

// creator: the program's name and version, written into the file.
void onExportRequested(RouteEditor& editor, RoutePanelState& panel, const std::string& creator);
void onImportRequested(RouteEditor& editor, RoutePanelState& panel);

// What follows the dialogs, for a chosen path (also used by the tests).
void exportRoutesTo(const std::string& path, RouteEditor& editor, RoutePanelState& panel,
                    const std::string& creator);
void importRoutesFrom(const std::string& path, RouteEditor& editor, RoutePanelState& panel);
