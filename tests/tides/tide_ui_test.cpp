// The tide windows in a UI context without a screen.
#include "tides/tide_calendar_layout.h"
#include "tides/tide_calendar_ui.h"
#include "tides/tide_level.h"
#include "tides/tide_panel_ui.h"
#include "tests/support/headless_ui.h"
#include "tests/tides/tide_service_fixture.h"

#include <cmath>

namespace {

// A day of one sample per hour rising from 1 m to 6 m and back.
std::vector<WaterLevelSample> syntheticDay() {
    std::vector<WaterLevelSample> samples;
    for (int h = 0; h < 24; ++h) {
        samples.push_back({3.5f - 2.5f * std::cos(static_cast<float>(h) / 24.0f * 6.2831853f), static_cast<float>(h)});
    }
    return samples;
}

TideState loadedState() {
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    state.siteName = "Brest";
    setDatumOffset(state, -3.0f, "Brest");
    state.samples = syntheticDay();
    state.samplesLoaded = true;
    state.loadAttempted = true;
    state.displayedDate = "2026-12-06";
    state.selectedHour = 6.0f;
    state.tidePanelOpen = true;
    return state;
}

} // namespace

TEST(TidePanelUi, ClosedDrawsNothingAndAppliesNothing) {
    HeadlessUi ui;
    TideState state = loadedState();
    state.tidePanelOpen = false;
    TidePanelResult result{true, 9.0f};
    ui.draw = [&] { result = drawTidePanel(state); };
    ui.frame();
    EXPECT_FALSE(result.apply);
    EXPECT_EQ(result.level, 0.0f);
    EXPECT_EQ(HeadlessUi::window("Marée"), nullptr);
}

TEST(TidePanelUi, ScrubbingTheCurveThenApplyingGivesThatHoursLevel) {
    HeadlessUi ui;
    TideState state = loadedState();
    std::vector<TidePanelResult> applied;
    ui.draw = [&] {
        const TidePanelResult r = drawTidePanel(state);
        if (r.apply) applied.push_back(r);
    };
    ui.frame();
    const ImGuiWindow* window = HeadlessUi::window("Marée");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Size.x, 560.0f);
    EXPECT_EQ(window->Size.y, 680.0f);
    EXPECT_EQ(window->Pos.x, 1440.0f - 580.0f);  // top right, under the menu bar

    // Hovering without pressing leaves the hour; the curve is as wide as it may be.
    const std::optional<ImVec2> onCurve = ui.find("Marée", "##tide_canvas", 8.0f);
    ASSERT_TRUE(onCurve);
    EXPECT_EQ(state.selectedHour, 6.0f);
    const auto [left, right] = ui.span(HeadlessUi::id("Marée", "##tide_canvas"), *onCurve);
    EXPECT_NEAR(right - left + 1, tideCurveWidth(560.0f - 28.0f), 1.0f);

    // Pressing at the left edge selects midnight, dragging scrubs along the day.
    ui.pointer(ImVec2(left, onCurve->y), true);
    ui.frame();
    EXPECT_NEAR(state.selectedHour, 0.0f, 0.06f);
    ui.pointer(ImVec2(left + (right - left) / 2, onCurve->y), true);
    ui.frame();
    EXPECT_NEAR(state.selectedHour, 12.0f, 0.06f);
    // The toolkit works in whole pixels: the last one is a pixel short of midnight.
    ui.pointer(ImVec2(right + 0.99f, onCurve->y), true);
    ui.frame();
    const float width = right - left + 1;
    EXPECT_NEAR(state.selectedHour, 24.0f * (width - 1) / width, 1e-3f);
    const float lastHour = state.selectedHour;
    ui.pointer(ImVec2(right + 0.99f, onCurve->y), false);
    ui.frame();
    EXPECT_TRUE(applied.empty());

    const std::optional<ImVec2> button = ui.find("Marée", "Appliquer sur le terrain", 8.0f);
    ASSERT_TRUE(button);
    const auto [buttonLeft, buttonRight] =
        ui.span(HeadlessUi::id("Marée", "Appliquer sur le terrain"), *button);
    EXPECT_NEAR(buttonRight - buttonLeft + 1, 280.0f, 1.0f);
    EXPECT_NEAR((buttonLeft + buttonRight) / 2, window->Pos.x + 280.0f, 1.0f);  // centred
    ui.click(*button);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_FLOAT_EQ(applied[0].level, interpolateLevel(state.samples, lastHour) - 3.0f);
    EXPECT_EQ(state.selectedHour, lastHour);  // pressing elsewhere left the hour
}

TEST(TidePanelUi, CollapsedWindowLoadsNothingAndCloseBoxClosesIt) {
    HeadlessUi ui;
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    state.tidePanelOpen = true;
    ui.draw = [&] {
        ImGui::SetNextWindowCollapsed(true);
        drawTidePanel(state);
    };
    ui.frame();
    EXPECT_FALSE(state.loadAttempted);  // no request while folded

    TideState shown = loadedState();
    ui.draw = [&] {
        ImGui::SetNextWindowCollapsed(false);
        drawTidePanel(shown);
    };
    ui.frame();
    const std::optional<ImVec2> box = ui.find("Marée", "#CLOSE");
    ASSERT_TRUE(box);
    ui.click(*box);
    EXPECT_FALSE(shown.tidePanelOpen);
}

