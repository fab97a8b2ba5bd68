#include "app/catalogue_step.h"

#include <iostream>

const char* catalogueSplashLine(const CatalogueSyncSummary& summary) {
    if (!summary.ok) return "Catalogue indisponible, mode hors-ligne...";
    return summary.fromCache ? "Catalogue local (hors ligne)..." : nullptr;
}

CatalogueSyncSummary synchroniseCatalogueAtStartup(std::vector<TileInfo>& tiles, const SplashLine& splash) {
    splash("Synchronisation du catalogue...", 0.3f);
    const CatalogueSyncSummary summary = syncCatalogue(tiles);
    if (const char* line = catalogueSplashLine(summary)) splash(line, 0.4f);
    // The synchronisation has written its own line already; this one is the start-up's.
    if (!summary.ok) std::cerr << "Catalogue indisponible : " << summary.message << std::endl;
    return summary;
}
