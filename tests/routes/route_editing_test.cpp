#include "routes/route_editor.h"
#include "routes/route_input.h"
#include "routes/route_panel_state.h"
#include "test_terrain.h"
#include "tests/support/log_capture.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

namespace {

// An editor on a 100 x 100 terrain sloping down eastwards (z = -x / 10).
struct EditorFixture : ::testing::Test {
    TestTerrain terrain = makeTerrain(100, 100, [](int col, int) { return -col / 10.0f; });
    RouteEditor editor;
    RoutePanelState panel;
    void SetUp() override {
        editor.setTerrain(terrain.grid(), makeGeoreference(150000, 6800000, 48.0, -4.5));
        panel.interactionMode = kModeRoute;
    }
    RouteClickResult click(double x, double y) { return onRouteClickAt(editor, panel, true, x, y); }
    RouteKeyResult key(int code, bool ctrl = false) { return onRouteKey(editor, panel, code, ctrl); }
    void drawRoute(std::vector<std::pair<double, double>> pts) {
        for (auto [x, y] : pts) click(x, y);
        ASSERT_EQ(key(GLFW_KEY_ENTER), RouteKeyResult::Finished);
    }
};

} // namespace

TEST(RouteHeights, BilinearInsideAndNothingNextToInvalidPoints) {
    TestTerrain t = makeTerrain(4, 3, [](int col, int row) { return static_cast<float>(col + 10 * row); });
    float z = 0;
    ASSERT_TRUE(sampleHeight(t.grid(), 1.25, 0.5, z));
    EXPECT_FLOAT_EQ(z, 6.25f);
    ASSERT_TRUE(sampleHeight(t.grid(), 3.0, 2.0, z));  // the last column and row themselves
    EXPECT_FLOAT_EQ(z, 23.0f);
    EXPECT_FALSE(sampleHeight(t.grid(), 3.01, 1.0, z));
    EXPECT_FALSE(sampleHeight(t.grid(), -0.01, 1.0, z));

    t.points[1 * 4 + 2].valid = false;  // column 2, row 1
    EXPECT_FALSE(sampleHeight(t.grid(), 1.5, 0.5, z));
    EXPECT_FALSE(sampleHeight(t.grid(), 2.0, 1.0, z));
    EXPECT_TRUE(sampleHeight(t.grid(), 0.5, 0.5, z));

    HeightGrid tooShort{&t.points, 4, 4};  // 12 points for 16
    EXPECT_FALSE(sampleHeight(tooShort, 0.5, 0.5, z));
    EXPECT_FALSE(sampleHeight(HeightGrid{}, 0.5, 0.5, z));
}

TEST(RouteGeoreference, LambertBothWaysConvergenceAndFlag) {
    Georeference geo = makeGeoreference(150000, 6800000, 48.0, -4.5);
    EXPECT_TRUE(geo.georeferenced);
    EXPECT_NEAR(geo.convergence, -5.5736, 1e-4);  // sin(48 deg) * (-4.5 - 3)
    double X = 0, Y = 0, x = 0, y = 0;
    ASSERT_TRUE(gridToLambert(geo, 10.5, 20.0, X, Y));
    EXPECT_DOUBLE_EQ(X, 150010.5);
    EXPECT_DOUBLE_EQ(Y, 6799980.0);  // rows grow southwards
    ASSERT_TRUE(lambertToGrid(geo, X, Y, x, y));
    EXPECT_DOUBLE_EQ(x, 10.5);
    EXPECT_DOUBLE_EQ(y, 20.0);

    Georeference none = makeGeoreference(0, 0, 48.0, 3.0);
    EXPECT_FALSE(none.georeferenced);
    EXPECT_FALSE(gridToLambert(none, 1, 1, X, Y));
    EXPECT_FALSE(lambertToGrid(none, 1, 1, x, y));
    EXPECT_TRUE(makeGeoreference(0, 6800000, 48.0, 3.0).georeferenced);
}

TEST_F(EditorFixture, ClicksDrawARouteWithHeightsAndEnterKeepsIt) {
    click(10, 10);
    EXPECT_TRUE(editor.drawing);
    EXPECT_EQ(editor.inProgress.name, "Parcours 1");
    click(20, 10);
    click(150, 10);  // off the terrain: kept without height
    ASSERT_EQ(editor.inProgress.points.size(), 3u);
    EXPECT_TRUE(editor.inProgress.points[1].hasZ);
    EXPECT_FLOAT_EQ(editor.inProgress.points[1].z, -2.0f);
    EXPECT_FALSE(editor.inProgress.points[2].hasZ);
    EXPECT_EQ(editor.inProgress.points[2].z, 0.0f);

    panel.profile.routesDirty = false;
    EXPECT_EQ(key(GLFW_KEY_KP_ENTER), RouteKeyResult::Finished);
    EXPECT_FALSE(editor.drawing);
    ASSERT_EQ(editor.routes.size(), 1u);
    EXPECT_EQ(editor.selectedRoute, 0);
    EXPECT_TRUE(panel.profile.routesDirty);
    EXPECT_TRUE(editor.inProgress.points.empty());
}

