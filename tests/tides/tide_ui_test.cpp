// The tide windows run in a UI context without a screen: the mouse is moved
// and pressed through the toolkit's input state, frame by frame, and the
// windows' buttons are found by hovering them.
#include "tides/tide_calendar_layout.h"
#include "tides/tide_calendar_ui.h"
#include "tides/tide_level.h"
#include "tides/tide_panel_ui.h"
#include "tests/tides/tide_service_fixture.h"

#include <cmath>
#include <functional>
#include <imgui.h>
#include <imgui_internal.h>
#include <optional>

namespace {

class HeadlessUi {
public:
    HeadlessUi() {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1440, 810);
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }
    ~HeadlessUi() { ImGui::DestroyContext(); }

    void frame(const std::function<void()>& draw) {
        ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }
    void mouse(ImVec2 position, bool down) {
        ImGui::GetIO().MousePos = position;
        ImGui::GetIO().MouseDown[0] = down;
    }
    // A press and a release at `position`, one frame each.
    void click(ImVec2 position, const std::function<void()>& draw) {
        mouse(position, true);
        frame(draw);
        mouse(position, false);
        frame(draw);
    }

    static ImGuiWindow* window(const char* name) { return ImGui::FindWindowByName(name); }
    static ImGuiID itemId(const char* window, const char* label) {
        return HeadlessUi::window(window)->GetIDNoKeepAlive(label);
    }

    // The first point of the window, scanned in rows, where the item is hovered.
    std::optional<ImVec2> find(const char* windowName, const char* label, const std::function<void()>& draw,
                               float step = 4.0f) {
        const ImGuiWindow* w = window(windowName);
        if (!w) return std::nullopt;
        const ImGuiID id = itemId(windowName, label);
        for (float y = w->Pos.y + 1; y < w->Pos.y + w->Size.y; y += step) {
            for (float x = w->Pos.x + 1; x < w->Pos.x + w->Size.x; x += step) {
                mouse(ImVec2(x, y), false);
                frame(draw);
                if (GImGui->HoveredId == id) return ImVec2(x, y);
            }
        }
        return std::nullopt;
    }
    // Left and right ends of the item along the row y, starting from a point on it.
    std::pair<float, float> span(ImGuiID id, ImVec2 from, const std::function<void()>& draw) {
        auto hovered = [&](float x) {
            mouse(ImVec2(x, from.y), false);
            frame(draw);
            return GImGui->HoveredId == id;
        };
        float left = from.x, right = from.x;
        while (hovered(left - 1)) --left;
        while (hovered(right + 1)) ++right;
        return {left, right};
    }
};

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
    ui.frame([&] { result = drawTidePanel(state); });
    EXPECT_FALSE(result.apply);
    EXPECT_EQ(result.level, 0.0f);
    EXPECT_EQ(HeadlessUi::window("Marée"), nullptr);
}

TEST(TidePanelUi, ScrubbingTheCurveThenApplyingGivesThatHoursLevel) {
    HeadlessUi ui;
    TideState state = loadedState();
    std::vector<TidePanelResult> applied;
    const auto draw = [&] {
        const TidePanelResult r = drawTidePanel(state);
        if (r.apply) applied.push_back(r);
    };
    ui.frame(draw);
    const ImGuiWindow* window = HeadlessUi::window("Marée");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Size.x, 560.0f);
    EXPECT_EQ(window->Size.y, 680.0f);
    EXPECT_EQ(window->Pos.x, 1440.0f - 580.0f);  // top right, under the menu bar

    // Hovering without pressing leaves the hour; the curve is as wide as it may be.
    const std::optional<ImVec2> onCurve = ui.find("Marée", "##tide_canvas", draw, 8.0f);
    ASSERT_TRUE(onCurve);
    EXPECT_EQ(state.selectedHour, 6.0f);
    const auto [left, right] = ui.span(HeadlessUi::itemId("Marée", "##tide_canvas"), *onCurve, draw);
    EXPECT_NEAR(right - left + 1, tideCurveWidth(560.0f - 28.0f), 1.0f);

    // Pressing at the left edge selects midnight, dragging scrubs along the day.
    ui.mouse(ImVec2(left, onCurve->y), true);
    ui.frame(draw);
    EXPECT_NEAR(state.selectedHour, 0.0f, 0.06f);
    ui.mouse(ImVec2(left + (right - left) / 2, onCurve->y), true);
    ui.frame(draw);
    EXPECT_NEAR(state.selectedHour, 12.0f, 0.06f);
    // The toolkit works in whole pixels: the last one is a pixel short of midnight.
    ui.mouse(ImVec2(right + 0.99f, onCurve->y), true);
    ui.frame(draw);
    const float width = right - left + 1;
    EXPECT_NEAR(state.selectedHour, 24.0f * (width - 1) / width, 1e-3f);
    const float lastHour = state.selectedHour;
    ui.mouse(ImVec2(right + 0.99f, onCurve->y), false);
    ui.frame(draw);
    EXPECT_TRUE(applied.empty());

    const std::optional<ImVec2> button = ui.find("Marée", "Appliquer sur le terrain", draw, 8.0f);
    ASSERT_TRUE(button);
    const auto [buttonLeft, buttonRight] =
        ui.span(HeadlessUi::itemId("Marée", "Appliquer sur le terrain"), *button, draw);
    EXPECT_NEAR(buttonRight - buttonLeft + 1, 280.0f, 1.0f);
    EXPECT_NEAR((buttonLeft + buttonRight) / 2, window->Pos.x + 280.0f, 1.0f);  // centred
    ui.click(*button, draw);
    ASSERT_EQ(applied.size(), 1u);
    EXPECT_FLOAT_EQ(applied[0].level, interpolateLevel(state.samples, lastHour) - 3.0f);
    EXPECT_EQ(state.selectedHour, lastHour);  // pressing elsewhere left the hour
}

