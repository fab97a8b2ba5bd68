// The merged raster read through GDAL from real files: tiles made by
// make-tiles, small grids written here, and broken files.
#include "terrain/bathy.h"
#include "tests/support/log_capture.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/grid_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <thread>

namespace {

std::unique_ptr<Bathy> open(const std::vector<std::string>& paths, Captured* output = nullptr) {
    std::unique_ptr<Bathy> bathy;
    Captured o = captureStreams([&] { bathy = std::make_unique<Bathy>(paths); });
    if (output) *output = o;
    return bathy;
}

} // namespace

// Cells of 500 m, so that a product and a quotient of the cell size differ; no
// declared no-data value, so -99999 is a height like any other.
TEST(Bathy, TwoNeighbouringTilesMergeIntoOneRaster) {
    TempDir dir;
    Captured merge;
    std::unique_ptr<Bathy> bathy =
        open({writeGrid(dir.path, "w.asc", ascGrid(2, 2, 145000, 6838000, "", {"1 2", "3 -99999"}, 500)),
              writeGrid(dir.path, "e.asc", ascGrid(2, 2, 146000, 6838000, "", {"5 6", "7 8"}, 500))},
             &merge);
    ASSERT_TRUE(bathy->isOpen()) << merge.err;
    EXPECT_EQ(merge.out, "2 dalle(s) fusionnée(s) en un seul raster.\n");
    EXPECT_EQ(bathy->width(), 4);
    EXPECT_EQ(bathy->height(), 2);

    Captured logs = captureStreams([&] {
        bathy->logInfo();
        bathy->logGeoTransform();
        bathy->logExtent();
    });
    EXPECT_EQ(logs.err, "");
    EXPECT_EQ(logs.out,
              "Nombre de bandes : 1\nTaille de l'image : 4 x 2\nLargeur : 4\nHauteur : 2\n"
              "Transform : 145000 500 0 6.839e+06 0 -500 \n"
              "=== Emprise geographique ===\n"
              "Lambert93 : X [145000, 147000]  Y [6.838e+06, 6.839e+06]\n"
              "WGS84 centre : lat=48.4099 lon=-4.49748\n"
              "WGS84 coin SO : lat=48.4046 lon=-4.51029\n"
              "WGS84 coin NE : lat=48.4152 lon=-4.48466\n"
              "Google Maps (satellite) : https://www.google.com/maps?q=48.4099,-4.49748&z=15&t=k\n"
              "Geoportail : https://www.geoportail.gouv.fr/carte?c=-4.49748,48.4099&z=15\n");
    EXPECT_EQ(std::vector<double>(bathy->geoTransform(), bathy->geoTransform() + 6),
              (std::vector<double>{145000, 500, 0, 6839000, 0, -500}));
    GeoPoint centre, sw, ne, expected;
    ASSERT_TRUE(bathy->centreWgs84(centre) && bathy->cornersWgs84(sw, ne));
    for (const auto& [got, x, y] : std::vector<std::tuple<GeoPoint, double, double>>{
             {centre, 146000, 6838500}, {sw, 145000, 6838000}, {ne, 147000, 6839000}}) {
        ASSERT_TRUE(lambert93ToWgs84(x, y, expected));
        EXPECT_EQ(std::pair(got.lat, got.lon), std::pair(expected.lat, expected.lon)) << x << " " << y;
    }

    std::vector<float> z;
    Captured read = captureStreams([&] { z = bathy->readElevations(); });
    EXPECT_EQ(read.out, "");
    EXPECT_FALSE(bathy->hasNoDataValue());
    EXPECT_EQ(z, (std::vector<float>{1, 2, 5, 6, 3, -99999, 7, 8}));  // each tile in its own half, west first
}

