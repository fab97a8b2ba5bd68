#include "routes/gpx_dialogs.h"
#include "routes/gpx_error.h"
#include "routes/gpx_export.h"
#include "routes/gpx_import.h"
#include "terrain/bathy.h"
#include "test_terrain.h"
#include "tests/support/log_capture.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

namespace {

const std::string kGpxDir = std::string(ABYSTO_SHARED_DATA) + "/gpx/";

// A 200 x 200 terrain west of Brest, sloping down eastwards (z = -x / 20).
struct GpxFixture : ::testing::Test {
    TempDir dir;
    TestTerrain terrain = makeTerrain(200, 200, [](int col, int) { return -col / 20.0f; });
    Georeference geo = makeGeoreference(140000, 6840000, 48.35, -4.6);
    RouteEditor editor;
    RoutePanelState panel;
    void SetUp() override { editor.setTerrain(terrain.grid(), geo); }
};

// The track names and track points GDAL's GPX driver reads from a file.
struct OgrTrack {
    std::string name;
    std::vector<std::pair<double, double>> lonLat;
    std::vector<bool> hasEle;
};

std::vector<OgrTrack> readWithGdal(const std::string& path) {
    GDALAllRegister();
    const GDALDatasetUniquePtr gpx(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    std::vector<OgrTrack> tracks;
    if (!gpx) return tracks;
    for (const auto& track : gpx->GetLayerByName("tracks"))
        tracks.push_back({track->GetFieldAsString("name"), {}, {}});
    for (const auto& point : gpx->GetLayerByName("track_points")) {
        OgrTrack& track = tracks.at(static_cast<size_t>(point->GetFieldAsInteger("track_fid")));
        const OGRPoint* at = point->GetGeometryRef()->toPoint();
        track.lonLat.push_back({at->getX(), at->getY()});
        track.hasEle.push_back(point->IsFieldSetAndNotNull(point->GetFieldIndex("ele")));
    }
    return tracks;
}

} // namespace

TEST(GpxText, EscapingAndAttributes) {
    EXPECT_EQ(xmlEscape("a&b<c>d\"e'f é"), "a&amp;b&lt;c&gt;d&quot;e&apos;f é");

    EXPECT_EQ(readAttribute("<trkpt lon='-4.25' LAT='48.5'", "lat"), 48.5);  // either quote, any order and case
    EXPECT_EQ(readAttribute("<rtept lat = \" +4.5e1xyz\"", "lat"), 45.0);    // spaces, sign, trailing text
    EXPECT_EQ(readAttribute("<trkpt lat=\"undefined\" lon=\"x\"", "lat"), std::nullopt);
    EXPECT_EQ(readAttribute("<trkpt lat=\"48.5", "lat"), std::nullopt);      // unclosed
    EXPECT_EQ(readAttribute("<trkpt lon=\"1\"", "lat"), std::nullopt);
    EXPECT_EQ(readAttribute("<trkpt lat=48.5", "lat"), std::nullopt);        // unquoted
    EXPECT_EQ(readAttribute("<trkpt lat=\"nan\"", "lat"), std::nullopt);
    // Whole names only: "platform" is not "lat".
    EXPECT_EQ(readAttribute("<trkpt platform=\"7\" lat=\"1.5\"", "lat"), 1.5);
    // The name inside another attribute's value, not followed by "=": the real one further on.
    EXPECT_EQ(readAttribute("<trkpt desc=\"au lat\" lat=\"1.5\"", "lat"), 1.5);
}

TEST_F(GpxFixture, ExportIsReadBackByGdalAndWellFormed) {
    Route loop = makeRoute({{10, 10}, {60, 10}, {60, 60}}, true);
    loop.name = "Chenal <nord> & \"sud\"";
    for (RoutePoint& p : loop.points) p.hasZ = sampleHeight(terrain.grid(), p.x, p.y, p.z);
    Route open = makeRoute({{100, 100}, {150.5, 120.25}, {400, 400}});
    open.visible = false;  // hidden routes are exported too
    open.points[0].hasZ = sampleHeight(terrain.grid(), 100, 100, open.points[0].z);
    Route single = makeRoute({{5, 5}});
    editor.routes = {loop, single, open};

    const std::string path = (dir / "parcours.gpx").string();
    const Captured exported =
        captureStreams([&] { EXPECT_TRUE(exportGpx(path, editor.routes, geo, "Abysto 3D 1.0.2")) << lastGpxError(); });
    ASSERT_EQ(exported.out, "Export GPX termine : " + path + " (2 parcours)\n");

    const std::string text = readFile(path);
    const std::string head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<gpx version=\"1.1\" creator=\"Abysto 3D 1.0.2\"\r\n"
                             "     xmlns=\"http://www.topografix.com/GPX/1/1\">\r\n";
    EXPECT_EQ(text.rfind(head, 0), 0u);
    EXPECT_NE(text.find("<name>Chenal &lt;nord&gt; &amp; &quot;sud&quot;</name>\r\n"), std::string::npos);
    EXPECT_NE(text.find("        <ele>-0.50</ele>\r\n"), std::string::npos);  // z at column 10
    EXPECT_EQ(text.substr(text.size() - 8), "</gpx>\r\n");
    EXPECT_EQ(countOf(text, "\n"), countOf(text, "\r\n"));  // no bare line feed
    const ProcessResult lint = runProcess("/usr/bin/xmllint", {"--noout", path});
    EXPECT_EQ(lint.exitCode, 0) << lint.output;

    const std::vector<OgrTrack> tracks = readWithGdal(path);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[1].name, "Parcours");
    ASSERT_EQ(tracks[0].lonLat.size(), 4u);  // the loop of 3 closes on its first point
    EXPECT_EQ(tracks[0].lonLat[3], tracks[0].lonLat[0]);
    ASSERT_EQ(tracks[1].lonLat.size(), 3u);
    EXPECT_EQ(tracks[1].hasEle, (std::vector<bool>{true, false, false}));
    const std::vector<const Route*> written = {&loop, &open};
    for (size_t t = 0; t < 2; ++t)
        for (size_t i = 0; i < written[t]->points.size(); ++i) {
            const RoutePoint& p = written[t]->points[i];
            GeoPoint expected;
            ASSERT_TRUE(lambert93ToWgs84(geo.originX + p.x, geo.originY - p.y, expected));
            EXPECT_NEAR(tracks[t].lonLat[i].first, expected.lon, 1e-8);
            EXPECT_NEAR(tracks[t].lonLat[i].second, expected.lat, 1e-8);
        }