TEST(TidePanelUi, CollapsedWindowLoadsNothingAndCloseBoxClosesIt) {
    HeadlessUi ui;
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    state.tidePanelOpen = true;
    ui.frame([&] {
        ImGui::SetNextWindowCollapsed(true);
        drawTidePanel(state);
    });
    EXPECT_FALSE(state.loadAttempted);  // no request while folded

    TideState shown = loadedState();
    const auto draw = [&] { drawTidePanel(shown); };
    ui.frame([&] {
        ImGui::SetNextWindowCollapsed(false);
        drawTidePanel(shown);
    });
    const ImGuiWindow* window = HeadlessUi::window("Marée");
    const ImGuiID close = HeadlessUi::itemId("Marée", "#CLOSE");
    std::optional<ImVec2> box;
    for (float x = window->Pos.x + window->Size.x - 2; x > window->Pos.x + window->Size.x - 60 && !box; x -= 2) {
        ui.mouse(ImVec2(x, window->Pos.y + window->TitleBarHeight() / 2), false);
        ui.frame(draw);
        if (GImGui->HoveredId == close) box = ImVec2(x, window->Pos.y + window->TitleBarHeight() / 2);
    }
    ASSERT_TRUE(box);
    ui.click(*box, draw);
    EXPECT_FALSE(shown.tidePanelOpen);
}

TEST(TideCalendarUi, OpensOnTodayAndPicksAClickedDayWithoutAPort) {
    HeadlessUi ui;
    TideCalendar calendar;
    calendar.tideCalendarOpen = true;
    CalendarPick last;
    int picks = 0;
    const auto draw = [&] {
        const CalendarPick pick = drawTideCalendar(calendar);
        if (pick.picked) {
            last = pick;
            ++picks;
        }
    };
    ui.frame(draw);
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
    const std::optional<ImVec2> cell = ui.find("Calendrier des marées", ("##day" + std::to_string(day)).c_str(), draw, 10.0f);
    ASSERT_TRUE(cell);
    EXPECT_EQ(picks, 0);
    ui.click(*cell, draw);
    EXPECT_EQ(picks, 1);
    EXPECT_EQ(last.date, formatDate(today.year, today.month, day));
    EXPECT_EQ(calendar.selectedDay, day);

    // Cells are a seventh of the content wide, less their gap.
    const auto [left, right] = ui.span(HeadlessUi::itemId("Calendrier des marées", ("##day" + std::to_string(day)).c_str()),
                                       *cell, draw);
    EXPECT_NEAR(right - left + 1, calendarColumnWidth(window->ContentRegionRect.GetWidth()) - 4.0f, 1.0f);

    // The arrows walk the months across the year's end.
    const std::optional<ImVec2> next = ui.find("Calendrier des marées", "##next", draw, 4.0f);
    ASSERT_TRUE(next);
    for (int i = 0; i < 12; ++i) ui.click(*next, draw);
    EXPECT_EQ(calendar.year, today.year + 1);
    EXPECT_EQ(calendar.month, today.month);
    const std::optional<ImVec2> previous = ui.find("Calendrier des marées", "##prev", draw, 4.0f);
    ASSERT_TRUE(previous);
    ui.click(*previous, draw);
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
    const auto draw = [&] { drawTidePanel(state); };
    ui.frame(draw);
    EXPECT_TRUE(state.samples.empty());
    const std::optional<ImVec2> retry = ui.find("Marée", "Réessayer la détection", draw);
    ASSERT_TRUE(retry);
    const Captured c = captureStreams([&] { ui.click(*retry, draw); });
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
    ui.frame([&] { drawTidePanel(state); });
    EXPECT_TRUE(state.loadAttempted);
    ASSERT_TRUE(state.samplesLoaded);
    EXPECT_EQ(state.displayedDate, today());

    // A failed load is not retried by itself.
    setTideSiteId(state, "test-500");
    state.samplesLoaded = false;
    const Captured c = captureStreams([&] {
        ui.frame([&] { drawTidePanel(state); });
        ui.frame([&] { drawTidePanel(state); });
    });
    EXPECT_EQ(c.err, "");
}

TEST_F(TideUiService, CalendarRequestsTheMonthShownAndTheNextAtOnce) {
    HeadlessUi ui;
    TideCalendar calendar;
    calendar.tideCalendarOpen = true;
    setCalendarKey(calendar, key);
    setCalendarSite(calendar, "brest");
    const auto draw = [&] { drawTideCalendar(calendar); };
    Captured c = captureStreams([&] { ui.frame(draw); });
    const LocalDate today = todayLocal();
    EXPECT_NE(c.out.find("Coefficients charges pour " + std::to_string(today.month) + "/" +
                         std::to_string(today.year) + " ("),
              std::string::npos)
        << c.out << c.err;
    EXPECT_FALSE(calendar.days.empty());
    EXPECT_EQ(calendarFooter(calendar), CalendarFooter::legend);

    std::optional<ImVec2> next;
    c = captureStreams([&] { next = ui.find("Calendrier des marées", "##next", draw, 4.0f); });
    ASSERT_TRUE(next);
    EXPECT_EQ(c.out, "");  // hovering requests nothing more
    c = captureStreams([&] { ui.click(*next, draw); });
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
