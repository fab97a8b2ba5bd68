// Geometry rules of the window and the splash bar, and the font file choice.
#include "app/splash.h"
#include "tests/support/temp_dir.h"
#include "viewer/ui_manager.h"
#include "viewer/window_layout.h"

#include <gtest/gtest.h>
#include <string>

TEST(WindowLayout, WindowedSizeIsThreeQuartersOfTheMonitorAndAChosenSizeIsCentred) {
    const WindowSize small = windowedSizeForMonitor(1366, 768);
    EXPECT_EQ(small.width, 1024);  // 1024.5 truncated
    EXPECT_EQ(small.height, 576);
    const WindowPosition p = centredWindowPosition(1920, 1080, 1600, 900);
    EXPECT_EQ(p.x, 160);
    EXPECT_EQ(p.y, 90);
}

TEST(SplashBar, FractionFillsThatShareOfTheTrackElseABlockFollowsTheClock) {
    const SplashBarRect full = splashBarRect(100.0f, 50.0f, 1.0f, 0.0);
    EXPECT_FLOAT_EQ(full.x0, 100.0f);
    EXPECT_FLOAT_EQ(full.x1, 400.0f);
    EXPECT_FLOAT_EQ(full.y0, 50.0f);
    EXPECT_FLOAT_EQ(full.y1, 53.0f);
    EXPECT_FLOAT_EQ(splashBarRect(0.0f, 0.0f, 0.85f, 0.0).x1, 255.0f);
    EXPECT_FLOAT_EQ(splashBarRect(0.0f, 0.0f, 0.0f, 0.0).x1, 0.0f);

    // Indeterminate: a block that follows the clock.
    const SplashBarRect atZero = splashBarRect(0.0f, 0.0f, -1.0f, 0.0);
    EXPECT_FLOAT_EQ(atZero.x0, 130.0f);  // centred on the track's middle
    EXPECT_FLOAT_EQ(atZero.x1, 170.0f);
    const double quarter = 3.14159265358979 / 6.0;  // sin(3t) = 1: right end
    const SplashBarRect right = splashBarRect(0.0f, 0.0f, -1.0f, quarter);
    EXPECT_NEAR(right.x0, 280.0f, 1e-3);
    EXPECT_NEAR(right.x1, 320.0f, 1e-3);  // overhangs the track by 20 pixels
}

TEST(UiFonts, TrueTypeFileIsPreferredOverOpenType) {
    TempDir dir;
    EXPECT_EQ(uiFontFile(dir.str(), "Inter-Regular"), "");
    writeFile(dir / "Inter-Regular.otf", "x");
    EXPECT_EQ(uiFontFile(dir.str(), "Inter-Regular"), dir.str() + "/Inter-Regular.otf");
    writeFile(dir / "Inter-Regular.ttf", "x");
    EXPECT_EQ(uiFontFile(dir.str(), "Inter-Regular"), dir.str() + "/Inter-Regular.ttf");
}

// Every window lies on the display and clear of the others; only the help and
// the calendar, which come to the front when opened, may cover the settings
// and exaggeration windows or each other.
TEST(WindowLayout, FirstPlacesLieOnTheDisplayAndClearOfOneAnother) {
    struct Row {
        float width, height;
    };
    for (const Row display : {Row{1440, 810}, Row{1920, 1080}, Row{2560, 1440}}) {
        UiMetrics m;
        m.displayWidth = display.width;
        m.displayHeight = display.height;
        const UiLayout l = uiLayout(m);
        struct Named {
            const char* name;
            UiRect rect;
            bool large;  // comes over the opened small windows
            bool opened;
        };
        const Named windows[] = {{"toolbar", l.toolbar, false, false},         {"legend", l.legend, false, false},
                                 {"markers", l.markers, false, false},         {"help", l.help, true, true},
                                 {"calendar", l.calendar, true, true},         {"settings", l.settings, false, true},
                                 {"exaggeration", l.exaggeration, false, true}};
        for (const Named& a : windows) {
            SCOPED_TRACE(std::string(a.name) + " at " + std::to_string(int(display.width)));
            EXPECT_GE(a.rect.x, 0);
            EXPECT_GE(a.rect.y, m.frameHeight);  // under the main menu bar
            EXPECT_LE(a.rect.right(), display.width);
            EXPECT_LE(a.rect.bottom(), display.height);
            for (const Named& b : windows) {
                if (&a == &b || (a.opened && b.opened && (a.large || b.large))) continue;
                EXPECT_FALSE(overlaps(a.rect, b.rect)) << "over " << b.name;
            }
        }
        // The settings window holds its four size buttons, the marker list eight lines.
        EXPECT_GE(l.settings.width, 4 * 150 + 3 * 8 + 2 * m.padding);
        EXPECT_GE(l.markers.height, m.frameHeight * 2 + 8 * (m.lineHeight + m.spacing));
    }
}