    // Our own import reads the export back at the same grid positions.
    RouteEditor back;
    int outside = -1;
    captureStreams([&] { EXPECT_TRUE(importGpx(path, geo, terrain.grid(), back, outside)) << lastGpxError(); });
    ASSERT_EQ(back.routes.size(), 2u);
    ASSERT_EQ(back.routes[0].points.size(), 4u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(back.routes[0].points[i].x, loop.points[i].x, 1e-3);
        EXPECT_NEAR(back.routes[0].points[i].y, loop.points[i].y, 1e-3);
    }
}

TEST_F(GpxFixture, ExportFailuresLeaveTheChosenFileAlone) {
    const std::string path = (dir / "a.gpx").string(), unwritable = (dir / "missing" / "b.gpx").string();
    editor.routes = {makeRoute({{1, 1}, {2, 2}})};
    writeFile(path, "earlier content");
    const struct { std::string path; std::vector<Route> routes; Georeference geo; std::string error; } rows[] = {
        {path, editor.routes, Georeference{}, "Georeferencement absent : impossible de convertir en WGS84."},
        {path, {}, geo, "Aucun parcours a exporter."},
        {path, {makeRoute({{1, 1}}), Route{}}, geo, "Aucun parcours ne comporte au moins deux points."},
        {unwritable, editor.routes, geo, "Impossible d'ouvrir " + unwritable + " en ecriture."},
    };
    for (const auto& row : rows) {
        captureStreams([&] { EXPECT_FALSE(exportGpx(row.path, row.routes, row.geo, "Abysto 3D 1.0.2")); });
        EXPECT_EQ(lastGpxError(), row.error);
    }
    EXPECT_EQ(readFile(path), "earlier content");

    // Through the window's hook: the status line says what happened.
    captureStreams([&] { exportRoutesTo(unwritable, editor, panel, "Abysto 3D 1.0.2"); });
    EXPECT_TRUE(panel.statusIsError);
    EXPECT_EQ(panel.statusText, lastGpxError());
    captureStreams([&] { exportRoutesTo(path, editor, panel, "Abysto 3D 1.0.2"); });
    EXPECT_FALSE(panel.statusIsError);
    EXPECT_EQ(panel.statusText, "Parcours exportés.");
    EXPECT_EQ(lastGpxError(), "");
}

