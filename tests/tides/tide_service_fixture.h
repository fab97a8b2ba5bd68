// Tests against the tide stand-in: one server per test program, reached through ABYSTO_TIDE_URL.
#pragma once

#include "tests/support/devstack_process.h"
#include "tests/support/log_capture.h"
#include "tides/tide_dates.h"
#include "tides/tide_service_config.h"
#include "tides/tide_state.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

class TideServiceTest : public testing::Test {
protected:
    static inline std::unique_ptr<DevstackProcess> server;
    static void SetUpTestSuite() {
        unsetenv("ABYSTO_TIDE_KEY");
        server = std::make_unique<DevstackProcess>();
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        ASSERT_TRUE(server && server->started()) << "le service local n'a pas demarre";
        setenv("ABYSTO_TIDE_URL", server->url().c_str(), 1);
    }
    void TearDown() override { unsetenv("ABYSTO_TIDE_URL"); }

    const std::string key = kDefaultTideServiceKey;

    static std::string today() {
        const LocalDate d = todayLocal();
        return formatDate(d.year, d.month, d.day);
    }

    // A state's port, day and flags: "brest, Brest, 2026-12-06, 144 points, loaded", empty parts left out.
    static std::string shown(const TideState& s) {
        std::string text;
        for (const std::string& part :
             {std::string(s.siteId), s.siteName, s.displayedDate, std::to_string(s.samples.size()) + " points",
              std::string(s.samplesLoaded ? "loaded" : ""), std::string(s.loadAttempted ? "attempted" : ""),
              std::string(s.detectionFailed ? "failed" : ""), std::string(s.tidePanelOpen ? "open" : "")})
            if (!part.empty()) text += (text.empty() ? "" : ", ") + part;
        return text;
    }
};
