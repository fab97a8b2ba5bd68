// The local tide service's extrema lie on its own water-level curve, as the
// calendar and passage-window tests take for granted.
#include "tides/fetch_url.h"
#include "tests/tides/tide_service_fixture.h"

#include <cmath>
#include <nlohmann/json.hpp>

using nlohmann::json;
using TideStandIn = TideServiceTest;

TEST_F(TideStandIn, ExtremaLieOnTheCurve) {
    const auto get = [&](const std::string& query) {
        std::string body;
        EXPECT_TRUE(fetchUrl(server->url() + query + "&tz=Europe/Paris&key=" + key, body)) << query;
        return json::parse(body, nullptr, false);
    };
    const auto minuteOf = [](const std::string& clock) {
        return std::stoi(clock.substr(0, 2)) * 60 + std::stoi(clock.substr(3, 2));
    };
    const std::string day = today();
    for (const std::string site : {"brest", "le_havre", "saint-malo", "marseille"}) {
        SCOPED_TRACE(site);
        const json levels = get("/water-levels?site=" + site + "&from=" + day + "T00:00&to=" + day + "T23:59&step=1");
        ASSERT_EQ(levels["data"].size(), 1440u);
        std::vector<double> byMinute(1440, NAN);
        for (const json& p : levels["data"])
            byMinute.at(minuteOf(p["time"].get<std::string>().substr(11))) = p["height"];

        const json list = get("/tide-extrema?site=" + site + "&from=" + day + "&to=" + day)["data"][0]["extrema"];
        ASSERT_TRUE(list.size() >= 3 && list.size() <= 5) << list.size();
        for (size_t i = 0; i < list.size(); ++i) {
            const json& e = list[i];
            const bool high = e["type"] == "PM";
            const std::string clock = e["time"];
            EXPECT_TRUE(i == 0 || e["type"] != list[i - 1]["type"]) << clock;  // high and low alternate
            EXPECT_EQ(e["coef"].is_null(), !high);
            const int minute = minuteOf(clock);
            const double height = e["height"];
            EXPECT_NEAR(byMinute.at(minute), height, 0.002) << clock;
            // Nothing higher (lower) within half an hour on the curve.
            for (int m = std::max(0, minute - 30); m <= std::min(1439, minute + 30); ++m)
                EXPECT_TRUE(high ? byMinute[m] <= height + 1e-9 : byMinute[m] >= height - 1e-9) << clock << " " << m;
        }
    }
}