TEST_F(GpxFixture, ImportFailuresLeaveTheRoutesAlone) {
    editor.routes = {makeRoute({{1, 1}, {2, 2}})};
    const std::string path = (dir / "x.gpx").string(), none = (dir / "none.gpx").string();
    // A single usable point makes no route.
    writeFile(path, "<gpx><trk><trkseg><trkpt lat=\"48.35\" lon=\"-4.6\"/></trkseg></trk>"
                    "<wpt lat=\"48.3\" lon=\"-4.5\"/></gpx>");
    writeFile(dir / "empty.gpx", "");
    const struct { std::string path; Georeference geo; std::string error; } rows[] = {
        {path, Georeference{}, "Georeferencement absent : chargez une zone avant d'importer."},
        {none, geo, "Impossible d'ouvrir " + none + "."},
        {dir.str(), geo, "Impossible d'ouvrir " + dir.str() + "."},  // a folder
        {(dir / "empty.gpx").string(), geo, "Fichier vide."},
        {path, geo, "Aucune trace exploitable trouvee dans le fichier."},
    };
    for (const auto& row : rows) {
        int outside = -1;
        EXPECT_FALSE(importGpx(row.path, row.geo, terrain.grid(), editor, outside));
        EXPECT_EQ(lastGpxError(), row.error);
    }
    EXPECT_EQ(editor.routes.size(), 1u);

    editor.selectRoute(0);
    panel.selectedPoint = 1;
    importRoutesFrom(path, editor, panel);
    EXPECT_TRUE(panel.statusIsError);
    EXPECT_EQ(panel.statusText, "Aucune trace exploitable trouvee dans le fichier.");
    EXPECT_EQ(editor.selectedRoute, 0);
    EXPECT_EQ(panel.selectedPoint, 1);
}

TEST_F(GpxFixture, HandWrittenDialects) {
    // Grid positions (20, 30) and (120, 80) of the test terrain, in WGS84.
    GeoPoint a, b;
    ASSERT_TRUE(lambert93ToWgs84(geo.originX + 20, geo.originY - 30, a));
    ASSERT_TRUE(lambert93ToWgs84(geo.originX + 120, geo.originY - 80, b));
    char pts[512];
    // Upper case tags, lon first between apostrophes, attributes on the next line, an ignored <ele>.
    std::snprintf(pts, sizeof pts,
                  "<TRKPT lon='%.9f' lat='%.9f'><ele>999</ele></TRKPT>\r\n"
                  "<trkpt\r\n  lat=\"%.9f\"\r\n  lon=\"%.9f\"/>\r\n",
                  a.lon, a.lat, b.lat, b.lon);
    const std::string path = (dir / "d.gpx").string();
    writeFile(path, std::string("\xEF\xBB\xBF<?xml version='1.0'?><gpx><Trk>\r\n<Name>Côte d'Émeraude</NAME>\r\n") +
                        pts + "</TRK>\r\n<rte><rtept lat=\"1\" lon=\"2\"/><rtept lat=\"3\" lon=\"4\"/></rte></gpx>");
    editor.routes = {makeRoute({{1, 1}, {2, 2}})};
    panel.selectedPoint = 1;
    panel.profile.routesDirty = false;
    captureStreams([&] { importRoutesFrom(path, editor, panel); });
    ASSERT_EQ(editor.routes.size(), 2u);  // the track only: it wins over the route
    const Route& r = editor.routes[1];
    EXPECT_EQ(r.name, "Côte d'Émeraude");
    ASSERT_EQ(r.points.size(), 2u);
    EXPECT_NEAR(r.points[0].x, 20, 1e-3);
    EXPECT_NEAR(r.points[0].y, 30, 1e-3);
    EXPECT_NEAR(r.points[0].z, -1.0f, 1e-4);  // from the terrain, not the file's 999
    EXPECT_NEAR(r.points[1].x, 120, 1e-3);
    EXPECT_NEAR(r.points[1].y, 80, 1e-3);
    EXPECT_EQ(editor.selectedRoute, 1);
    EXPECT_EQ(panel.selectedPoint, -1);
    EXPECT_TRUE(panel.profile.routesDirty);
    EXPECT_FALSE(panel.statusIsError);
    EXPECT_EQ(panel.statusText, "Import terminé.");

    // Only a route, all outside the terrain: imported without heights, which the status says.
    writeFile(path, "<gpx><rte><rtept lat=\"1\" lon=\"2\"/><rtept lat=\"3\" lon=\"4\"/></rte></gpx>");
    EXPECT_EQ(captureStreams([&] { importRoutesFrom(path, editor, panel); }).out,
              "Import GPX : 1 parcours, 2 point(s) hors de la zone chargee.\n");
    ASSERT_EQ(editor.routes.size(), 3u);
    EXPECT_FALSE(editor.routes[2].points[0].hasZ);
    EXPECT_EQ(editor.routes[2].points[0].z, 0.0f);
    EXPECT_EQ(panel.statusText, "2 point(s) hors de la zone chargée.");
    EXPECT_FALSE(panel.statusIsError);
    EXPECT_EQ(editor.selectedRoute, 2);
}

