// The local tide service's extrema lie on its own water-level curve, as the
// calendar and passage-window tests take for granted.
#include "tides/fetch_url.h"
#include "tides/tide_client.h"
#include "tests/tides/tide_service_fixture.h"

#include <map>
#include <nlohmann/json.hpp>

using nlohmann::json;
using TideStandIn = TideServiceTest;

namespace {

json getJson(const std::string& url) {
    std::string body;
    EXPECT_TRUE(fetchUrl(url, body)) << url;
    return json::parse(body, nullptr, false);
}

} // namespace

TEST_F(TideStandIn, ExtremaLieOnTheCurve) {
    const std::string day = today();
    for (const char* site : {"brest", "le_havre", "saint-malo", "marseille"}) {
        const json levels = getJson(server->url() + "/water-levels?site=" + site + "&from=" + day + "T00:00&to=" + day +
                                    "T23:59&step=1&tz=Europe/Paris&key=" + key);
        const json extrema = getJson(server->url() + "/tide-extrema?site=" + site + "&from=" + day + "&to=" + day +
                                     "&tz=Europe/Paris&key=" + key);
        ASSERT_EQ(levels["data"].size(), 1440u);
        std::map<std::string, double> byClock;
        for (const json& p : levels["data"]) byClock[p["time"].get<std::string>().substr(11, 5)] = p["height"];

        const json& list = extrema["data"][0]["extrema"];
        ASSERT_GE(list.size(), 3u) << site;
        ASSERT_LE(list.size(), 5u) << site;
        for (size_t i = 0; i < list.size(); ++i) {
            const json& e = list[i];
            const bool high = e["type"] == "PM";
            if (i > 0) {
                EXPECT_NE(e["type"], list[i - 1]["type"]) << site;  // high and low alternate
            }
            const std::string clock = e["time"];
            ASSERT_TRUE(byClock.count(clock)) << clock;
            EXPECT_NEAR(byClock[clock], e["height"].get<double>(), 0.002) << site << " " << clock;
            // Nothing higher (lower) within half an hour on the curve.
            const int minute = std::stoi(clock.substr(0, 2)) * 60 + std::stoi(clock.substr(3, 2));
            for (int m = std::max(0, minute - 30); m <= std::min(1439, minute + 30); ++m) {
                char text[8];
                std::snprintf(text, sizeof text, "%02d:%02d", m / 60, m % 60);
                if (high) {
                    EXPECT_LE(byClock[text], e["height"].get<double>() + 1e-9) << site << " " << text;
                } else {
                    EXPECT_GE(byClock[text], e["height"].get<double>() - 1e-9) << site << " " << text;
                }
            }
            EXPECT_EQ(e["coef"].is_null(), !high);
        }
    }
}
