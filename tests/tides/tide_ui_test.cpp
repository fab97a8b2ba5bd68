// The tide windows without a screen: what the toolkit adds to the panel model and calendar layout.
#include "tides/tide_calendar_layout.h"
#include "tides/tide_calendar_ui.h"
#include "tides/tide_level.h"
#include "tides/tide_panel_ui.h"
#include "tests/support/headless_ui.h"
#include "tests/tides/tide_service_fixture.h"

TEST(TidePanelUi, ScrubbingTheCurveThenApplyingGivesThatHoursLevel) {
    HeadlessUi ui;
    TideState state = makeTideState();  // the default offset, -3 m
    state.samples = {{1.0f, 0.0f}, {6.0f, 12.0f}, {1.0f, 24.0f}};
    state.samplesLoaded = true;
    state.selectedHour = 6.0f;
    TidePanelResult last{true, 9.0f};
    std::vector<TidePanelResult> applied;
    ui.draw = [&] {
        last = drawTidePanel(state);
        if (last.apply) applied.push_back(last);
    };
    ui.frame();  // closed: nothing drawn, nothing applied
    EXPECT_FALSE(last.apply);
    EXPECT_EQ(HeadlessUi::window("Marée"), nullptr);

    state.tidePanelOpen = true;
    ui.frame();
    // Hovering without pressing leaves the hour; the curve is as wide as it may be.
    const std::optional<ImVec2> onCurve = ui.find("Marée", "##tide_canvas", 8.0f);
    ASSERT_TRUE(onCurve);
    EXPECT_EQ(state.selectedHour, 6.0f);
    const auto [left, right] = ui.span(HeadlessUi::id("Marée", "##tide_canvas"), *onCurve);
    const float width = right - left + 1;
    EXPECT_NEAR(width, tideCurveWidth(560.0f - 28.0f), 1.0f);

    // Pressing at the last whole pixel: a pixel short of midnight (the hours: TidePanelModel.PressingTheCurve).
    ui.pointer(ImVec2(right + 0.99f, onCurve->y), true);
    ui.frame();
    EXPECT_NEAR(state.selectedHour, 24.0f * (width - 1) / width, 1e-3f);
    const float lastHour = state.selectedHour;
    ui.pointer(ImVec2(right + 0.99f, onCurve->y), false);
    ui.frame();
    EXPECT_TRUE(applied.empty());

    const std::optional<ImVec2> button = ui.find("Marée", "Appliquer sur le terrain", 8.0f);
    ASSERT_TRUE(button);
    ui.click(*button);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_FLOAT_EQ(applied[0].level, interpolateLevel(state.samples, lastHour) - 3.0f);
    EXPECT_EQ(state.selectedHour, lastHour);  // pressing elsewhere left the hour
}

// The windows' buttons that reach the tide service, against the local stand-in.
using TideUiService = TideServiceTest;

// The once-per-terrain rule of the first load is tide_panel_model_test's.
TEST_F(TideUiService, FirstOpeningLoadsTodayUnlessFoldedRetryFindsThePortAndTheCloseBoxCloses) {
    HeadlessUi ui;
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    state.tidePanelOpen = true;
    bool collapsed = true;
    ui.draw = [&] {
        ImGui::SetNextWindowCollapsed(collapsed);
        drawTidePanel(state);
    };
    ui.frame();
    EXPECT_FALSE(state.loadAttempted);  // no request while folded
    collapsed = false;
    ui.frame();
    EXPECT_EQ(shown(state), "brest, " + today() + ", 144 points, loaded, attempted, open");

    resetTide(state);
    state.latitude = 48.41;
    state.longitude = -4.50;
    state.detectionFailed = true;
    const std::optional<ImVec2> retry = ui.find("Marée", "Réessayer la détection");
    ASSERT_TRUE(retry);
    captureStreams([&] { ui.click(*retry); });
    EXPECT_EQ(shown(state), "brest, Brest, " + today() + ", 144 points, loaded, attempted, open");

    const std::optional<ImVec2> box = ui.find("Marée", "#CLOSE");
    ASSERT_TRUE(box);
    ui.click(*box);
    EXPECT_FALSE(state.tidePanelOpen);
}

TEST_F(TideUiService, CalendarOpensOnTodayPicksAClickedDayAndRequestsTheMonthShown) {
    HeadlessUi ui;
    TideCalendar calendar;
    calendar.tideCalendarOpen = true;
    std::vector<CalendarPick> picks;
    ui.draw = [&] {
        const CalendarPick pick = drawTideCalendar(calendar);
        if (pick.picked) picks.push_back(pick);
    };
    ui.frame();
    const LocalDate today = todayLocal();
    EXPECT_EQ(std::tuple(calendar.year, calendar.month, calendar.selectedDay),
              std::tuple(today.year, today.month, today.day));
    EXPECT_FALSE(calendar.loaded);  // no port, no request

    const int day = today.day == 10 ? 11 : 10;
    const std::string cellId = "##day" + std::to_string(day);
    const std::optional<ImVec2> cell = ui.find("Calendrier des marées", cellId.c_str(), 10.0f);
    ASSERT_TRUE(cell);
    ui.click(*cell);
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0].date, formatDate(today.year, today.month, day));

    // With a port, the arrows walk the months (across a year's end: tide_calendar_layout_test).
    setCalendarKey(calendar, key);
    setCalendarSite(calendar, "brest");
    std::optional<ImVec2> next, previous;
    captureStreams([&] {
        next = ui.find("Calendrier des marées", "##next", 4.0f);
        previous = ui.find("Calendrier des marées", "##prev", 4.0f);
    });
    ASSERT_TRUE(next && previous);
    captureStreams([&] { ui.click(*next); });
    EXPECT_EQ(calendar.month, today.month % 12 + 1);
    // The frame that moved to the next month already asked for it (what it gets: TideCalendarService).
    EXPECT_EQ(calendar.loadedMonth, calendar.month);
    captureStreams([&] { ui.click(*previous); });
    EXPECT_EQ(calendar.month, today.month);
    EXPECT_EQ(picks.size(), 1u);
}