TEST(TideCalendarUi, OpensOnTodayAndPicksAClickedDayWithoutAPort) {
    HeadlessUi ui;
    TideCalendar calendar;
    calendar.tideCalendarOpen = true;
    CalendarPick last;
    int picks = 0;
    ui.draw = [&] {
        const CalendarPick pick = drawTideCalendar(calendar);
        if (pick.picked) {
            last = pick;
            ++picks;
        }
    };
    ui.frame();
    const LocalDate today = todayLocal();
    EXPECT_EQ(calendar.year, today.year);
    EXPECT_EQ(calendar.month, today.month);
    EXPECT_EQ(calendar.selectedDay, today.day);
    EXPECT_FALSE(calendar.loaded);  // no port, no request
    const ImGuiWindow* window = HeadlessUi::window("Calendrier des marées");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Size.x, 550.0f);
    EXPECT_EQ(window->Size.y, 750.0f);

    const int day = today.day == 10 ? 11 : 10;
    const std::optional<ImVec2> cell = ui.find("Calendrier des marées", ("##day" + std::to_string(day)).c_str(), 10.0f);
    ASSERT_TRUE(cell);
    EXPECT_EQ(picks, 0);
    ui.click(*cell);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(last.date, formatDate(today.year, today.month, day));
    EXPECT_EQ(calendar.selectedDay, day);

    // Cells are a seventh of the content wide, less their gap.
    const auto [left, right] = ui.span(HeadlessUi::id("Calendrier des marées", ("##day" + std::to_string(day)).c_str()),
                                       *cell);
    EXPECT_NEAR(right - left + 1, calendarColumnWidth(window->ContentRegionRect.GetWidth()) - 4.0f, 1.0f);

    // The arrows walk the months across the year's end.
    const std::optional<ImVec2> next = ui.find("Calendrier des marées", "##next", 4.0f);
    ASSERT_TRUE(next);
    for (int i = 0; i < 12; ++i) ui.click(*next);
    EXPECT_EQ(calendar.year, today.year + 1);
    EXPECT_EQ(calendar.month, today.month);
    const std::optional<ImVec2> previous = ui.find("Calendrier des marées", "##prev", 4.0f);
    ASSERT_TRUE(previous);
    ui.click(*previous);
    EXPECT_EQ(calendar.month, today.month == 1 ? 12 : today.month - 1);
    EXPECT_EQ(picks, 1);
}

// The windows' buttons that reach the tide service, against the local stand-in.
using TideUiService = TideServiceTest;

TEST_F(TideUiService, RetryingTheDetectionFindsThePortAndLoadsToday) {
    HeadlessUi ui;
    TideState state = makeTideState();
    state.latitude = 48.41;
    state.longitude = -4.50;
    state.detectionFailed = true;
    state.loadAttempted = true;
    state.tidePanelOpen = true;
    ui.draw = [&] { drawTidePanel(state); };
    ui.frame();
    EXPECT_TRUE(state.samples.empty());
    const std::optional<ImVec2> retry = ui.find("Marée", "Réessayer la détection");
    ASSERT_TRUE(retry);
    const Captured c = captureStreams([&] { ui.click(*retry); });
    EXPECT_EQ(c.out, "Port de reference : Brest (brest)\n");
    EXPECT_EQ(state.siteName, "Brest");
    EXPECT_TRUE(state.samplesLoaded);
    EXPECT_EQ(state.displayedDate, today());
    EXPECT_GT(state.samples.size(), 100u);
}

TEST_F(TideUiService, FirstOpeningLoadsTodayOnce) {
    HeadlessUi ui;
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    state.tidePanelOpen = true;
    ui.draw = [&] { drawTidePanel(state); };
    ui.frame();
    EXPECT_TRUE(state.loadAttempted);
    ASSERT_TRUE(state.samplesLoaded);
    EXPECT_EQ(state.displayedDate, today());

    // A failed load is not retried by itself.
    setTideSiteId(state, "test-500");
    state.samplesLoaded = false;
    const Captured c = captureStreams([&] {
        ui.frame();
        ui.frame();
    });
    EXPECT_EQ(c.err, "");
}

TEST_F(TideUiService, CalendarRequestsTheMonthShownAndTheNextAtOnce) {
    HeadlessUi ui;
    TideCalendar calendar;
    calendar.tideCalendarOpen = true;
    setCalendarKey(calendar, key);
    setCalendarSite(calendar, "brest");
    ui.draw = [&] { drawTideCalendar(calendar); };
    Captured c = captureStreams([&] { ui.frame(); });
    const LocalDate today = todayLocal();
    EXPECT_NE(c.out.find("Coefficients charges pour " + std::to_string(today.month) + "/" +
                         std::to_string(today.year) + " ("),
              std::string::npos)
        << c.out << c.err;
    EXPECT_FALSE(calendar.days.empty());
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::legend);

    std::optional<ImVec2> next;
    c = captureStreams([&] { next = ui.find("Calendrier des marées", "##next", 4.0f); });
    ASSERT_TRUE(next);
    EXPECT_EQ(c.out, "");  // hovering requests nothing more
    c = captureStreams([&] { ui.click(*next); });
    // The frame that moved to the next month already asked for it (or knows
    // it lies beyond the service's window, on the first days of a long month).
    EXPECT_EQ(calendar.loadedMonth, calendar.month);
    if (monthInWindow(calendar.year, calendar.month)) {
        EXPECT_NE(c.out.find("Coefficients charges pour " + std::to_string(calendar.month) + "/"), std::string::npos)
            << c.out << c.err;
    } else {
        EXPECT_TRUE(calendar.outOfWindow);
    }
}
