#include "viewer/core/camera.h"
#include "viewer/overlay_geometry.h"
#include "viewer/core/picking.h"
#include "tests/support/log_capture.h"

#include <cmath>
#include <glm/glm.hpp>
#include <gtest/gtest.h>

TEST(Camera, OrbitAndZoomStayWithinTheirBounds) {
    Camera c;
    c.orbit(10, 500);
    EXPECT_FLOAT_EQ(c.pitch, 89.0f);
    EXPECT_FLOAT_EQ(c.yaw, -80.0f);
    c.orbit(0, -1000);
    EXPECT_FLOAT_EQ(c.pitch, -89.0f);
    for (int i = 0; i < 10; ++i) c.zoom(1);
    EXPECT_NEAR(c.distance, 1743.4f, 0.1f);
    c.zoom(1000);
    EXPECT_FLOAT_EQ(c.distance, 5.0f);
    c.zoom(-1000);
    EXPECT_FLOAT_EQ(c.distance, 5e7f);
}

TEST(Camera, KeyboardAndPanMovesScaleWithDistance) {
    Camera c;
    c.distance = 1000;
    const glm::vec3 before = c.target;
    const glm::vec3 viewing = -c.towardEye();
    moveByKeys(c, {.forward = true}, 0.05f);  // W held through a 50 ms frame
    EXPECT_NEAR(glm::length(c.target - before), 30.0f, 1e-3f);
    EXPECT_NEAR(glm::dot(glm::normalize(c.target - before), viewing), 1.0f, 1e-5f);
    // A frame stalled for two seconds moves no further than one of 0.1 s.
    const glm::vec3 afterFirst = c.target;
    moveByKeys(c, {.forward = true, .right = true}, 2.0f);
    EXPECT_NEAR(glm::length(c.target - afterFirst), 60.0f * std::sqrt(2.0f), 1e-2f);

    Camera p;
    p.distance = 2000;
    p.pan(100, 0);  // right-drag of 100 pixels
    EXPECT_NEAR(glm::length(p.target), 300.0f, 1e-3f);
    EXPECT_NEAR(p.target.y, 0.0f, 1e-4f);  // a horizontal drag stays level
}

TEST(Camera, EyeAndMatricesAgree) {
    Camera c;
    c.target = {100, 0, -50};
    c.distance = 10;
    c.pitch = 0;
    c.yaw = 0;
    EXPECT_NEAR(c.eye().x, 110.0f, 1e-4f);
    const glm::vec4 t = c.projection() * c.view() * glm::vec4(c.target, 1.0f);
    EXPECT_NEAR(t.x / t.w, 0.0f, 1e-5f);  // the target is in the middle of the screen
    EXPECT_NEAR(t.y / t.w, 0.0f, 1e-5f);
    c.aspect = 0;  // a minimised window must not give a broken projection
    EXPECT_TRUE(std::isfinite(c.projection()[0][0]));
}

TEST(Camera, ExaggerationStepsStayWholeAndThePickStepGrowsWithDistance) {
    EXPECT_FLOAT_EQ(steppedExaggeration(7, +1), 7);
    EXPECT_FLOAT_EQ(steppedExaggeration(1, -1), 1);
    EXPECT_FLOAT_EQ(steppedExaggeration(2.6f, +1), 4);
    EXPECT_FLOAT_EQ(pickStep(500), 1.0f);
    EXPECT_FLOAT_EQ(pickStep(5000), 5.0f);
}

namespace {

struct PickFixture : testing::Test {
    Camera camera;
    std::vector<GridPoint> points;  // 200 x 200 one-metre cells at -5 m
    PickScene scene;
    void SetUp() override {
        for (int r = 0; r < 200; ++r)
            for (int c = 0; c < 200; ++c) points.push_back({float(c), -float(r), -5.0f, true});
        camera.target = {100, -5, 100};
        camera.distance = 300;
        camera.pitch = 60;
        camera.aspect = 800.0f / 600.0f;
        scene = {&camera, 800, 600, &points, 200, 200, 1.0f, 282.8f};
    }
    PickResult pickQuietly(float x, float y) {
        PickResult r;
        log = captureStreams([&] { r = pick(scene, x, y); }).out;
        return r;
    }
    std::string log;
};

} // namespace

TEST_F(PickFixture, CentreOfScreenHitsTheTarget) {
    const PickResult r = pickQuietly(400, 300);
    ASSERT_TRUE(r.hit) << log;
    EXPECT_FLOAT_EQ(r.depth, -5.0f);
    EXPECT_NEAR(r.x, 100.0f, 1.5f);
    EXPECT_NEAR(r.z, 100.0f, 1.5f);
    EXPECT_EQ(log.rfind("camDist=300 maxDist=1182.8 step=1\nrayOrigin=", 0), 0u) << log;
    EXPECT_NE(log.find("HIT apres "), std::string::npos);
}

TEST_F(PickFixture, HeightsFollowTheGridAndTheExaggeration) {
    for (int dr = -3; dr <= 3; ++dr)
        for (int dc = -3; dc <= 3; ++dc) points[(100 + dr) * 200 + 100 + dc].z = -3.0f;
    scene.exaggeration = 2.0f;
    camera.target.y = -6;
    const PickResult r = pickQuietly(400, 300);
    ASSERT_TRUE(r.hit);
    EXPECT_FLOAT_EQ(r.depth, -3.0f);
    EXPECT_FLOAT_EQ(r.y, -6.0f);
}

TEST_F(PickFixture, RayGoesThroughNoDataHoles) {
    for (int r = 80; r < 120; ++r)
        for (int c = 80; c < 120; ++c) points[r * 200 + c].valid = false;
    for (int r = 120; r < 200; ++r)
        for (int c = 0; c < 200; ++c) points[r * 200 + c].z = 40.0f;  // a cliff behind the hole
    const PickResult r = pickQuietly(400, 300);
    ASSERT_TRUE(r.hit) << log;
    EXPECT_FLOAT_EQ(r.depth, 40.0f);
    EXPECT_GE(std::lround(r.z), 120);
}

TEST_F(PickFixture, SkyAndEmptySceneMiss) {
    camera.pitch = 5;
    const PickResult sky = pickQuietly(400, 0);
    EXPECT_FALSE(sky.hit);
    EXPECT_NE(log.find("AUCUN HIT - echantillons="), std::string::npos) << log;

    scene.gridWidth = 0;
    EXPECT_FALSE(pickQuietly(400, 300).hit);
    EXPECT_EQ(log, "");  // nothing loaded: nothing printed
}

TEST(DepthMarkers, ListLinesAndLabels) {
    const DepthMarker m{10, 20, -3.4f};
    EXPECT_EQ(markerListLine(0, m, 1.2f), "#1 : fond -3.40m | eau actuelle : 4.60m");
    EXPECT_EQ(markerLabel(m, 1.2f), "-3.4m (eau: 4.6m)");
}
