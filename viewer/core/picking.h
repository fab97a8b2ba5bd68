// Finding the terrain under a framebuffer pixel, and the depth markers
// placed that way.
#pragma once

#include "terrain/terrain_grid.h"
#include "viewer/core/camera.h"

#include <glm/glm.hpp>
#include <optional>
#include <string>
#include <vector>

struct PickResult {
    bool hit = false;
    float x = 0;      // world
    float y = 0;      // exaggerated terrain height at the hit
    float z = 0;      // world
    float depth = 0;  // the grid point's height in metres, not exaggerated
};

// What a ray march needs to know about the terrain on screen.
struct PickScene {
    const Camera* camera = nullptr;
    int framebufferWidth = 0;
    int framebufferHeight = 0;
    const std::vector<GridPoint>* points = nullptr;
    int gridWidth = 0;
    int gridHeight = 0;
    float exaggeration = 1.0f;
    float diagonal = 0;
};

// Ray step for a camera distance: 0.1 % of it, at least one metre.
float pickStep(float cameraDistance);

// Casts a ray through framebuffer pixel (px, py) (origin top-left) and marches
// it over the grid until it meets the surface. Logs its progress on stdout.
PickResult pick(const PickScene& scene, float px, float py);

struct DepthMarker {
    float x = 0;
    float z = 0;
    float depth = 0;  // metres in the terrain's vertical datum
};

// Height of water over a marker at a sea level (negative: dry).
inline float waterOver(const DepthMarker& m, float seaLevel) { return seaLevel - m.depth; }

// The marker list's line and the 3D label of a marker.
std::string markerListLine(int index, const DepthMarker& m, float seaLevel);
std::string markerLabel(const DepthMarker& m, float seaLevel);

// Where the pins stand: (x, depth x exaggeration, z) of each marker.
std::vector<glm::vec3> markerPinPositions(const std::vector<DepthMarker>& markers, float exaggeration);

// Framebuffer pixel (origin top-left) where a marker's label starts: 8 px right
// of and 16 px above its pin's foot; nothing when the foot is behind the camera
// or outside the depth range.
std::optional<glm::vec2> markerLabelPosition(const glm::mat4& viewProjection, const DepthMarker& m,
                                             float exaggeration, int framebufferWidth, int framebufferHeight);
