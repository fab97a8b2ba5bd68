#include "tides/fetch_url.h"
#include "tides/tide_client.h"
#include "tests/tides/tide_service_fixture.h"

#include <algorithm>

using TideClient = TideServiceTest;

TEST(TideUrls, QueryValuesAndKeyMasking) {
    setenv("ABYSTO_TIDE_URL", "http://h/v1/", 1);
    EXPECT_EQ(sitesUrl("abc"), "http://h/v1/sites?key=abc");
    EXPECT_EQ(waterLevelsUrl("abc", "le_havre", "2026-12-06", 10),
              "http://h/v1/water-levels?site=le_havre&from=2026-12-06T00:00&to=2026-12-06T23:59&step=10&tz=UTC&key=abc");
    EXPECT_EQ(tideExtremaUrl("abc", "brest", "2026-12-01", "2026-12-31"),
              "http://h/v1/tide-extrema?site=brest&from=2026-12-01&to=2026-12-31&tz=Europe/Paris&key=abc");
    // An id cannot add parameters of its own.
    EXPECT_EQ(sitesUrl("a&site=x y"), "http://h/v1/sites?key=a%26site%3Dx%20y");
    unsetenv("ABYSTO_TIDE_URL");
    EXPECT_EQ(sitesUrl("k"), std::string(kDefaultTideServiceUrl) + "/sites?key=k");

    EXPECT_EQ(maskKeyInUrl("http://h/sites?key=abc"), "http://h/sites?key=***");
    EXPECT_EQ(maskKeyInUrl("http://h/w?site=b&key=abc&x=1"), "http://h/w?site=b&key=***&x=1");
    EXPECT_EQ(maskKeyInUrl("http://h/w?monkey=1&key="), "http://h/w?monkey=1&key=");
    EXPECT_EQ(maskKeyInUrl("http://h/key=abc"), "http://h/key=abc");
}

TEST_F(TideClient, FailuresShowOneLineWithoutTheKey) {
    std::vector<TideSite> sites;
    setenv("ABYSTO_TIDE_URL", closedPortUrl().c_str(), 1);
    Captured c = captureStreams([&] { EXPECT_FALSE(fetchSites(key, sites)); });
    EXPECT_EQ(c.err.rfind("Erreur curl : ", 0), 0u) << c.err;
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << c.err;
    setenv("ABYSTO_TIDE_URL", server->url().c_str(), 1);

    // A wrong key: 401, the key never written out.
    c = captureStreams([&] { EXPECT_FALSE(fetchSites("0123456789abcdef0123456789abcdef", sites)); });
    EXPECT_EQ(c.err, "HTTP 401 sur " + server->url() + "/sites?key=***\n"
                     "  reponse : {\"error\":\"Cle API invalide ou absente.\",\"status\":401}\n");

    // A broken document fails the fetch (the parser's line: TideParsing tests).
    std::vector<WaterLevelSample> samples;
    captureStreams([&] {
        EXPECT_FALSE(fetchSites("json-casse", sites));
        EXPECT_FALSE(fetchWaterLevels(key, "test-json-casse", "2026-12-06", 10, samples));
    });
}

TEST_F(TideClient, ReferencePortDetection) {
    const std::string brest = "Port de reference : Brest (brest)\n", failed = "0 points, failed";
    const std::string unreachable = "Port de reference : detection echouee (API injoignable).\n";
    // Key, place; the state after, what is written out and how the errors end.
    const std::vector<std::tuple<std::string, double, double, std::string, std::string, std::string>> cases = {
        // The nearest port and a centre at 0/0: TideCalibration.
        {key, 48.04, -4.85, "brest, Brest, 0 points", brest, ""},  // beside the closed station, listed without an id
        {"redirige", 48.39, -4.48, "brest, Brest, 0 points", brest, ""},  // the list behind a redirect
        {"sites-vide", 48.39, -4.48, failed, "", unreachable},
        // Sites without ids, no key: failed, nothing said.
        {"sites-sans-id", 48.39, -4.48, failed, "", ""},
        {"", 48.39, 0.0, failed, "", ""},
    };
    TideState state = makeTideState();
    for (const auto& [apiKey, lat, lon, after, out, errEnd] : cases) {
        SCOPED_TRACE(apiKey + " " + std::to_string(lat));
        setTideKey(state, apiKey);
        state.latitude = lat;
        state.longitude = lon;
        bool found = false;
        const Captured c = captureStreams([&] { found = detectReferencePort(state); });
        EXPECT_EQ(found, !state.detectionFailed);
        EXPECT_EQ(shown(state), after);
        EXPECT_EQ(c.out, out);
        EXPECT_TRUE(errEnd.empty() ? c.err.empty() : c.err.ends_with(errEnd)) << c.err;
    }
}