TEST_F(EditorFixture, TheFiveHundredAndFirstPointIsRefused) {
    for (int i = 0; i < 500; ++i) click(i % 100, i / 100);
    ASSERT_EQ(editor.inProgress.points.size(), 500u);
    const Captured c = captureStreams([&] { EXPECT_EQ(click(50, 50), RouteClickResult::LimitReached); });
    EXPECT_EQ(c.err, "Parcours : nombre maximal de points atteint.\n");
    EXPECT_EQ(editor.inProgress.points.size(), 500u);
}

TEST_F(EditorFixture, MissedClickOnlyPrints) {
    const Captured c =
        captureStreams([&] { EXPECT_EQ(onRouteClick(editor, panel, PickResult{}), RouteClickResult::NoTerrain); });
    EXPECT_EQ(c.out, "Aucun terrain touché.\n");
    EXPECT_FALSE(editor.drawing);
    const PickResult hit{true, 12, 0, 34};  // world z is the grid row
    EXPECT_EQ(onRouteClick(editor, panel, hit), RouteClickResult::PointAdded);
    EXPECT_EQ(editor.inProgress.points[0].x, 12);
    EXPECT_EQ(editor.inProgress.points[0].y, 34);
}

TEST_F(EditorFixture, ClickNearSelectedRoutePointSelectsItAndDeleteRemovesIt) {
    drawRoute({{10, 10}, {40, 10}, {70, 10}});
    EXPECT_EQ(click(70, 12), RouteClickResult::PointSelected);
    EXPECT_EQ(panel.selectedPoint, 2);
    // 11.9 units from the first point: selects it instead of starting a route.
    EXPECT_EQ(click(10, 21.9), RouteClickResult::PointSelected);
    EXPECT_EQ(panel.selectedPoint, 0);
    EXPECT_FALSE(editor.drawing);

    panel.interactionMode = kModeNavigate;  // Delete works in any mode
    panel.profile.routesDirty = false;
    EXPECT_EQ(key(GLFW_KEY_DELETE), RouteKeyResult::PointRemoved);
    EXPECT_TRUE(panel.profile.routesDirty);
    ASSERT_EQ(editor.routes[0].points.size(), 2u);
    EXPECT_EQ(editor.routes[0].points[0].x, 40);  // the first point went
    EXPECT_EQ(panel.selectedPoint, -1);
    EXPECT_EQ(key(GLFW_KEY_DELETE), RouteKeyResult::Ignored);

    // 12.1 units away: a new route, which the selected point does not follow into.
    panel.interactionMode = kModeRoute;
    click(70, 12);
    ASSERT_EQ(panel.selectedPoint, 1);
    EXPECT_EQ(click(70, 22.1), RouteClickResult::PointAdded);
    EXPECT_TRUE(editor.drawing);
    EXPECT_EQ(editor.inProgress.name, "Parcours 2");
    EXPECT_EQ(panel.selectedPoint, -1);
}

TEST(RouteNearestPoint, WithinTheMaximumAndLastAmongEquals) {
    Route r = makeRoute({{0, 0}, {10, 0}, {20, 0}});
    EXPECT_EQ(nearestPointIndex(r, 5, 0, 12.0), 1);  // 0 and 1 both at 5: the last wins
    EXPECT_EQ(nearestPointIndex(r, 10, 12, 12.0), 1);
    EXPECT_EQ(nearestPointIndex(r, 10, 12.01, 12.0), -1);
    EXPECT_EQ(nearestPointIndex(Route{}, 0, 0, 12.0), -1);
}

TEST(RouteEditorDeletion, TheSelectionStaysOnTheSameRoute) {
    const struct { size_t routes; int selected, deleted; size_t left; int expected; } rows[] = {
        {3, 2, 0, 2, 1},   // after the removed one: follows it
        {2, 0, 1, 1, 0},   // before it: stays
        {3, 1, 1, 2, 1},   // the selected one: the next takes its place
        {2, 1, 1, 1, 0},   // the selected last one: the new last
        {1, 0, 0, 0, -1},  // the only one
        {2, 1, 2, 2, 1},   // out of range: ignored
        {2, 1, -1, 2, 1},
    };
    for (const auto& row : rows) {
        RouteEditor editor;
        editor.routes.assign(row.routes, makeRoute({{0, 0}, {1, 1}}));
        editor.selectRoute(row.selected);
        editor.deleteRoute(row.deleted);
        EXPECT_EQ(editor.selectedRoute, row.expected) << row.routes << row.selected << row.deleted;
        EXPECT_EQ(editor.routes.size(), row.left);
        EXPECT_EQ(editor.selectedRouteOrNone(), row.expected < 0 ? nullptr : &editor.routes[row.expected]);
        editor.selectRoute(static_cast<int>(editor.routes.size()));  // one past the end
        EXPECT_EQ(editor.selectedRoute, -1);
    }
}