// GPX files written by many programs: tracks win over routes, a track or
// route needs 2 usable points, at most 500 points are kept, a name belongs to
// the element when it comes before its first point.
TEST_F(GpxFixture, RealFilesFromManyProgramsImportOrFailCleanly) {
    const struct {
        const char* file;
        int routes;             // 0: the import fails
        const char* firstName;  // as written in the file
        int firstPoints;
        int totalPoints;
    } rows[] = {
        {"georust__caltopo-export.gpx", 2, "Day 01", 3, 6},
        {"georust__ecology-trail-and-lovers-lane-loop.gpx", 1, "Trail Planner Map on AllTrails", 139, 139},
        {"georust__outdooractive-export.gpx", 1, "Kilimanjaro - Machame Route", 9, 9},
        {"georust__viking_with_route_extensions.gpx", 1, "Trace", 5, 5},  // its route has no point
        {"georust__wahoo_example.gpx", 1, "04/24/22", 3, 3},
        {"gpsbabel__basecamp.gpx", 1, "Hwy 119 to Hwy 72", 2, 2},  // BOM, CRLF; the track, not the route
        {"gpsbabel__expertgps.gpx", 1, "Parcours importe", 64, 64},  // ISO-8859-1; unnamed track wins
        {"gpsbabel__holux.gpx", 1, "MLTRNG to HWYB26", 10, 10},
        {"gpsbabel__unknowntag.gpx", 0, "", 0, 0},  // a route of one point
        {"gpxgo__gpx-without-xml-declaration.gpx", 0, "", 0, 0},  // a track of one point
        {"gpxgo__iso8859-1encoded.gpx", 0, "", 0, 0},  // waypoints only
        {"gpxpy__gpx1.0_with_all_fields.gpx", 2, "example name", 3, 5},  // its track has one point
        {"gpxpy__gpx1.1_with_all_fields.gpx", 2, "example name", 3, 5},
        {"gpxpy__route.gpx", 1, "Parcours importe", 55, 55},  // "#001" names the first point only
        {"gpxpy__unicode_with_bom.gpx", 0, "", 0, 0},  // one waypoint
        {"nts__20160617-La-Hermida-to-Bejes.gpx", 1, "La Hermida to Bejes", 500, 500},  // 705 in the file
        {"nts__github-issue18-regression.gpx", 2, "name1", 2, 4},  // single-quoted attributes
        {"togeojson__apple_watch_route.gpx", 1, "Route 2019-12-15 3:50pm", 44, 44},
        {"togeojson__bad.gpx", 0, "", 0, 0},  // lat="undefined"
        {"togeojson__blue_hills.gpx", 3, "<![CDATA[BIG LOOP]]>", 309, 1243},
        {"togeojson__empty_trk.gpx", 0, "", 0, 0},
        {"togeojson__garmin_extensions.gpx", 1, "track name", 4, 4},  // two segments, one route
        {"togeojson__gdal.gpx", 1, "track name", 4, 4},
        {"togeojson__multitrackgpx.gpx", 3, "Tag 1", 38, 117},
        {"togeojson__opencpn.gpx", 1, "Around Orcas", 16, 16},
        {"togeojson__osm.gpx", 3, "dc.zip", 60, 420},
        {"togeojson__strava.gpx", 1, "120' moderate and hard", 3, 3},
        {"togeojson__trek.gpx", 1, "Parcours importe", 120, 120},
        {"togeojson__wpt.gpx", 0, "", 0, 0},
        {"togeojson__zero_elevation.gpx", 1, "<![CDATA[BIG LOOP]]>", 3, 3},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        RouteEditor ed;
        int outside = -1;
        bool ok = false;
        captureStreams([&] { ok = importGpx(kGpxDir + row.file, geo, terrain.grid(), ed, outside); });
        if (row.routes == 0) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(lastGpxError(), "Aucune trace exploitable trouvee dans le fichier.");
            EXPECT_TRUE(ed.routes.empty());
            continue;
        }
        ASSERT_TRUE(ok) << lastGpxError();
        ASSERT_EQ(static_cast<int>(ed.routes.size()), row.routes);
        EXPECT_EQ(ed.routes[0].name, row.firstName);
        EXPECT_EQ(static_cast<int>(ed.routes[0].points.size()), row.firstPoints);
        int total = 0;
        for (const Route& r : ed.routes) total += static_cast<int>(r.points.size());
        EXPECT_EQ(total, row.totalPoints);
        EXPECT_EQ(outside, row.totalPoints);  // all far from the test terrain
    }
}
