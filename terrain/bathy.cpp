#include "terrain/bathy.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <memory>
#include <new>
#include <set>

namespace {

const char* const kMergedName = "/vsimem/merged_litto3d.vrt";

// Triangle indices are 32-bit: a raster with more cells cannot be meshed.
constexpr uint64_t kMaxCells = UINT32_MAX;

// What one cell costs once loaded: its height, its grid point, up to two
// triangles and its render vertex.
constexpr uint64_t kBytesPerCell = 4 + 16 + 2 * 12 + 36;

// A mosaic of tiles far apart is mostly empty cells, which cost as much as
// full ones; refused before anything of that size is allocated.
bool mosaicFitsInMemory(GDALDatasetH merged) {
    const int w = GDALGetRasterXSize(merged), h = GDALGetRasterYSize(merged);
    if (w <= 0 || h <= 0) {  // GDAL's own size arithmetic overflowed
        std::cerr << "Raster fusionné de taille invalide : " << w << " x " << h << "." << std::endl;
        return false;
    }
    const uint64_t cells = uint64_t(w) * uint64_t(h);
    const uint64_t memory = uint64_t(std::max<GIntBig>(0, CPLGetUsablePhysicalRAM()));
    if (cells <= kMaxCells && (memory == 0 || cells * kBytesPerCell <= memory)) return true;
    std::cerr << "Raster fusionné trop grand : " << w << " x " << h << " cellules, "
              << cells * kBytesPerCell / (1024 * 1024) << " Mo nécessaires pour " << memory / (1024 * 1024)
              << " Mo de mémoire." << std::endl;
    return false;
}

// A tile is an ESRI ASCII grid, which holds at least one digit and one
// separator per cell, so a header that announces more cells than the file can
// contain is corrupt. Any other format GDAL would recognise in the file (some
// binary grids announce their size in a few bytes) is refused outright. Both
// checked before anything of that size is allocated.
bool tileIsPlausible(const std::string& path) {
    GDALDatasetH ds = GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr);
    GDALDriverH driver = ds ? GDALGetDatasetDriver(ds) : nullptr;
    if (!driver || std::string(GDALGetDriverShortName(driver)) != "AAIGrid") {
        std::cerr << "Fichier illisible ou qui n'est pas une grille d'altitudes : " << path << std::endl;
        if (ds) GDALClose(ds);
        return false;
    }
    const uint64_t cells = uint64_t(GDALGetRasterXSize(ds)) * uint64_t(GDALGetRasterYSize(ds));
    bool plausible = GDALGetRasterCount(ds) >= 1;
    if (!plausible) std::cerr << "Aucune bande d'altitudes dans : " << path << std::endl;
    VSIStatBufL stat;
    if (plausible && VSIStatL(path.c_str(), &stat) == 0 && cells * 2 > uint64_t(stat.st_size) + 1) {
        std::cerr << "Dalle corrompue : " << path << " annonce " << GDALGetRasterXSize(ds) << " x "
                  << GDALGetRasterYSize(ds) << " valeurs pour un fichier de " << stat.st_size << " octets."
                  << std::endl;
        plausible = false;
    }
    GDALClose(ds);
    return plausible;
}

// GDAL leaves out, with a mere warning, inputs it cannot place in the
// mosaic (no geo-referencing, other band count...). Each one is named; the
// number of tiles the mosaic does hold is returned.
size_t tilesInMosaic(GDALDatasetH merged, const std::vector<std::string>& paths) {
    std::set<std::string> used;
    char** files = GDALGetFileList(merged);
    for (char** f = files; f && *f; ++f) used.insert(*f);
    CSLDestroy(files);
    size_t held = 0;
    for (const std::string& path : paths) {
        if (used.count(path)) {
            ++held;
            continue;
        }
        std::cerr << "Dalle écartée par GDAL lors de la fusion : " << path << std::endl;
    }
    return held;
}

struct TransformDeleter {
    void operator()(OGRCoordinateTransformation* t) const { OGRCoordinateTransformation::DestroyCT(t); }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, TransformDeleter>;

TransformPtr makeLambert93ToWgs84() {
    OGRSpatialReference lambert93;
    OGRSpatialReference wgs84;
    if (lambert93.importFromEPSG(2154) != OGRERR_NONE || wgs84.importFromEPSG(4326) != OGRERR_NONE)
        return nullptr;
    lambert93.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return TransformPtr(OGRCreateCoordinateTransformation(&lambert93, &wgs84));
}

TransformPtr makeWgs84ToLambert93() {
    OGRSpatialReference wgs84;
    OGRSpatialReference lambert93;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE || lambert93.importFromEPSG(2154) != OGRERR_NONE)
        return nullptr;
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    lambert93.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return TransformPtr(OGRCreateCoordinateTransformation(&wgs84, &lambert93));
}

