// The orbit camera: it circles a target point at a distance.
#pragma once

#include <glm/glm.hpp>

struct Camera {
    glm::vec3 target{0.0f, 0.0f, 0.0f};
    float distance = 5000.0f;
    float yaw = -90.0f;   // degrees
    float pitch = 30.0f;  // degrees, kept within [-89, 89] by orbit
    float fov = 45.0f;
    float aspect = 16.0f / 9.0f;
    float nearPlane = 1.0f;
    float farPlane = 200000.0f;

    // Unit vector from the target toward the eye.
    glm::vec3 towardEye() const;
    glm::vec3 eye() const;
    glm::mat4 view() const;
    glm::mat4 projection() const;

    void orbit(float dx, float dy);
    void pan(float dx, float dy);  // window pixels
    void zoom(float steps);        // one wheel notch forward = 10 % closer
    void moveForward(float amount);
    void moveRight(float amount);
};

// The movement keys held during one frame.
struct MoveKeys {
    bool forward = false, back = false, right = false, left = false;
};

// Longest frame time one keyboard step counts: a frame that stalls (a
// blocking request, software rendering) must not carry the camera kilometres.
inline constexpr float kMaxMoveFrameTime = 0.1f;

// Moves the target by 60 % of the camera distance per second of the frame.
void moveByKeys(Camera& camera, const MoveKeys& keys, float frameTime);

// The exaggeration after one key step up (+1) or down (-1): a whole number from 1 to 7.
float steppedExaggeration(float current, int direction);
