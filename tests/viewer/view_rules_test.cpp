// The view's rules that need no window: the main menu's items and states, which windows hide the marker list,
// highlighted buttons, label placement and the minimap's camera.
#include "viewer/account_page.h"
#include "viewer/main_menu_model.h"
#include "viewer/overlay_geometry.h"
#include "viewer/core/picking.h"
#include "viewer/view_rules.h"

#include <cstdlib>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace {

const MenuEntry& entry(const std::vector<Menu>& menus, const std::string& label) {
    for (const Menu& m : menus)
        for (const MenuEntry& e : m.entries)
            if (e.label == label) return e;
    static const MenuEntry missing{MenuEntry::Item, "(absent)", "", false, false, MenuAction::None};
    ADD_FAILURE() << "no menu item " << label;
    return missing;
}

} // namespace

TEST(MainMenu, MarkerItemsNeedMarkersChecksFollowTheSwitchesVersionComesLast) {
    MenuSwitches none;
    none.minimapVisible = false;
    none.legendVisible = false;
    std::vector<Menu> menus = mainMenuModel(none, "Abysto 3D 1.0.2");
    ASSERT_EQ(menus.size(), 4u);
    EXPECT_EQ(menus[3].entries.back().kind, MenuEntry::DisabledText);  // the version, last under "Aide"
    EXPECT_EQ(menus[3].entries.back().label, "Abysto 3D 1.0.2");
    EXPECT_FALSE(entry(menus, "Export marqueurs (GPX)").enabled);
    EXPECT_FALSE(entry(menus, "Export marqueurs (CSV)").enabled);
    EXPECT_FALSE(entry(menus, "Supprimer tous les marqueurs").enabled);
    EXPECT_TRUE(entry(menus, "Export screenshot (PNG)").enabled);
    for (const Menu& m : menus)
        for (const MenuEntry& e : m.entries) EXPECT_FALSE(e.checked) << e.label;

    MenuSwitches all{true, true, true, true, true, true, true, true, true, true};
    menus = mainMenuModel(all, "");
    EXPECT_TRUE(entry(menus, "Export marqueurs (GPX)").enabled);
    EXPECT_TRUE(entry(menus, "Supprimer tous les marqueurs").enabled);
    for (const char* checked : {"Marée", "Timelapse marée", "Calendrier des marées", "Parcours", "Texture satellite",
                                "Minimap", "Exagération verticale", "Légende", "Raccourcis clavier"})
        EXPECT_TRUE(entry(menus, checked).checked) << checked;
}

TEST(ViewRules, MarkerListHidesBehindAnyOtherWindow) {
    EXPECT_TRUE(markerListShown({}, 1));
    EXPECT_FALSE(markerListShown({}, 0));
    const auto only = [](bool OpenWindows::*field) {
        OpenWindows open;
        open.*field = true;
        return open;
    };
    for (bool OpenWindows::*field : {&OpenWindows::tidePanel, &OpenWindows::help, &OpenWindows::exaggeration,
                                     &OpenWindows::settings, &OpenWindows::routePanel, &OpenWindows::tideCalendar,
                                     &OpenWindows::popup})
        EXPECT_FALSE(markerListShown(only(field), 3));
}

TEST(ViewRules, HighlightedButtons) {
    EXPECT_TRUE(exaggerationButtonHighlighted(3, 2.6f));
    EXPECT_FALSE(exaggerationButtonHighlighted(2, 2.6f));

    int highlighted = 0;
    for (const WindowSizeChoice& c : kWindowSizeChoices) highlighted += windowSizeHighlighted(c, 1600, 900);
    EXPECT_EQ(highlighted, 1);
    EXPECT_TRUE(windowSizeHighlighted(kWindowSizeChoices[1], 1600, 900));
    // One size matching the width and another the height: neither is the window's.
    for (const WindowSizeChoice& c : kWindowSizeChoices) EXPECT_FALSE(windowSizeHighlighted(c, 1600, 1080));
}

TEST(ViewRules, AccountPageCanBeRedirected) {
    unsetenv("ABYSTO_ACCOUNT_URL");
    EXPECT_EQ(accountDashboardUrl(), kAccountDashboardUrl);
    setenv("ABYSTO_ACCOUNT_URL", "", 1);
    EXPECT_EQ(accountDashboardUrl(), kAccountDashboardUrl);
    setenv("ABYSTO_ACCOUNT_URL", "http://127.0.0.1:9/compte", 1);
    EXPECT_EQ(accountDashboardUrl(), "http://127.0.0.1:9/compte");
    unsetenv("ABYSTO_ACCOUNT_URL");
}

TEST(MarkerLabels, PlacedBesideTheFootOrNotAtAll) {
    Camera c;
    c.target = {100, 0, 100};
    c.distance = 300;
    c.aspect = 800.0f / 600.0f;
    const glm::mat4 vp = c.projection() * c.view();
    // The target itself is the middle of the screen: the label starts 8 px right, 16 px up.
    const auto mid = markerLabelPosition(vp, DepthMarker{100, 100, 0}, 1.0f, 800, 600);
    ASSERT_TRUE(mid.has_value());
    EXPECT_NEAR(mid->x, 408.0f, 0.01f);
    EXPECT_NEAR(mid->y, 284.0f, 0.01f);
    // Its height follows the exaggeration: a foot below the target shows lower.
    const auto lower = markerLabelPosition(vp, DepthMarker{100, 100, -10}, 2.0f, 800, 600);
    ASSERT_TRUE(lower.has_value());
    EXPECT_GT(lower->y, mid->y);
    // Behind the eye, or past the far plane: no label.
    const glm::vec3 behind = c.eye() + c.towardEye() * 50.0f;
    EXPECT_FALSE(markerLabelPosition(vp, DepthMarker{behind.x, behind.z, behind.y}, 1.0f, 800, 600));
    const glm::vec3 far = c.target - c.towardEye() * 300000.0f;
    EXPECT_FALSE(markerLabelPosition(vp, DepthMarker{far.x, far.z, far.y}, 1.0f, 800, 600));

    EXPECT_EQ(markerPinPositions({{1, 2, -3}}, 2.0f), std::vector<glm::vec3>{glm::vec3(1, -6, 2)});
}

TEST(Minimap, TopDownCameraKeepsNorthUp) {
    const MinimapCamera m = minimapCamera({500, 0, -500}, -30, 50, 1000);
    EXPECT_EQ(m.centre, glm::vec3(500, 10, -500));
    const auto ndc = [&](glm::vec3 p) {
        const glm::vec4 c = m.projection * m.view * glm::vec4(p, 1);
        return glm::vec3(c) / c.w;
    };
    EXPECT_NEAR(ndc(m.centre).x, 0, 1e-5);
    EXPECT_NEAR(ndc(m.centre).y, 0, 1e-5);
    // North is -z and shows at the top; east is +x and shows at the right.
    EXPECT_GT(ndc({500, 10, -600}).y, 0.0f);
    EXPECT_GT(ndc({600, 10, -500}).x, 0.0f);
    // 0.55 diagonals from the centre is the square's edge.
    EXPECT_NEAR(ndc({1050, 10, -500}).x, 1.0f, 1e-5);
    // Terrain far below and far above the middle height both stay inside the depth range.
    EXPECT_LT(std::abs(ndc({500, -5000, -500}).z), 1.0f);
    EXPECT_LT(std::abs(ndc({500, 900, -500}).z), 1.0f);
}