TEST_F(TideClient, TodayAndDatedLoads) {
    TideState state = makeTideState();
    EXPECT_FALSE(loadTodayTide(state));  // no port yet: nothing asked
    setTideSiteId(state, "brest");
    ASSERT_TRUE(loadTodayTide(state));  // what it shows: TideUiService's first opening
    EXPECT_NEAR(state.selectedHour, localClockHour(), 0.05f);

    Captured c = captureStreams([&] { loadTideForDate(state, "2027-06-21"); });
    EXPECT_EQ(c.out, "Maree chargee pour 2027-06-21 (144 points)\n");
    EXPECT_EQ(shown(state), "brest, 2027-06-21, 144 points, loaded, attempted");
    EXPECT_FLOAT_EQ(state.selectedHour, 12.0f);

    setTideSiteId(state, "test-500");
    c = captureStreams([&] { EXPECT_FALSE(loadTodayTide(state)); });
    EXPECT_TRUE(c.err.ends_with("\nEchec recuperation maree du jour.\n")) << c.err;
    EXPECT_EQ(shown(state), "test-500, 2027-06-21, 0 points, attempted");
    c = captureStreams([&] { loadTideForDate(state, "2027-06-23"); });
    EXPECT_TRUE(c.err.ends_with("\nEchec chargement maree pour 2027-06-23\n")) << c.err;
    EXPECT_EQ(shown(state), "test-500, 2027-06-21, 0 points, attempted");

    resetTide(state);
    EXPECT_EQ(shown(state), "0 points");
    EXPECT_STREQ(state.apiKey, key.c_str());
}

TEST_F(TideClient, MonthCoefficients) {
    const LocalDate now = todayLocal();
    std::vector<DayCoefficients> days;
    Captured c = captureStreams([&] { EXPECT_TRUE(fetchMonthCoeffs(key, "brest", now.year, now.month, days)); });
    ASSERT_FALSE(days.empty());
    const std::string month = std::to_string(now.month) + "/" + std::to_string(now.year);
    // The whole month lies within 30 days of today.
    EXPECT_EQ(c.out, "Coefficients reels recuperes pour brest " + month + " : " + std::to_string(days.size()) +
                         " jour(s) (" + formatDate(now.year, now.month, 1) + " -> " +
                         formatDate(now.year, now.month, daysInMonth(now.year, now.month)) + ")\n");

    // Key, site, year, month; the error.
    const std::vector<std::tuple<std::string, std::string, int, int, std::string>> failures = {
        {key, "brest", 1850, 3, "fetchMonthCoeffs : parametres invalides (year=1850, month=3)\n"},
        {key, "brest", 2026, 13, "fetchMonthCoeffs : parametres invalides (year=2026, month=13)\n"},
        {"", "brest", 2026, 13, ""},
        {key, "test-sans-pm", now.year, now.month, "Coefficients : aucune pleine mer exploitable pour " + month + "\n"},
    };
    for (const auto& [k, site, year, m, err] : failures) {
        c = captureStreams([&, &k = k, &site = site, year = year, m = m] {
            EXPECT_FALSE(fetchMonthCoeffs(k, site, year, m, days)) << site;
        });
        EXPECT_EQ(c.err, err);
    }
    // A broken document fails the fetch (the parser's line: TideParsing tests).
    captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "test-json-casse", now.year, now.month, days)); });

    // A month ended more than 30 days ago is refused before any request (nothing listens there).
    setenv("ABYSTO_TIDE_URL", closedPortUrl().c_str(), 1);
    c = captureStreams(
        [&] { EXPECT_FALSE(fetchMonthCoeffsAround(key, "brest", 2026, 10, localNoon(2026, 12, 6), days)); });
    EXPECT_EQ(c.err, "Coefficients : 10/2026 est entierement hors de la fenetre J-30/J+30 de l'API.\n");
    // A month in the window with the service unreachable is a failure too.
    captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "brest", now.year, now.month, days)); });
}
