#include "tides/ram_table.h"
#include "tides/tide_calendar.h"
#include "tides/tide_calibration.h"
#include "tides/tide_panel_model.h"
#include "tests/tides/tide_service_fixture.h"

using TideCalibration = TideServiceTest;
using TideCalendarService = TideServiceTest;

TEST_F(TideCalibration, ZoneNearBrestWithTheShippedTable) {
    std::vector<RamSite> ram;
    ASSERT_TRUE(loadRamFile(ramFilePath(ABYSTO_BINARY_DIR), ram));
    TideState state = makeTideState();
    TideCalendar calendar;
    calendar.initialized = true;
    calendar.days = {{1, 50, 52}};
    state.samplesLoaded = true;
    state.tidePanelOpen = true;
    const Captured c = captureStreams([&] { calibrateTide(state, calendar, ram, 48.3904, -4.4861); });
    EXPECT_EQ(c.out, "Décalage ZH->IGN69 automatique : -3.635 m (site RAM le plus proche : Brest)\n"
                     "Port de reference : Brest (brest)\n");
    EXPECT_EQ(c.err, "");
    EXPECT_EQ(std::pair(state.datumOffset, state.ramSiteName), std::pair(-3.635f, std::string("Brest")));
    EXPECT_EQ(shown(state), "brest, Brest, 0 points, open");  // the previous terrain's day is gone
    // The calendar starts again on the new port.
    EXPECT_EQ(std::tuple(calendar.initialized, calendar.days.empty(), calendar.siteId, calendar.apiKey),
              std::tuple(false, true, std::string("brest"), key));
    EXPECT_TRUE(autoLoadTide(state));  // the new terrain's day loads at the window's next frame
}

TEST_F(TideCalibration, WithoutTableTheOffsetStays) {
    TideState state = makeTideState();
    TideCalendar calendar;
    Captured c = captureStreams([&] { calibrateTide(state, calendar, {}, 49.49, 0.11); });
    EXPECT_EQ(c.out, "Port de reference : Le Havre (le_havre)\n");
    EXPECT_FLOAT_EQ(state.datumOffset, -3.0f);
    EXPECT_FALSE(state.datumOffsetKnown);
    EXPECT_EQ(tideWaitingText(state), "Aucune donnée de marée chargée.");

    // An offset once set survives a later terrain when no table is loaded.
    setDatumOffset(state, -4.375f, "Le_Havre");
    c = captureStreams([&] { calibrateTide(state, calendar, {}, 0.0, 0.0); });
    EXPECT_FLOAT_EQ(state.datumOffset, -4.375f);
    EXPECT_TRUE(state.datumOffsetKnown);
    EXPECT_EQ(shown(state), "0 points, failed");  // 0/0 never finds a port
    EXPECT_EQ(calendar.siteId, "");
    EXPECT_EQ(tidePortLine(state), TidePortLine::detectionFailed);
}

TEST_F(TideCalendarService, MonthLoadsOnceAndOutsideTheWindowNever) {
    const LocalDate now = todayLocal();
    const std::string month = std::to_string(now.month) + "/" + std::to_string(now.year);
    TideCalendar calendar;
    TideState state = makeTideState();
    setTideSiteId(state, "brest");
    syncCalendar(calendar, state);
    initCalendarDisplay(calendar, now.year, now.month, now.day);
    const auto load = [&] { return captureStreams([&] { ensureMonthLoaded(calendar); }); };

    Captured c = load();
    ASSERT_FALSE(calendar.days.empty()) << c.err;
    EXPECT_FALSE(calendar.loadFailed);
    const std::string loaded = "Coefficients charges pour " + month + " (" + std::to_string(calendar.days.size());
    EXPECT_NE(c.out.find("\n" + loaded + " jours)\n"), std::string::npos) << c.out;
    c = load();  // the same month again: no request
    EXPECT_EQ(c.out + c.err, "");
    // The month before or after, inside the window, is requested in its turn.
    const int step = now.day <= 15 ? -1 : +1;
    stepCalendarMonth(calendar, step);
    EXPECT_NE(load().out.find("Coefficients charges pour "), std::string::npos);
    stepCalendarMonth(calendar, -step);

    // Three months ahead: marked, never requested.
    for (int i = 0; i < 3; ++i) stepCalendarMonth(calendar, +1);
    c = load();
    EXPECT_EQ(c.out + c.err, "");
    EXPECT_TRUE(calendar.outOfWindow);
    EXPECT_TRUE(calendar.loadFailed);

    // A day out there can still be picked: its water levels are not limited.
    const CalendarPick pick = pickCalendarDay(calendar, 15);
    captureStreams([&] { EXPECT_TRUE(applyCalendarPick(state, pick)); });
    EXPECT_EQ(shown(state), "brest, " + pick.date + ", 144 points, loaded, attempted, open");

    // A failing service: "Coefficients indisponibles." until "Réessayer".
    for (int i = 0; i < 3; ++i) stepCalendarMonth(calendar, -1);
    setCalendarSite(calendar, "test-500");
    c = load();
    EXPECT_TRUE(calendar.loadFailed);
    EXPECT_TRUE(c.err.ends_with("\nEchec chargement coefficients " + month + "\n")) << c.err;
    setCalendarSite(calendar, "brest");
    retryCalendarMonth(calendar);
    load();
    EXPECT_FALSE(calendar.days.empty());

    // Without a port the pick does nothing.
    TideState noPort = makeTideState();
    EXPECT_FALSE(applyCalendarPick(noPort, pick));
    EXPECT_FALSE(noPort.tidePanelOpen);
}