TEST(Bathy, EmptyListGivesNoDataset) {
    Captured o;
    std::unique_ptr<Bathy> bathy = open({}, &o);
    EXPECT_EQ(o.err, "Aucun fichier fourni à Bathy.\n");
    EXPECT_FALSE(bathy->isOpen());

    int w = -1;
    std::vector<float> z{1};
    GeoPoint p;
    bool centre = true, corners = true;
    Captured use = captureStreams([&] {
        w = bathy->width();
        bathy->logInfo();
        bathy->logGeoTransform();
        bathy->logExtent();
        z = bathy->readElevations();
        centre = bathy->centreWgs84(p);
        corners = bathy->cornersWgs84(p, p);
    });
    EXPECT_EQ(w, 0);
    EXPECT_TRUE(z.empty());
    EXPECT_FALSE(centre || corners);
    EXPECT_EQ(use.err, "Aucun dataset ouvert.\nAucun dataset ouvert.\nAucun dataset ouvert.\nAucun dataset ouvert.\n");
}

// The Lambert93 origin is at 46.5 N 3 E; each thread has its own transformations.
TEST(Bathy, Lambert93AndBackInAnyThread) {
    std::thread([] {
        GeoPoint p;
        ASSERT_TRUE(lambert93ToWgs84(700000, 6600000, p));
        EXPECT_NEAR(p.lat, 46.5, 1e-9);
        EXPECT_NEAR(p.lon, 3.0, 1e-9);
        double x = 0, y = 0;
        ASSERT_TRUE(wgs84ToLambert93({46.5, 3.0}, x, y));
        EXPECT_NEAR(x, 700000.0, 1e-3);
        EXPECT_NEAR(y, 6600000.0, 1e-3);
    }).join();
    GeoPoint back;
    double x = 0, y = 0;
    ASSERT_TRUE(wgs84ToLambert93({48.35, -4.6}, x, y));
    ASSERT_TRUE(lambert93ToWgs84(x, y, back));
    EXPECT_NEAR(back.lat, 48.35, 1e-9);
    EXPECT_NEAR(back.lon, -4.6, 1e-9);
    for (const GeoPoint& outside : {GeoPoint{91.0, 0.0}, GeoPoint{0.0, 181.0}, GeoPoint{std::nan(""), 0.0}})
        EXPECT_FALSE(wgs84ToLambert93(outside, x, y)) << outside.lat << " " << outside.lon;
}

// Run in a child process whose PROJ_DATA points nowhere (see below).
TEST(Bathy, DISABLED_ConvertWithoutProjDatabase) {
    const auto twice = [] {
        GeoPoint p;
        EXPECT_FALSE(lambert93ToWgs84(700000, 6600000, p));
        EXPECT_FALSE(lambert93ToWgs84(700000, 6600000, p));
    };
    twice();
    std::thread(twice).join();
}

TEST(Bathy, MissingProjDatabaseIsReportedOncePerThread) {
    const ProcessResult run = runProcess("/proc/self/exe",
                                         {"--gtest_filter=Bathy.DISABLED_ConvertWithoutProjDatabase",
                                          "--gtest_also_run_disabled_tests"},
                                         {{"PROJ_DATA", "/nonexistent/proj_data"}});
    EXPECT_EQ(run.exitCode, 0) << run.output;
    const std::string message = "Erreur : transformation Lambert93 -> WGS84 indisponible (proj_data introuvable ?).\n";
    EXPECT_EQ(countOf(run.output, message), 2u) << run.output;
}

