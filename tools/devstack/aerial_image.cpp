#include "tools/devstack/aerial_image.h"

#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Stable speckle from the ground position, so the same place looks the same in every image.
float speckle(double x, double y) {
    uint32_t h = static_cast<uint32_t>(static_cast<int64_t>(std::floor(x / 2))) * 73856093u ^
                 static_cast<uint32_t>(static_cast<int64_t>(std::floor(y / 2))) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<float>(h & 0xffffu) / 65535.0f - 0.5f;  // -0.5 .. 0.5
}

const Rgb kOpenSea{24, 58, 88};
const Rgb kShallowWater{72, 150, 158};
const Rgb kDeepWater{20, 48, 82};
const Rgb kWetSand{176, 164, 128};
const Rgb kDrySand{214, 198, 156};
const Rgb kMeadow{104, 128, 72};
const Rgb kForest{58, 84, 50};
const Rgb kRock{128, 121, 110};

// `shade` is 1 on flat ground, more on slopes facing the light, less away from it.
Rgb groundColour(float height, float slopeDegrees, float shade) {
    if (height < 0.0f) {
        const float depth = -height;
        Rgb water = mix(kShallowWater, kDeepWater, depth / 25.0f);
        if (depth < 0.6f) water = mix(kWetSand, water, depth / 0.6f);  // sand showing through
        const float light = 1.0f + (shade - 1.0f) * 0.25f;               // the bottom's relief, softened
        return {water.r * light, water.g * light, water.b * light};
    }
    Rgb land;
    if (height < 2.5f) {
        land = mix(kWetSand, kDrySand, height / 1.0f);
    } else {
        land = mix(kMeadow, kForest, (height - 2.5f) / 60.0f);
        if (height < 4.0f) land = mix(kDrySand, land, (height - 2.5f) / 1.5f);
        land = mix(land, kRock, (slopeDegrees - 28.0f) / 12.0f);  // cliffs and steep banks
    }
    return {land.r * shade, land.g * shade, land.b * shade};
}

uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

// Colours the pixels whose centres lie at the Lambert-93 points x, y (NaN where
// the point is unknown), `metresX` by `metresY` apart.
void shadeImage(TerrainTiles& terrain, const std::vector<double>& x, const std::vector<double>& y, int width,
                int height, double metresX, double metresY, std::vector<uint8_t>& rgb) {
    const size_t count = x.size();
    const std::vector<float> h = terrain.heights(x, y, std::min(metresX, metresY));

    // Light from the north-west, 45 degrees up (x east, y north, z up).
    const float lightX = -0.5f, lightY = 0.5f, lightZ = 0.70710678f;
    rgb.assign(count * 3, 0);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const size_t i = static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
            Rgb colour;
            if (std::isnan(h[i])) {
                const float ripple = 1.0f + 0.06f * speckle(col * 7.0, row * 7.0);
                colour = {kOpenSea.r * ripple, kOpenSea.g * ripple, kOpenSea.b * ripple};
            } else {
                auto heightAt = [&](int c, int r) {
                    if (c < 0 || r < 0 || c >= width || r >= height) return h[i];
                    const float v = h[static_cast<size_t>(r) * static_cast<size_t>(width) + static_cast<size_t>(c)];
                    return std::isnan(v) ? h[i] : v;
                };
                const float dzdx = static_cast<float>((heightAt(col + 1, row) - heightAt(col - 1, row)) / (2 * metresX));
                const float dzdy = static_cast<float>((heightAt(col, row - 1) - heightAt(col, row + 1)) / (2 * metresY));
                const float length = std::sqrt(dzdx * dzdx + dzdy * dzdy + 1.0f);
                const float lit = (-dzdx * lightX - dzdy * lightY + lightZ) / length;
                const float shade = std::clamp(lit / lightZ, 0.35f, 1.35f);
                const float slope = std::atan(std::sqrt(dzdx * dzdx + dzdy * dzdy)) * 180.0f / static_cast<float>(M_PI);
                colour = groundColour(h[i], slope, shade);
                const float grain = 1.0f + 0.08f * speckle(x[i], y[i]);
                colour = {colour.r * grain, colour.g * grain, colour.b * grain};
            }
            rgb[i * 3] = toByte(colour.r);
            rgb[i * 3 + 1] = toByte(colour.g);
            rgb[i * 3 + 2] = toByte(colour.b);
        }
    }
}

} // namespace

bool renderAerialImage(TerrainTiles& terrain, const LatLonBox& box, int width, int height, std::vector<uint8_t>& rgb) {
    OGRSpatialReference wgs84, lambert93;
    if (wgs84.importFromEPSG(4326) != OGRERR_NONE || lambert93.importFromEPSG(2154) != OGRERR_NONE) return false;
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    lambert93.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> toLambert(OGRCreateCoordinateTransformation(&wgs84, &lambert93));
    if (!toLambert) return false;

    // Pixel centres, north row first; the transformation works in place (longitude, latitude -> x, y).
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const double lonStep = (box.maxLon - box.minLon) / width;
    const double latStep = (box.maxLat - box.minLat) / height;
    std::vector<double> x(count), y(count);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const size_t i = static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
            x[i] = box.minLon + (col + 0.5) * lonStep;
            y[i] = box.maxLat - (row + 0.5) * latStep;
        }
    }
    std::vector<int> transformed(count, 0);
    toLambert->Transform(static_cast<int>(count), x.data(), y.data(), nullptr, transformed.data());
    for (size_t i = 0; i < count; ++i) {
        if (!transformed[i]) x[i] = y[i] = std::nan("");
    }

    const double midLat = (box.minLat + box.maxLat) / 2 * M_PI / 180;
    const double metresX = std::max(lonStep * 111320.0 * std::cos(midLat), 1e-3);
    const double metresY = std::max(latStep * 110574.0, 1e-3);
    shadeImage(terrain, x, y, width, height, metresX, metresY, rgb);
    return true;
}

bool renderAerialImage(TerrainTiles& terrain, const Lambert93Box& box, int width, int height,
                       std::vector<uint8_t>& rgb) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    const double stepX = (box.maxX - box.minX) / width;
    const double stepY = (box.maxY - box.minY) / height;
    std::vector<double> x(count), y(count);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const size_t i = static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(col);
            x[i] = box.minX + (col + 0.5) * stepX;
            y[i] = box.maxY - (row + 0.5) * stepY;
        }
    }
    shadeImage(terrain, x, y, width, height, std::max(stepX, 1e-3), std::max(stepY, 1e-3), rgb);
    return true;
}
