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

TEST_F(TideClient, SiteList) {
    std::vector<TideSite> sites;
    ASSERT_TRUE(fetchSites(key, sites));
    ASSERT_GE(sites.size(), 11u);
    const auto named = [&](const std::string& id) {
        const auto it = std::find_if(sites.begin(), sites.end(), [&](const TideSite& s) { return s.id == id; });
        return it == sites.end() ? std::string("?") : it->name;
    };
    EXPECT_EQ(named("brest"), "Brest");                            // "name"
    EXPECT_EQ(named("calais"), "Calais");                          // "site_name"
    EXPECT_EQ(named("concarneau"), "Concarneau");                  // "nom"
    EXPECT_EQ(named("dieppe"), "Dieppe");                          // "label"
    EXPECT_EQ(named("le_havre"), "Le Havre");                      // "title"
    EXPECT_EQ(named("saint-malo"), "Saint-Malo");                  // no name: the id prettified
    EXPECT_EQ(named("roscoff"), "Roscoff");                        // empty "name", numeric "site_name"
    EXPECT_EQ(std::count_if(sites.begin(), sites.end(), [](const TideSite& s) { return s.id.empty(); }), 1);
    for (const TideSite& s : sites) {
        EXPECT_GT(s.latitude, 41.0) << s.name;  // mainland France
        EXPECT_LT(s.latitude, 51.2) << s.name;
    }
}