bool noDataset(GDALDatasetH dataset) {
    if (dataset) return false;
    std::cerr << "Aucun dataset ouvert." << std::endl;
    return true;
}

} // namespace

Bathy::Bathy(const std::vector<std::string>& paths) {
    GDALAllRegister();
    // LITTO3D tiles declare an integer no-data value; without a declared
    // type GDAL would scan each whole file once more to guess it.
    CPLSetConfigOption("AAIGRID_DATATYPE", "Float32");

    if (paths.empty()) {
        std::cerr << "Aucun fichier fourni à Bathy." << std::endl;
        return;
    }

    // A tile that cannot be read is named and left out; the others still
    // make a terrain, as GDAL's own merge would.
    std::vector<std::string> readable;
    for (const std::string& path : paths)
        if (tileIsPlausible(path)) readable.push_back(path);

    GDALDatasetH merged = nullptr;
    size_t held = 0;
    if (!readable.empty()) {
        std::vector<const char*> names;
        for (const std::string& path : readable) names.push_back(path.c_str());
        int usageError = 0;
        merged = GDALBuildVRT(kMergedName, int(names.size()), nullptr, names.data(), nullptr, &usageError);
    }
    if (merged && mosaicFitsInMemory(merged)) held = tilesInMosaic(merged, readable);
    if (merged && held == 0) {
        GDALClose(merged);
        merged = nullptr;
    }
    if (!merged) {
        std::cerr << "Erreur lors de la fusion des " << paths.size() << " dalle(s)." << std::endl;
        return;
    }
    dataset = merged;
    std::cout << held << " dalle(s) fusionnée(s) en un seul raster." << std::endl;
}

Bathy::~Bathy() {
    if (dataset) GDALClose(dataset);
}

bool Bathy::isOpen() const {
    return dataset != nullptr;
}

int Bathy::width() const {
    if (noDataset(dataset)) return 0;
    return GDALGetRasterXSize(dataset);
}

int Bathy::height() const {
    if (noDataset(dataset)) return 0;
    return GDALGetRasterYSize(dataset);
}

std::vector<float> Bathy::readElevations() {
    std::vector<float> values;
    if (!dataset) return values;
    const int w = GDALGetRasterXSize(dataset);
    const int h = GDALGetRasterYSize(dataset);
    try {
        values.resize(size_t(w) * size_t(h));
    } catch (const std::bad_alloc&) {
        std::cerr << "Mémoire insuffisante pour lire " << w << " x " << h << " altitudes." << std::endl;
        return {};
    }

    GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
    int declared = 0;
    const double value = GDALGetRasterNoDataValue(band, &declared);
    if (declared) {
        noData = static_cast<float>(value);
        hasNoData = true;
        std::cout << "NODATA détecté : " << noData << std::endl;
    }

    // A short or unreadable tile must not pass for a terrain of zeros.
    if (GDALRasterIO(band, GF_Read, 0, 0, w, h, values.data(), w, h, GDT_Float32, 0, 0) != CE_None) {
        std::cerr << "Erreur de lecture des altitudes : une dalle est tronquée ou illisible." << std::endl;
        return {};
    }
    return values;
}

void Bathy::logInfo() const {
    if (noDataset(dataset)) return;
    const int w = GDALGetRasterXSize(dataset);
    const int h = GDALGetRasterYSize(dataset);
    std::cout << "Nombre de bandes : " << GDALGetRasterCount(dataset) << "\n"
              << "Taille de l'image : " << w << " x " << h << "\n"
              << "Largeur : " << w << "\n"
              << "Hauteur : " << h << std::endl;
}

