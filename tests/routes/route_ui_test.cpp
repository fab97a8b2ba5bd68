// The route toolbar and the route window in a UI context without a screen.
#include "routes/route_input.h"
#include "routes/route_ui.h"
#include "test_terrain.h"
#include "tests/support/headless_ui.h"

#include <gtest/gtest.h>

namespace {

// An item of route line `index` in the route list (its identifiers are scoped by the index).
ImGuiID listId(int index, const char* label) {
    const ImGuiWindow* w = ImGui::FindWindowByName("Parcours");
    return ImHashStr(label, 0, ImHashData(&index, sizeof index, w->ID));
}

// An editor on a flat sea bed at -4 m with three routes.
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
    void addRoute(const std::string& name, std::vector<std::pair<double, double>> points) {
        editor.startRoute(name);
        for (auto [x, y] : points) editor.addPoint(x, y);
        editor.finishRoute();
    }
};

} // namespace

TEST_F(RouteUiTest, ClosedWindowDrawsNothingAndItsCloseBoxClosesIt) {
    panel.routePanelOpen = false;
    ui.frame();
    EXPECT_EQ(ImGui::FindWindowByName("Parcours"), nullptr);

    panel.routePanelOpen = true;
    ui.frame();
    ui.frame();
    ImGuiWindow* window = ImGui::FindWindowByName("Parcours");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Size.x, 460.0f);
    EXPECT_EQ(window->Size.y, 720.0f);
    const std::optional<ImVec2> close = ui.find("Parcours", window->GetIDNoKeepAlive("#CLOSE"));
    ASSERT_TRUE(close);
    ui.click(*close);
    EXPECT_FALSE(panel.routePanelOpen);
}

TEST_F(RouteUiTest, ImportAlwaysExportOnlyWithRoutes) {
    ui.frame();
    const std::optional<ImVec2> disabled = ui.find("Parcours", HeadlessUi::id("Parcours", "Exporter en GPX"));
    ASSERT_TRUE(disabled);
    ui.click(*disabled);
    EXPECT_FALSE(requests.exportRequested);
    const std::optional<ImVec2> import = ui.find("Parcours", HeadlessUi::id("Parcours", "Importer un GPX"));
    ASSERT_TRUE(import);
    ui.click(*import);
    EXPECT_TRUE(requests.importRequested);
    EXPECT_FALSE(requests.exportRequested);

    addRoute("A", {{10, 10}, {50, 10}});
    requests = {};
    ui.frame();
    const std::optional<ImVec2> exportButton = ui.find("Parcours", HeadlessUi::id("Parcours", "Exporter en GPX"));
    ASSERT_TRUE(exportButton);
    const std::optional<ImVec2> importNow = ui.find("Parcours", HeadlessUi::id("Parcours", "Importer un GPX"));
    ASSERT_TRUE(importNow);
    EXPECT_EQ(exportButton->y, importNow->y);  // side by side
    EXPECT_GT(exportButton->x, importNow->x + 150.0f);
    ui.click(*exportButton);
    EXPECT_TRUE(requests.exportRequested);
    EXPECT_FALSE(requests.importRequested);
}

TEST_F(RouteUiTest, ListLinesSelectAndDeleteRoutes) {
    addRoute("A", {{10, 10}, {50, 10}});
    addRoute("B", {{10, 20}, {50, 20}, {50, 60}});
    addRoute("", {{10, 30}, {90, 30}});
    editor.selectRoute(0);
    panel.selectedPoint = 1;
    ui.frame();

    // Clicking the second line selects it and forgets the selected point.
    const std::optional<ImVec2> line = ui.find("Parcours", listId(1, "B  (3 pts)"));
    ASSERT_TRUE(line);
    panel.profile.routesDirty = false;
    ui.click(*line);
    EXPECT_EQ(editor.selectedRoute, 1);
    EXPECT_EQ(panel.selectedPoint, -1);
    // The window refreshed the profile of the newly selected route at once.
    EXPECT_EQ(panel.profile.routeIndex, 1);
    EXPECT_NEAR(panel.profile.stats.length, 80.0f, 1e-3f);
    EXPECT_FALSE(panel.profile.routesDirty);

    // "X" on the first line deletes it; the selection follows its route.
    const std::optional<ImVec2> remove = ui.find("Parcours", listId(0, "X"));
    ASSERT_TRUE(remove);
    ui.click(*remove);
    ASSERT_EQ(editor.routes.size(), 2u);
    EXPECT_EQ(editor.routes[0].name, "B");
    EXPECT_EQ(editor.selectedRoute, 0);

    // The unnamed route's line says so; its visibility box hides it without deleting it.
    EXPECT_TRUE(ui.find("Parcours", listId(1, "Sans nom  (2 pts)")));
    const std::optional<ImVec2> visible = ui.find("Parcours", listId(1, "##vis"));
    ASSERT_TRUE(visible);
    ui.click(*visible);
    EXPECT_FALSE(editor.routes[1].visible);
    EXPECT_EQ(editor.routes.size(), 2u);
}

