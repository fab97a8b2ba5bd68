#include "routes/gpx_dialogs.h"

#include "platform/platform.h"
#include "routes/gpx_error.h"
#include "routes/gpx_export.h"
#include "routes/gpx_import.h"

#include <vector>

namespace {

const std::vector<platform::FileFilter>& gpxFilters() {
    static const std::vector<platform::FileFilter> filters = {{"Fichier GPX", "*.gpx"}, {"Tous les fichiers", "*.*"}};
    return filters;
}

} // namespace

void exportRoutesTo(const std::string& path, RouteEditor& editor, RoutePanelState& panel,
                    const std::string& creator) {
    if (exportGpx(path, editor.routes, editor.geo, creator))
        setStatus(panel, "Parcours exportés.", false);
    else
        setStatus(panel, lastGpxError(), true);
}

void importRoutesFrom(const std::string& path, RouteEditor& editor, RoutePanelState& panel) {
    int outside = 0;
    if (!importGpx(path, editor.geo, editor.heightGrid, editor, outside)) {
        setStatus(panel, lastGpxError(), true);
        return;
    }
    editor.selectRoute(static_cast<int>(editor.routes.size()) - 1);
    panel.selectedPoint = -1;
    panel.profile.routesDirty = true;
    if (outside > 0)
        setStatus(panel, std::to_string(outside) + " point(s) hors de la zone chargée.", false);
    else
        setStatus(panel, "Import terminé.", false);
}

void onExportRequested(RouteEditor& editor, RoutePanelState& panel, const std::string& creator) {
    if (editor.routes.empty()) return;
    std::string path;
    if (platform::saveFileDialog("Exporter les parcours en GPX", "abysto_parcours.gpx", gpxFilters(), "gpx", path))
        exportRoutesTo(path, editor, panel, creator);
}

void onImportRequested(RouteEditor& editor, RoutePanelState& panel) {
    std::string path;
    if (platform::openFileDialog("Importer un GPX", gpxFilters(), path)) importRoutesFrom(path, editor, panel);
}