// Sizes no memory holds are refused before any allocation.
TEST(Bathy, ImpossibleSizesAreRefused) {
    TempDir dir;
    // Within GDAL's limits, but 40 GB of heights for a file of a few bytes.
    const std::string huge = writeGrid(dir.path, "huge.asc", ascGrid(100000, 100000, 0, 0, "-99999", {"1 2 3"}));
    const std::string here = writeGrid(dir.path, "here.asc", ascGrid(2, 2, 0, 0, "-99999", {"1 2", "3 4"}));
    const auto there = [&](double x, double y) {
        return writeGrid(dir.path, "there" + std::to_string(x + y) + ".asc", ascGrid(2, 2, x, y, "-99999", {"5 6", "7 8"}));
    };
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{huge}, "Dalle corrompue : " + huge + " annonce 100000 x 100000 valeurs pour un fichier de "},
        // Mosaics of 3,000 million cells (within 32-bit indices), 4,500 million (beyond), wider than GDAL counts.
        {{here, there(1.5e9, 0)}, "Raster fusionné trop grand : 1500000002 x 2 cellules, 228881 Mo nécessaires pour "},
        {{here, there(1.5e9, 1)}, "Raster fusionné trop grand : 1500000002 x 3 cellules, "},
        {{here, there(4.0e9, 0)}, "Raster fusionné de taille invalide : "},
    };
    for (const auto& [files, message] : cases) {
        SCOPED_TRACE(files.back());
        Captured o;
        std::unique_ptr<Bathy> bathy = open(files, &o);
        EXPECT_FALSE(bathy->isOpen());
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(countOf(o.err, message), 1u) << o.err;
        EXPECT_EQ(countOf(o.err, "Erreur lors de la fusion des " + std::to_string(files.size()) + " dalle(s).\n"), 1u)
            << o.err;
    }
}

// Text, and a binary grid of another program under a tile's name (56 bytes
// that announce 8000 x 2000 heights, which GDAL would read as zeros).
TEST(Bathy, UnreadableTilesAreLeftOutAndNamedTheOthersMerged) {
    TempDir dir;
    const std::string good = writeGrid(dir.path, "good.asc", ascGrid(2, 1, 0, 0, "-99999", {"1 2"}));
    const std::string text = writeGrid(dir.path, "notes.asc", "bonjour\n");
    std::string binary = std::string("DSBB") + '\x40' + '\x1f' + '\xd0' + '\x07';
    for (double v : {0.0, 8000.0, 0.0, 2000.0, 0.0, 1.0}) binary.append(reinterpret_cast<const char*>(&v), sizeof v);
    const std::string other = writeGrid(dir.path, "LITTO3D_FRA_0934_6315_MNT1M_RGF93LA93_IGN69.asc", binary);
    for (const std::string& bad : {text, other}) {
        SCOPED_TRACE(bad);
        Captured o;
        std::unique_ptr<Bathy> bathy = open({bad, good}, &o);
        ASSERT_TRUE(bathy->isOpen()) << o.err;
        EXPECT_EQ(bathy->width(), 2);
        EXPECT_EQ(o.out, "1 dalle(s) fusionnée(s) en un seul raster.\n");
        // One line of ours names the file; GDAL may add its own.
        EXPECT_EQ(countOf(o.err, "Fichier illisible ou qui n'est pas une grille d'altitudes : " + bad + "\n"), 1u)
            << o.err;
        EXPECT_EQ(countOf(o.err, "Erreur lors de la fusion"), 0u) << o.err;
    }
    // Alone it leaves nothing to merge.
    Captured o;
    EXPECT_FALSE(open({text}, &o)->isOpen());
    EXPECT_EQ(countOf(o.err, "Erreur lors de la fusion des 1 dalle(s).\n"), 1u) << o.err;
}


// Fewer values than announced: no terrain of zeros; the declared no-data value (not the default) taken.
TEST(Bathy, ShortDataIsAReadErrorNotATerrain) {
    TempDir dir;
    std::unique_ptr<Bathy> bathy = open({writeGrid(dir.path, "few.asc", ascGrid(3, 3, 0, 0, "-9999", {"1 2 3", "4 5"}))});
    ASSERT_TRUE(bathy->isOpen());
    std::vector<float> z{1};
    Captured o = captureStreams([&] { z = bathy->readElevations(); });
    EXPECT_TRUE(z.empty());
    EXPECT_EQ(o.out, "NODATA détecté : -9999\n");
    EXPECT_TRUE(bathy->hasNoDataValue());
    EXPECT_EQ(bathy->noDataValue(), -9999.0f);
    EXPECT_EQ(countOf(o.err, "Erreur de lecture des altitudes : une dalle est tronquée ou illisible.\n"), 1u)
        << o.err;
}
