// The route toolbar and the route window in a UI context without a screen.
#include "routes/route_input.h"
#include "routes/route_ui.h"
#include "test_terrain.h"
#include "tests/support/headless_ui.h"

#include <gtest/gtest.h>

namespace {

// An editor on a flat sea bed at -4 m, its route window open.
struct RouteUiTest : testing::Test {
    TestTerrain terrain = makeTerrain(200, 200, [](int, int) { return -4.0f; });
    RouteEditor editor;
    RoutePanelState panel;
    std::vector<WaterLevelSample> tide;
    RouteRequests requests;
    HeadlessUi ui;

    void SetUp() override {
        editor.setTerrain(terrain.grid(), makeGeoreference(150000, 6800000, 48.4, -4.5));
        panel.routePanelOpen = true;
        ui.draw = [this] {
            drawRouteToolbar(editor, panel);
            const RouteRequests r = drawRoutePanel(panel, editor, tide, -3.0f, 0.0f);
            requests.exportRequested |= r.exportRequested;
            requests.importRequested |= r.importRequested;
        };
    }
    // An item of route line `index` in the route list (its identifiers are scoped by the index).
    static ImGuiID listId(int index, const char* label) {
        return ImHashStr(label, 0, ImHashData(&index, sizeof index, HeadlessUi::window("Parcours")->ID));
    }
    // Finds the item in the window and clicks it; false when it is not there.
    bool click(ImGuiID id, const char* window = "Parcours") {
        const std::optional<ImVec2> at = ui.find(window, id);
        if (at) ui.click(*at);
        return at.has_value();
    }
    bool click(const char* label, const char* window = "Parcours") {
        return HeadlessUi::window(window) && click(HeadlessUi::id(window, label), window);
    }
};

} // namespace

TEST_F(RouteUiTest, ClosedWindowDrawsNothingAndItsCloseBoxClosesIt) {
    panel.routePanelOpen = false;
    ui.frame();
    EXPECT_EQ(HeadlessUi::window("Parcours"), nullptr);

    panel.routePanelOpen = true;
    ui.frame();
    ASSERT_TRUE(click("#CLOSE"));
    EXPECT_FALSE(panel.routePanelOpen);
}

TEST_F(RouteUiTest, ImportAlwaysExportOnlyWithRoutes) {
    ui.frame();
    ASSERT_TRUE(click("Exporter en GPX"));
    EXPECT_FALSE(requests.exportRequested);
    ASSERT_TRUE(click("Importer un GPX"));
    EXPECT_TRUE(requests.importRequested);

    addRoute(editor, "A", {{10, 10}, {50, 10}});
    requests = {};
    ui.frame();
    const std::optional<ImVec2> exportButton = ui.find("Parcours", "Exporter en GPX");
    const std::optional<ImVec2> importButton = ui.find("Parcours", "Importer un GPX");
    ASSERT_TRUE(exportButton && importButton);
    EXPECT_EQ(exportButton->y, importButton->y);  // side by side
    EXPECT_GT(exportButton->x, importButton->x + 150.0f);
    ui.click(*exportButton);
    EXPECT_TRUE(requests.exportRequested);
    EXPECT_FALSE(requests.importRequested);
}

TEST_F(RouteUiTest, ListLinesSelectAndDeleteRoutes) {
    addRoute(editor, "A", {{10, 10}, {50, 10}});
    addRoute(editor, "B", {{10, 20}, {50, 20}, {50, 60}});
    editor.selectRoute(0);
    ui.frame();

    // Clicking the second line selects it and shows its profile at once.
    ASSERT_TRUE(click(listId(1, "B  (3 pts)")));
    EXPECT_EQ(editor.selectedRoute, 1);
    EXPECT_EQ(panel.profile.routeIndex, 1);
    EXPECT_NEAR(panel.profile.stats.length, 80.0f, 1e-3f);

    // "X" on the first line deletes it; the selection follows its route.
    ASSERT_TRUE(click(listId(0, "X")));
    ASSERT_EQ(editor.routes.size(), 1u);
    EXPECT_EQ(editor.routes[0].name, "B");
    EXPECT_EQ(editor.selectedRoute, 0);

    // The visibility box hides a route without deleting it.
    ASSERT_TRUE(click(listId(0, "##vis")));
    EXPECT_FALSE(editor.routes[0].visible);
    EXPECT_EQ(editor.routes.size(), 1u);
}

TEST_F(RouteUiTest, RenamingChangesTheLineAtOnceWithoutRecomputingAndLoopRecomputes) {
    addRoute(editor, "A", {{10, 10}, {50, 10}, {50, 40}});
    ui.frame();
    ASSERT_EQ(panel.profile.routeIndex, 0);  // 70 m

    ASSERT_TRUE(click("##name"));
    panel.profile.samples.clear();  // a recomputation would bring them back
    ImGui::GetIO().AddInputCharacter('z');
    ui.frame();
    EXPECT_EQ(editor.routes[0].name, "zA");  // typed where the click left the text cursor
    EXPECT_TRUE(panel.profile.samples.empty());
    EXPECT_TRUE(ui.find("Parcours", listId(0, "zA  (3 pts)")));

    ASSERT_TRUE(click("Boucle (retour au départ)"));
    EXPECT_TRUE(editor.routes[0].loop);
    EXPECT_NEAR(panel.profile.stats.length, 120.0f, 1e-3f);  // back to the start: 50 m more
}

TEST_F(RouteUiTest, ActivityPresetsSetDraughtAndSpeed) {
    addRoute(editor, "A", {{10, 10}, {50, 10}});
    ui.frame();
    ASSERT_TRUE(click("##activity"));
    // The list opens in a popup window of its own.
    ASSERT_NE(GImGui->NavWindow, nullptr);
    const std::string popup = GImGui->NavWindow->Name;
    ASSERT_TRUE(click(ImHashStr("Chasse sous-marine", 0, GImGui->NavWindow->ID), popup.c_str()));
    EXPECT_EQ(panel.settings.activity, 4);  // the preset's values are applyActivityPreset's
}

// Leaving route mode abandons the route: setInteractionMode's, checked in the editing test.
TEST_F(RouteUiTest, ToolbarSwitchesModesUnderTheMenuBar) {
    panel.routePanelOpen = false;
    ui.frame();
    ui.frame();
    const ImGuiWindow* toolbar = HeadlessUi::window("##route_toolbar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->Pos.x, 12.0f);
    EXPECT_EQ(toolbar->Pos.y, ImGui::GetFrameHeight() + 12.0f);

    const std::optional<ImVec2> routeButton = ui.find("##route_toolbar", "Parcours");
    ASSERT_TRUE(routeButton);
    ui.click(*routeButton);
    EXPECT_EQ(panel.interactionMode, kModeRoute);

    const std::optional<ImVec2> navigate = ui.find("##route_toolbar", "Naviguer");
    ASSERT_TRUE(navigate);
    EXPECT_LT(navigate->x, routeButton->x);
    ui.click(*navigate);
    EXPECT_EQ(panel.interactionMode, kModeNavigate);
}