TEST_F(EditorFixture, KeysWhileDrawing) {
    // Ctrl+Z on an empty route in progress does nothing.
    editor.startRoute("x");
    EXPECT_EQ(key(GLFW_KEY_Z, true), RouteKeyResult::Undone);
    EXPECT_TRUE(editor.inProgress.points.empty());
    EXPECT_TRUE(editor.drawing);

    click(1, 1);
    click(2, 2);
    EXPECT_EQ(key(GLFW_KEY_Z), RouteKeyResult::Ignored);  // Z alone adds nothing
    EXPECT_EQ(editor.inProgress.points.size(), 2u);
    EXPECT_EQ(key(GLFW_KEY_Z, true), RouteKeyResult::Undone);
    EXPECT_EQ(editor.inProgress.points.size(), 1u);

    // Enter with one point drops the route.
    EXPECT_EQ(key(GLFW_KEY_ENTER), RouteKeyResult::Dropped);
    EXPECT_FALSE(editor.drawing);
    EXPECT_TRUE(editor.routes.empty());

    click(1, 1);
    EXPECT_EQ(key(GLFW_KEY_ESCAPE), RouteKeyResult::Abandoned);
    EXPECT_FALSE(editor.drawing);
    EXPECT_TRUE(editor.inProgress.points.empty());
    // Not drawing: Enter and Escape are the viewer's again.
    EXPECT_EQ(key(GLFW_KEY_ESCAPE), RouteKeyResult::Ignored);
    EXPECT_EQ(key(GLFW_KEY_ENTER), RouteKeyResult::Ignored);
}

TEST_F(EditorFixture, ToolbarCountsPointsAndLeavingRouteModeAbandons) {
    EXPECT_TRUE(toolbarHintLines(editor, kModeNavigate).empty());
    click(1, 1);
    click(3, 1);
    const auto drawing = toolbarHintLines(editor, kModeRoute);
    ASSERT_EQ(drawing.size(), 3u);
    EXPECT_EQ(drawing[0].text, "Trace en cours : 2 point(s)");

    setInteractionMode(editor, panel, kModeRoute);  // staying in route mode keeps the route
    EXPECT_TRUE(editor.drawing);
    setInteractionMode(editor, panel, kModeMarker);
    EXPECT_FALSE(editor.drawing);
    EXPECT_EQ(panel.interactionMode, kModeMarker);
    setInteractionMode(editor, panel, 7);
    EXPECT_EQ(panel.interactionMode, kModeMarker);
}

TEST_F(EditorFixture, PanelListActions) {
    drawRoute({{1, 1}, {5, 5}});
    drawRoute({{50, 50}, {55, 55}, {60, 60}});
    editor.routes[0].name.clear();
    EXPECT_EQ(routeListLine(editor.routes[0]), "Sans nom  (2 pts)");
    EXPECT_EQ(routeListHeading(editor), "PARCOURS (2)");

    panel.selectedPoint = 1;
    panel.profile.routesDirty = false;
    selectRouteFromList(editor, panel, 0);
    EXPECT_EQ(editor.selectedRoute, 0);
    EXPECT_EQ(panel.selectedPoint, -1);
    EXPECT_TRUE(panel.profile.routesDirty);

    panel.profile.routesDirty = false;
    renameSelectedRoute(editor, "Chenal");
    EXPECT_EQ(editor.routes[0].name, "Chenal");
    EXPECT_FALSE(panel.profile.routesDirty);
    // 126 bytes then a two-byte character: cut before it, not in its middle.
    renameSelectedRoute(editor, std::string(126, 'a') + "\xC3\xA9" + "b");
    EXPECT_EQ(editor.routes[0].name, std::string(126, 'a'));

    setSelectedRouteLoop(editor, panel, true);
    EXPECT_TRUE(editor.routes[0].loop);
    EXPECT_TRUE(panel.profile.routesDirty);

    deleteRouteFromList(editor, panel, 0);
    EXPECT_EQ(editor.routes.size(), 1u);
    EXPECT_TRUE(canExportRoutes(editor));
    deleteRouteFromList(editor, panel, 0);
    EXPECT_FALSE(canExportRoutes(editor));
}