TEST_F(TideClient, TransportError) {
    setenv("ABYSTO_TIDE_URL", closedPortUrl().c_str(), 1);
    std::vector<TideSite> sites;
    bool ok = true;
    const Captured c = captureStreams([&] { ok = fetchSites(key, sites); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(c.err.rfind("Erreur curl : ", 0), 0u) << c.err;
    EXPECT_EQ(std::count(c.err.begin(), c.err.end(), '\n'), 1) << c.err;
    EXPECT_GT(c.err.size(), std::string("Erreur curl : \n").size());
}

TEST_F(TideClient, HttpErrorsShowStatusUrlAndBodyStart) {
    // A wrong key: 401, the key never written out.
    std::vector<TideSite> sites;
    Captured c = captureStreams([&] { EXPECT_FALSE(fetchSites("0123456789abcdef0123456789abcdef", sites)); });
    EXPECT_EQ(c.err, "HTTP 401 sur " + server->url() + "/sites?key=***\n"
                     "  reponse : {\"error\":\"Cle API invalide ou absente.\",\"status\":401}\n");

    // An unknown site: 404 with a long body cut at 300 bytes.
    std::string body;
    const std::string url = waterLevelsUrl(key, "atlantide", "2026-12-06", 10);
    c = captureStreams([&] { EXPECT_FALSE(fetchUrl(url, body)); });
    ASSERT_GT(body.size(), 300u);
    EXPECT_EQ(c.err, "HTTP 404 sur " + maskKeyInUrl(url) + "\n  reponse : " + body.substr(0, 300) + "\n");

    // A server fault, on every endpoint.
    std::vector<WaterLevelSample> samples;
    c = captureStreams([&] { EXPECT_FALSE(fetchWaterLevels("panne-500", "brest", "2026-12-06", 10, samples)); });
    EXPECT_EQ(c.err.rfind("HTTP 500 sur " + server->url() + "/water-levels?site=brest&from=2026-12-06T00:00", 0), 0u) << c.err;
    EXPECT_NE(c.err.find("\n  reponse : Erreur interne du service de prediction (simulee).\n"), std::string::npos);
}

TEST_F(TideClient, RedirectsAreFollowed) {
    std::vector<TideSite> sites;
    EXPECT_TRUE(fetchSites("redirige", sites));
    EXPECT_GE(sites.size(), 11u);
}

TEST_F(TideClient, BadSiteLists) {
    for (const char* badKey : {"json-casse", "sites-types"}) {
        std::vector<TideSite> sites;
        const Captured c = captureStreams([&] { EXPECT_FALSE(fetchSites(badKey, sites)); });
        EXPECT_EQ(c.err.rfind("Erreur JSON /sites : ", 0), 0u) << c.err;
    }
}

TEST_F(TideClient, WaterLevelsOfADay) {
    std::vector<WaterLevelSample> samples;
    ASSERT_TRUE(fetchWaterLevels(key, "brest", "2026-12-06", 10, samples));
    ASSERT_EQ(samples.size(), 144u);  // 00:00 to 23:50 every 10 minutes
    for (size_t i = 0; i < samples.size(); ++i) {
        EXPECT_NEAR(samples[i].hour, static_cast<float>(i) / 6.0f, 1e-4) << i;
        EXPECT_GT(samples[i].height, 0.0f);
        EXPECT_LT(samples[i].height, 8.0f);
    }

    for (const char* site : {"test-json-casse", "test-heure-illisible", "test-type-faux"}) {
        samples.clear();
        const Captured c = captureStreams([&] { EXPECT_FALSE(fetchWaterLevels(key, site, "2026-12-06", 10, samples)); });
        EXPECT_EQ(c.err.rfind("Erreur JSON /water-levels : ", 0), 0u) << site << ": " << c.err;
    }
    samples.clear();
    EXPECT_TRUE(fetchWaterLevels(key, "test-sans-data", "2026-12-06", 10, samples));
    EXPECT_TRUE(samples.empty());
}

TEST_F(TideClient, ReferencePortDetection) {
    TideState state = makeTideState();
    state.latitude = 48.39;
    state.longitude = -4.48;
    Captured c = captureStreams([&] { EXPECT_TRUE(detectReferencePort(state)); });
    EXPECT_EQ(c.out, "Port de reference : Brest (brest)\n");
    EXPECT_STREQ(state.siteId, "brest");
    EXPECT_FALSE(state.detectionFailed);

    // Beside the closed station (listed without an id): the nearest port with one.
    state.latitude = 48.04;
    state.longitude = -4.85;
    c = captureStreams([&] { EXPECT_TRUE(detectReferencePort(state)); });
    EXPECT_EQ(c.out, "Port de reference : Brest (brest)\n");
    state.latitude = 48.6;
    state.longitude = -2.0;
    c = captureStreams([&] { EXPECT_TRUE(detectReferencePort(state)); });
    EXPECT_EQ(c.out, "Port de reference : Saint-Malo (saint-malo)\n");

    // The service unreachable or listing nothing.
    for (const char* badKey : {"sites-vide", "panne-500"}) {
        setTideKey(state, badKey);
        c = captureStreams([&] { EXPECT_FALSE(detectReferencePort(state)); });
        EXPECT_TRUE(state.detectionFailed);
        EXPECT_STREQ(state.siteId, "");
        EXPECT_EQ(state.siteName, "");
        EXPECT_TRUE(c.err.ends_with("Port de reference : detection echouee (API injoignable).\n")) << c.err;
    }
    // Sites without ids, a centre at 0/0, no key: failed, nothing said.
    setTideKey(state, "sites-sans-id");
    c = captureStreams([&] { EXPECT_FALSE(detectReferencePort(state)); });
    EXPECT_TRUE(state.detectionFailed);
    EXPECT_EQ(c.err + c.out, "");
    setTideKey(state, key);
    state.latitude = 0.0;
    state.longitude = 0.0;
    c = captureStreams([&] { EXPECT_FALSE(detectReferencePort(state)); });
    EXPECT_TRUE(state.detectionFailed);
    EXPECT_EQ(c.err + c.out, "");
    state.latitude = 48.39;
    setTideKey(state, "");
    EXPECT_FALSE(detectReferencePort(state));
}

TEST_F(TideClient, TodayAndDatedLoads) {
    TideState state = makeTideState();
    EXPECT_FALSE(loadTodayTide(state));  // no port yet: nothing asked
    setTideSiteId(state, "brest");
    ASSERT_TRUE(loadTodayTide(state));
    EXPECT_TRUE(state.samplesLoaded);
    EXPECT_EQ(state.samples.size(), 144u);
    EXPECT_EQ(state.displayedDate, today());
    EXPECT_NEAR(state.selectedHour, localClockHour(), 0.05f);

    Captured c = captureStreams([&] { loadTideForDate(state, "2027-06-21"); });
    EXPECT_EQ(c.out, "Maree chargee pour 2027-06-21 (144 points)\n");
    EXPECT_TRUE(state.loadAttempted);
    EXPECT_EQ(state.displayedDate, "2027-06-21");
    EXPECT_FLOAT_EQ(state.selectedHour, 12.0f);

    setTideSiteId(state, "test-sans-data");  // the service sends no point: loaded, empty
    c = captureStreams([&] { loadTideForDate(state, "2027-06-22"); });
    EXPECT_EQ(c.out, "Maree chargee pour 2027-06-22 (0 points)\n");
    EXPECT_TRUE(state.samplesLoaded);

    setTideSiteId(state, "test-500");
    c = captureStreams([&] { EXPECT_FALSE(loadTodayTide(state)); });
    EXPECT_FALSE(state.samplesLoaded);
    EXPECT_TRUE(c.err.ends_with("\nEchec recuperation maree du jour.\n")) << c.err;
    c = captureStreams([&] { loadTideForDate(state, "2027-06-23"); });
    EXPECT_TRUE(c.err.ends_with("\nEchec chargement maree pour 2027-06-23\n")) << c.err;
    EXPECT_EQ(state.displayedDate, "2027-06-22");

    resetTide(state);
    EXPECT_STREQ(state.siteId, "");
    EXPECT_TRUE(state.samples.empty());
    EXPECT_FALSE(state.samplesLoaded || state.loadAttempted);
    EXPECT_EQ(state.displayedDate, "");
    EXPECT_STREQ(state.apiKey, key.c_str());
}

TEST_F(TideClient, MonthCoefficients) {
    const LocalDate now = todayLocal();
    std::vector<DayCoefficients> days;
    Captured c = captureStreams([&] { EXPECT_TRUE(fetchMonthCoeffs(key, "brest", now.year, now.month, days)); });
    ASSERT_FALSE(days.empty());
    const std::string prefix = "Coefficients reels recuperes pour brest " + std::to_string(now.month) + "/" +
                               std::to_string(now.year) + " : " + std::to_string(days.size()) + " jour(s) (";
    EXPECT_EQ(c.out.rfind(prefix, 0), 0u) << c.out;
    EXPECT_NE(c.out.find(" -> "), std::string::npos);
    EXPECT_NE(c.out.find(formatDate(now.year, now.month, days.back().day) + ")\n"), std::string::npos) << c.out;
    for (const DayCoefficients& d : days) {
        EXPECT_TRUE(d.morning >= 20 || d.afternoon >= 20) << d.day;
        EXPECT_LE(std::max(d.morning, d.afternoon), 120) << d.day;
    }

    // Bad request values, and the reason that stops each failure.
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "brest", 1850, 3, days)); });
    EXPECT_EQ(c.err, "fetchMonthCoeffs : parametres invalides (year=1850, month=3)\n");
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "brest", 2026, 13, days)); });
    EXPECT_EQ(c.err, "fetchMonthCoeffs : parametres invalides (year=2026, month=13)\n");
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs("", "brest", 2026, 13, days)); });
    EXPECT_EQ(c.err, "");

    // A month ended more than 30 days ago is refused before any request (the
    // service is unreachable here, and no transport error shows).
    setenv("ABYSTO_TIDE_URL", closedPortUrl().c_str(), 1);
    const int oldMonth = now.month > 3 ? now.month - 3 : now.month + 9;
    const int oldYear = now.month > 3 ? now.year : now.year - 1;
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "brest", oldYear, oldMonth, days)); });
    EXPECT_EQ(c.err, "Coefficients : " + std::to_string(oldMonth) + "/" + std::to_string(oldYear) +
                         " est entierement hors de la fenetre J-30/J+30 de l'API.\n");
    setenv("ABYSTO_TIDE_URL", server->url().c_str(), 1);

    const std::string month = std::to_string(now.month) + "/" + std::to_string(now.year);
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "test-sans-data", now.year, now.month, days)); });
    EXPECT_EQ(c.err.rfind("Coefficients : reponse inattendue : {\"datum\":\"ZH\",", 0), 0u) << c.err;
    c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, "test-sans-pm", now.year, now.month, days)); });
    EXPECT_EQ(c.err, "Coefficients : aucune pleine mer exploitable pour " + month + "\n");
    for (const char* site : {"test-type-faux", "test-json-casse"}) {
        c = captureStreams([&] { EXPECT_FALSE(fetchMonthCoeffs(key, site, now.year, now.month, days)); });
        EXPECT_EQ(c.err.rfind("Erreur JSON /tide-extrema : ", 0), 0u) << c.err;
    }
    // Unreadable extremum times count as hour 0: still records.
    c = captureStreams([&] { EXPECT_TRUE(fetchMonthCoeffs(key, "test-heure-illisible", now.year, now.month, days)); });
    for (const DayCoefficients& d : days) EXPECT_GT(d.morning, 0) << d.day;
}
