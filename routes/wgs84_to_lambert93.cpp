#include "routes/wgs84_to_lambert93.h"

#include <ogr_spatialref.h>

#include <cmath>
#include <iostream>
#include <memory>

namespace {

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

TransformPtr makeWgs84ToLambert93() {
    OGRSpatialReference wgs84;
    OGRSpatialReference lambert93;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE || lambert93.importFromEPSG(2154) != OGRERR_NONE) return nullptr;
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    lambert93.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return TransformPtr(OGRCreateCoordinateTransformation(&wgs84, &lambert93));
}

} // namespace

bool wgs84ToLambert93(double lat, double lon, double& x, double& y) {
    struct PerThread {
        TransformPtr transform;
        PerThread() {
            transform = makeWgs84ToLambert93();
            if (!transform)
                std::cerr << "Erreur : transformation WGS84 -> Lambert93 indisponible (proj_data introuvable ?)."
                          << std::endl;
        }
    };
    thread_local PerThread perThread;
    if (!perThread.transform) return false;
    if (!(lat >= -90.0 && lat <= 90.0 && lon >= -180.0 && lon <= 180.0)) return false;
    double px = lon, py = lat;
    if (!perThread.transform->Transform(1, &px, &py)) return false;
    if (!std::isfinite(px) || !std::isfinite(py)) return false;
    x = px;
    y = py;
    return true;
}
