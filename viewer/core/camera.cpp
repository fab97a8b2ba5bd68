#include "viewer/core/camera.h"

#include <algorithm>
#include <cmath>
#include <glm/gtc/matrix_transform.hpp>

glm::vec3 Camera::towardEye() const {
    const float p = glm::radians(pitch);
    const float y = glm::radians(yaw);
    return {std::cos(p) * std::cos(y), std::sin(p), std::cos(p) * std::sin(y)};
}

glm::vec3 Camera::eye() const { return target + distance * towardEye(); }

glm::mat4 Camera::view() const { return glm::lookAtRH(eye(), target, glm::vec3(0.0f, 1.0f, 0.0f)); }

glm::mat4 Camera::projection() const {
    const float a = aspect > 0.001f ? aspect : 1.0f;
    return glm::perspectiveRH_NO(glm::radians(fov), a, nearPlane, farPlane);
}

void Camera::orbit(float dx, float dy) {
    yaw += dx;
    pitch = std::clamp(pitch + dy, -89.0f, 89.0f);
}

void Camera::pan(float dx, float dy) {
    const glm::vec3 d = towardEye();
    const glm::vec3 r = glm::normalize(glm::cross(d, glm::vec3(0.0f, 1.0f, 0.0f)));
    const glm::vec3 u = glm::normalize(glm::cross(r, d));
    target += (-r * dx + u * dy) * distance * 0.0015f;
}

void Camera::zoom(float steps) {
    distance = std::clamp(distance * std::pow(0.9f, steps), 5.0f, 5e7f);
}

void Camera::moveForward(float amount) { target += -towardEye() * amount; }

void Camera::moveRight(float amount) {
    const glm::vec3 look = -towardEye();
    const glm::vec3 right = glm::normalize(glm::vec3(-look.z, 0.0f, look.x));
    target += right * amount;
}

void moveByKeys(Camera& camera, const MoveKeys& keys, float frameTime) {
    const float step = camera.distance * 0.6f * std::clamp(frameTime, 0.0f, kMaxMoveFrameTime);
    if (keys.forward) camera.moveForward(step);
    if (keys.back) camera.moveForward(-step);
    if (keys.right) camera.moveRight(step);
    if (keys.left) camera.moveRight(-step);
}

float steppedExaggeration(float current, int direction) {
    return std::clamp(std::round(current) + static_cast<float>(direction), 1.0f, 7.0f);
}