TEST_F(RouteUiTest, RenamingChangesTheLineAtOnceWithoutRecomputingAndLoopRecomputes) {
    addRoute("A", {{10, 10}, {50, 10}, {50, 40}});
    ui.frame();
    ASSERT_EQ(panel.profile.routeIndex, 0);
    const float length = panel.profile.stats.length;
    EXPECT_NEAR(length, 70.0f, 1e-3f);

    const std::optional<ImVec2> name = ui.find("Parcours", HeadlessUi::id("Parcours", "##name"));
    ASSERT_TRUE(name);
    ui.click(*name);
    panel.profile.samples.clear();  // a recomputation would bring them back
    ImGui::GetIO().AddInputCharacter('z');
    ui.frame();
    EXPECT_EQ(editor.routes[0].name, "zA");  // typed where the click left the text cursor
    EXPECT_TRUE(panel.profile.samples.empty());
    EXPECT_TRUE(ui.find("Parcours", listId(0, "zA  (3 pts)")));

    const std::optional<ImVec2> loop = ui.find("Parcours", HeadlessUi::id("Parcours", "Boucle (retour au départ)"));
    ASSERT_TRUE(loop);
    ui.click(*loop);
    EXPECT_TRUE(editor.routes[0].loop);
    EXPECT_NEAR(panel.profile.stats.length, 120.0f, 1e-3f);  // back to the start: 50 m more
}

TEST_F(RouteUiTest, ActivityPresetsSetDraughtAndSpeed) {
    addRoute("A", {{10, 10}, {50, 10}});
    ui.frame();
    const std::optional<ImVec2> combo = ui.find("Parcours", HeadlessUi::id("Parcours", "##activity"));
    ASSERT_TRUE(combo);
    ui.click(*combo);
    // The list opens in a popup window of its own.
    const ImGuiWindow* popup = GImGui->NavWindow;
    ASSERT_NE(popup, nullptr);
    const std::string popupName = popup->Name;
    const ImGuiID id = ImHashStr("Chasse sous-marine", 0, popup->ID);
    const std::optional<ImVec2> choice = ui.find(popupName.c_str(), id);
    ASSERT_TRUE(choice);
    panel.settings.margin = 1.25f;
    ui.click(*choice);
    EXPECT_EQ(panel.settings.activity, 4);
    EXPECT_FLOAT_EQ(panel.settings.margin, 1.25f);  // the preset's values, as applyActivityPreset gives them
}

TEST_F(RouteUiTest, ToolbarSwitchesModesUnderTheMenuBarAndLeavingRouteModeAbandonsTheRoute) {
    panel.routePanelOpen = false;
    ui.frame();
    ui.frame();
    const ImGuiWindow* toolbar = ImGui::FindWindowByName("##route_toolbar");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(toolbar->Pos.x, 12.0f);
    EXPECT_EQ(toolbar->Pos.y, ImGui::GetFrameHeight() + 12.0f);

    const std::optional<ImVec2> routeButton = ui.find("##route_toolbar", HeadlessUi::id("##route_toolbar", "Parcours"));
    ASSERT_TRUE(routeButton);
    ui.click(*routeButton);
    EXPECT_EQ(panel.interactionMode, kModeRoute);
    onRouteClickAt(editor, panel, true, 10, 10);
    ASSERT_TRUE(editor.drawing);

    const std::optional<ImVec2> navigate = ui.find("##route_toolbar", HeadlessUi::id("##route_toolbar", "Naviguer"));
    ASSERT_TRUE(navigate);
    EXPECT_LT(navigate->x, routeButton->x);
    ui.click(*navigate);
    EXPECT_EQ(panel.interactionMode, kModeNavigate);
    EXPECT_FALSE(editor.drawing);
    EXPECT_TRUE(editor.routes.empty());
}
