// The local tide service behaves like a real one: extrema lie on the
// water-level curve, coefficients follow the Moon, errors are HTTP errors.
#include "tides/fetch_url.h"
#include "tides/tide_client.h"
#include "tests/tides/tide_service_fixture.h"

#include <cmath>
#include <map>
#include <nlohmann/json.hpp>

using nlohmann::json;
using TideStandIn = TideServiceTest;

namespace {

std::string dateAround(int dayOffset) {
    const LocalDate d = todayLocal();
    std::time_t t = localNoon(d.year, d.month, d.day) + static_cast<std::time_t>(dayOffset) * 86400;
    std::tm local{};
    localtime_r(&t, &local);
    return formatDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

json getJson(const std::string& url) {
    std::string body;
    EXPECT_TRUE(fetchUrl(url, body)) << url;
    return json::parse(body, nullptr, false);
}

// Days since the last new moon at a UTC instant (mean lunation).
double moonAge(double unixSeconds) {
    const double lunation = 29.530588853;
    const double days = (unixSeconds - 947182440.0) / 86400.0;  // new moon of 2000-01-06 18:14 UTC
    return std::fmod(std::fmod(days, lunation) + lunation, lunation);
}

} // namespace

TEST_F(TideStandIn, ExtremaLieOnTheCurve) {
    const std::string day = dateAround(0);
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

TEST_F(TideStandIn, CoefficientsFollowTheMoon) {
    const json answer = getJson(server->url() + "/tide-extrema?site=brest&from=" + dateAround(-30) + "&to=" +
                                dateAround(30) + "&tz=Europe/Paris&key=" + key);
    ASSERT_EQ(answer["data"].size(), 61u);
    int lowest = 1000, highest = 0;
    std::string lowestDay, highestDay;
    for (const json& day : answer["data"]) {
        for (const json& e : day["extrema"]) {
            if (e["type"] != "PM") continue;
            const int c = e["coef"];
            EXPECT_GE(c, 20);
            EXPECT_LE(c, 120);
            if (c < lowest) lowest = c, lowestDay = day["date"];
            if (c > highest) highest = c, highestDay = day["date"];
        }
    }
    EXPECT_LT(lowest, 60);
    EXPECT_GT(highest, 75);

    // Spring tides come one to three days after a new or full moon, neap
    // tides as long after a quarter (the age of the tide at Brest); the mean
    // lunation used here strays up to about half a day from the true phases.
    const double halfLunation = 29.530588853 / 2;
    const auto daysAfter = [&](const std::string& date, double phase) {
        std::tm noon{};
        noon.tm_year = std::stoi(date.substr(0, 4)) - 1900;
        noon.tm_mon = std::stoi(date.substr(5, 2)) - 1;
        noon.tm_mday = std::stoi(date.substr(8, 2));
        noon.tm_hour = 12;
        const double age = moonAge(static_cast<double>(timegm(&noon)));
        const double after = std::fmod(age - phase + 2 * halfLunation, halfLunation);
        return after > halfLunation - 1.0 ? after - halfLunation : after;
    };
    EXPECT_LE(daysAfter(highestDay, 0.0), 4.0) << highestDay;
    EXPECT_GE(daysAfter(highestDay, 0.0), -1.0) << highestDay;
    EXPECT_LE(daysAfter(lowestDay, halfLunation / 2), 4.0) << lowestDay;
    EXPECT_GE(daysAfter(lowestDay, halfLunation / 2), -1.0) << lowestDay;
}

TEST_F(TideStandIn, RequestChecks) {
    const std::string base = server->url();
    std::string body;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(fetchUrl(base + "/water-levels?site=brest&from=2026-12-06T00:00&to=2026-12-06T23:59&key=faux", body));
    EXPECT_NE(body.find("Cle API invalide"), std::string::npos);
    EXPECT_FALSE(fetchUrl(base + "/tide-extrema?site=brest&from=" + dateAround(0) + "&to=" + dateAround(0), body));
    EXPECT_NE(body.find("Cle API invalide"), std::string::npos);
    EXPECT_FALSE(fetchUrl(base + "/tide-extrema?site=brest&from=" + dateAround(60) + "&to=" + dateAround(61) +
                              "&tz=Europe/Paris&key=" + key, body));
    EXPECT_NE(body.find("J-30"), std::string::npos) << body;
    EXPECT_FALSE(fetchUrl(base + "/water-levels?site=brest&from=2026-12-06T00:00&to=2026-12-06T23:59&tz=Mars/Olympus&key=" + key, body));
    EXPECT_FALSE(fetchUrl(base + "/water-levels?site=brest&from=hier&to=demain&key=" + key, body));
    EXPECT_FALSE(fetchUrl(base + "/water-levels?site=brest&from=2026-12-06T00:00&to=2026-12-06T23:59&step=0&key=" + key, body));
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("HTTP 401 sur "), std::string::npos);
    EXPECT_NE(log.find("HTTP 400 sur "), std::string::npos);

    // The step asked for is the step served, in UTC.
    std::vector<WaterLevelSample> samples;
    ASSERT_TRUE(fetchWaterLevels(key, "dunkerque", "2027-03-28", 30, samples));  // the day clocks change in Paris
    ASSERT_EQ(samples.size(), 48u);
    EXPECT_FLOAT_EQ(samples[47].hour, 23.5f);
}
