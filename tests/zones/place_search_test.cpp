// The place search against the geocoding stand-in: the request sent, the answer read, the failures.
#include "zones/place_search.h"

#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(PlaceSearch, QueriesSentEncodedAnswersReadAndFailuresReported) {
    DevstackProcess server;
    ASSERT_TRUE(server.started()) << "le service local n'a pas demarre";
    setenv("ABYSTO_GEOCODING_URL", (server.url() + "/").c_str(), 1);
    const struct {
        const char* query;
        int limit;
        const char* target;  // what the service must have received
        size_t count;
        const char *label, *city, *postcode;
        double lat, lon;
    } rows[] = {
        {"Le Conquet", 5, "/geocodage/search?q=Le%20Conquet&type=municipality&limit=5", 1, "Le Conquet",
         "Le Conquet", "29217", 48.359533, -4.782833},
        // A site without city or postcode: the city is its label.
        {"ÉTRETAT", 5, "/geocodage/search?q=%C3%89TRETAT&type=municipality&limit=5", 1, "Étretat", "Étretat", "",
         49.713333, 0.198333},
        {"Saint", 2, "/geocodage/search?q=Saint&type=municipality&limit=2", 2, nullptr, nullptr, nullptr, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        std::vector<PlaceResult> results;
        const Captured log = captureStreams([&] { EXPECT_TRUE(searchPlaces(row.query, results, row.limit)); });
        EXPECT_EQ(log.err, "");
        EXPECT_EQ(server.count(row.target), 1);
        ASSERT_EQ(results.size(), row.count);
        if (!row.label) continue;
        EXPECT_EQ(results[0].label, row.label);
        EXPECT_EQ(results[0].city, row.city);
        EXPECT_EQ(results[0].postcode, row.postcode);
        EXPECT_NEAR(results[0].lat, row.lat, 1e-6);
        EXPECT_NEAR(results[0].lon, row.lon, 1e-6);
    }

    const struct { const char* query; const char* message; size_t kept; } failures[] = {
        {"test-json-casse", "Erreur parsing géocodage : ", 0},
        {"test-coordonnee-texte", "Erreur parsing géocodage : coordonnée non numérique", 1},
        {"Brest", "Erreur géocodage : ", 0},  // nothing listens
    };
    for (const auto& row : failures) {
        SCOPED_TRACE(row.query);
        if (row.query == std::string("Brest")) setenv("ABYSTO_GEOCODING_URL", closedPortUrl().c_str(), 1);
        std::vector<PlaceResult> results;
        const Captured log = captureStreams([&] { EXPECT_FALSE(searchPlaces(row.query, results, 5)); });
        EXPECT_EQ(log.err.rfind(row.message, 0), 0u) << log.err;
        EXPECT_EQ(results.size(), row.kept);
    }
    unsetenv("ABYSTO_GEOCODING_URL");
}
