#include "viewer/core/picking.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <glm/glm.hpp>
#include <iostream>

float pickStep(float cameraDistance) { return std::max(cameraDistance * 0.001f, 1.0f); }

PickResult pick(const PickScene& scene, float px, float py) {
    PickResult result;
    if (!scene.camera || !scene.points || scene.gridWidth == 0 || scene.gridHeight == 0) return result;
    if (scene.framebufferWidth <= 0 || scene.framebufferHeight <= 0) return result;

    const float ndcX = 2.0f * px / static_cast<float>(scene.framebufferWidth) - 1.0f;
    const float ndcY = 1.0f - 2.0f * py / static_cast<float>(scene.framebufferHeight);
    const glm::mat4 inverse = glm::inverse(scene.camera->projection() * scene.camera->view());
    glm::vec4 nearPoint = inverse * glm::vec4(ndcX, ndcY, -1.0f, 1.0f);
    glm::vec4 farPoint = inverse * glm::vec4(ndcX, ndcY, 1.0f, 1.0f);
    nearPoint /= nearPoint.w;
    farPoint /= farPoint.w;
    const glm::vec3 origin(nearPoint);
    const glm::vec3 direction = glm::normalize(glm::vec3(farPoint) - glm::vec3(nearPoint));

    const float camDist = scene.camera->distance;
    const float step = pickStep(camDist);
    const float maxDist = camDist * 3.0f + scene.diagonal;
    std::cout << "camDist=" << camDist << " maxDist=" << maxDist << " step=" << step << "\n"
              << "rayOrigin=" << origin.x << "," << origin.y << "," << origin.z << "\n"
              << "rayDir=" << direction.x << "," << direction.y << "," << direction.z << std::endl;

    const std::vector<GridPoint>& points = *scene.points;
    long samples = 0, inGrid = 0, valid = 0;
    for (float t = 0.0f; t < maxDist; t += step) {
        ++samples;
        const float sx = origin.x + direction.x * t;
        const float sz = origin.z + direction.z * t;
        const long gx = std::lround(sx);
        const long gz = std::lround(sz);
        if (gx < 0 || gx >= scene.gridWidth || gz < 0 || gz >= scene.gridHeight) continue;
        ++inGrid;
        const size_t index = static_cast<size_t>(gz) * static_cast<size_t>(scene.gridWidth) + static_cast<size_t>(gx);
        if (index >= points.size() || !points[index].valid) continue;
        const float rayY = origin.y + direction.y * t;
        const float terrainY = points[index].z * scene.exaggeration;
        if (terrainY >= rayY) {
            std::cout << "HIT apres " << samples << " echantillons, gx=" << gx << " gy=" << gz << " p.y=" << rayY
                      << " terrainY=" << terrainY << std::endl;
            return {true, sx, terrainY, sz, points[index].z};
        }
        ++valid;
    }
    std::cout << "AUCUN HIT - echantillons=" << samples << " dansGrille=" << inGrid << " valides=" << valid
              << std::endl;
    return result;
}

std::string markerListLine(int index, const DepthMarker& m, float seaLevel) {
    char text[128];
    std::snprintf(text, sizeof text, "#%d : fond %.2fm | eau actuelle : %.2fm", index + 1, m.depth,
                  waterOver(m, seaLevel));
    return text;
}

std::string markerLabel(const DepthMarker& m, float seaLevel) {
    char text[96];
    std::snprintf(text, sizeof text, "%.1fm (eau: %.1fm)", m.depth, waterOver(m, seaLevel));
    return text;
}

std::vector<glm::vec3> markerPinPositions(const std::vector<DepthMarker>& markers, float exaggeration) {
    std::vector<glm::vec3> positions;
    positions.reserve(markers.size());
    for (const DepthMarker& m : markers) positions.emplace_back(m.x, m.depth * exaggeration, m.z);
    return positions;
}

std::optional<glm::vec2> markerLabelPosition(const glm::mat4& viewProjection, const DepthMarker& m,
                                             float exaggeration, int framebufferWidth, int framebufferHeight) {
    const glm::vec4 clip = viewProjection * glm::vec4(m.x, m.depth * exaggeration, m.z, 1.0f);
    if (clip.w <= 0.0f) return std::nullopt;
    const glm::vec3 ndc = glm::vec3(clip) / clip.w;
    if (ndc.z < -1.0f || ndc.z > 1.0f) return std::nullopt;
    return glm::vec2(static_cast<float>(framebufferWidth) * (ndc.x * 0.5f + 0.5f) + 8.0f,
                     static_cast<float>(framebufferHeight) * (1.0f - (ndc.y * 0.5f + 0.5f)) - 16.0f);
}