void Bathy::logGeoTransform() {
    if (noDataset(dataset)) return;
    double gt[6] = {0, 0, 0, 0, 0, 0};
    if (GDALGetGeoTransform(dataset, gt) != CE_None) {
        std::cerr << "ATTENTION : GetGeoTransform a échoué (pas de géoréférencement affine détecté).\n"
                  << "Vérifie si le fichier utilise des GCP à la place, via dataset->GetGCPCount().\n"
                  << "Nombre de GCP : " << GDALGetGCPCount(dataset) << std::endl;
    }
    std::cout << "Transform : ";
    for (double v : gt) std::cout << v << " ";
    std::cout << std::endl;
    for (int i = 0; i < 6; ++i) geotransform[i] = gt[i];
}

void Bathy::logExtent() const {
    if (noDataset(dataset)) return;
    const double w = GDALGetRasterXSize(dataset);
    const double h = GDALGetRasterYSize(dataset);
    double gt[6] = {0, 0, 0, 0, 0, 0};
    GDALGetGeoTransform(dataset, gt);

    const double minX = gt[0];
    const double maxX = gt[0] + w * gt[1];
    const double minY = gt[3] + h * gt[5];
    const double maxY = gt[3];
    double xs[3] = {(2 * gt[0] + w * gt[1]) / 2, minX, maxX};
    double ys[3] = {(2 * gt[3] + h * gt[5]) / 2, minY, maxY};

    TransformPtr transform = makeLambert93ToWgs84();
    if (!transform) {
        std::cerr << "Impossible de créer la transformation." << std::endl;
        return;
    }
    // Longitude comes back first, latitude second (traditional GIS order).
    transform->Transform(3, xs, ys);

    std::cout << "=== Emprise geographique ===\n"
              << "Lambert93 : X [" << minX << ", " << maxX << "]  Y [" << minY << ", " << maxY << "]\n"
              << "WGS84 centre : lat=" << ys[0] << " lon=" << xs[0] << "\n"
              << "WGS84 coin SO : lat=" << ys[1] << " lon=" << xs[1] << "\n"
              << "WGS84 coin NE : lat=" << ys[2] << " lon=" << xs[2] << "\n"
              << "Google Maps (satellite) : https://www.google.com/maps?q=" << ys[0] << "," << xs[0]
              << "&z=15&t=k\n"
              << "Geoportail : https://www.geoportail.gouv.fr/carte?c=" << xs[0] << "," << ys[0] << "&z=15"
              << std::endl;
}

bool Bathy::centreWgs84(GeoPoint& centre) const {
    if (!dataset) return false;
    double gt[6] = {0, 0, 0, 0, 0, 0};
    GDALGetGeoTransform(dataset, gt);
    const double w = GDALGetRasterXSize(dataset);
    const double h = GDALGetRasterYSize(dataset);
    return lambert93ToWgs84(gt[0] + w * gt[1] * 0.5, gt[3] + h * gt[5] * 0.5, centre);
}

bool Bathy::cornersWgs84(GeoPoint& southWest, GeoPoint& northEast) const {
    if (!dataset) return false;
    double gt[6] = {0, 0, 0, 0, 0, 0};
    GDALGetGeoTransform(dataset, gt);
    const double w = GDALGetRasterXSize(dataset);
    const double h = GDALGetRasterYSize(dataset);
    return lambert93ToWgs84(gt[0], gt[3] + h * gt[5], southWest) &&
           lambert93ToWgs84(gt[0] + w * gt[1], gt[3], northEast);
}

bool lambert93ToWgs84(double x, double y, GeoPoint& out) {
    // Created on the thread's first call and never retried, so a missing
    // PROJ database is reported once per thread.
    struct PerThread {
        TransformPtr transform;
        PerThread() {
            transform = makeLambert93ToWgs84();
            if (!transform)
                std::cerr << "Erreur : transformation Lambert93 -> WGS84 indisponible (proj_data introuvable ?)."
                          << std::endl;
        }
    };
    thread_local PerThread perThread;
    if (!perThread.transform) return false;
    double px = x, py = y;
    if (!perThread.transform->Transform(1, &px, &py)) return false;
    out.lat = py;
    out.lon = px;
    return true;
}

bool wgs84ToLambert93(const GeoPoint& in, double& x, double& y) {
    // Like the inverse: one per thread, created on first use, not retried.
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
    // Written so that NaN fails too.
    if (!(in.lat >= -90.0 && in.lat <= 90.0 && in.lon >= -180.0 && in.lon <= 180.0)) return false;
    double px = in.lon, py = in.lat;
    if (!perThread.transform->Transform(1, &px, &py) || !std::isfinite(px) || !std::isfinite(py)) return false;
    x = px;
    y = py;
    return true;
}
