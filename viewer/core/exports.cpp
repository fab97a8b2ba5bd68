#include "viewer/core/exports.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <locale>
#include <sstream>

namespace {

// The stream's default number format (six significant digits), whatever the user's locale.
struct DefaultNumbers : std::ostringstream {
    DefaultNumbers() { imbue(std::locale::classic()); }
};

void put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

} // namespace

std::vector<std::optional<GeoPoint>> markerPositionsWgs84(const std::vector<DepthMarker>& markers,
                                                          double originX, double originY) {
    std::vector<std::optional<GeoPoint>> positions;
    positions.reserve(markers.size());
    for (const DepthMarker& m : markers) {
        GeoPoint p;
        if (lambert93ToWgs84(originX + m.x, originY - m.z, p))
            positions.emplace_back(p);
        else
            positions.emplace_back();
    }
    return positions;
}

std::string markersCsv(const std::vector<DepthMarker>& markers,
                       const std::vector<std::optional<GeoPoint>>& positions, float seaLevel) {
    DefaultNumbers out;
    out << "numero;latitude;longitude;profondeur_m;hauteur_eau_m\r\n";
    for (size_t i = 0; i < markers.size() && i < positions.size(); ++i) {
        if (!positions[i]) continue;  // the numbering keeps its gap
        const float water = std::max(0.0f, seaLevel - markers[i].depth);
        out << i + 1 << ';' << positions[i]->lat << ';' << positions[i]->lon << ';' << markers[i].depth << ';'
            << water << "\r\n";
    }
    return out.str();
}

std::string markersGpx(const std::vector<DepthMarker>& markers,
                       const std::vector<std::optional<GeoPoint>>& positions) {
    DefaultNumbers out;
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<gpx version=\"1.1\" creator=\"Abysto 3D\">\r\n";
    for (size_t i = 0; i < markers.size() && i < positions.size(); ++i) {
        if (!positions[i]) continue;
        char depth[32];
        std::snprintf(depth, sizeof depth, "%.2f", markers[i].depth);
        out << "  <wpt lat=\"" << positions[i]->lat << "\" lon=\"" << positions[i]->lon << "\">\r\n"
            << "    <name>Marqueur " << i + 1 << "</name>\r\n"
            << "    <desc>Profondeur: " << depth << " m</desc>\r\n"
            << "    <ele>" << depth << "</ele>\r\n"
            << "  </wpt>\r\n";
    }
    out << "</gpx>\r\n";
    return out.str();
}

std::vector<uint8_t> encodeBmp(int width, int height, const std::vector<uint8_t>& rgbBottomUp) {
    const size_t w = static_cast<size_t>(std::max(width, 0));
    const size_t h = static_cast<size_t>(std::max(height, 0));
    const size_t rowSize = (3 * w + 3) & ~size_t{3};
    const size_t imageSize = rowSize * h;
    std::vector<uint8_t> bmp(54 + imageSize, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(bmp, 2, static_cast<uint32_t>(54 + imageSize));
    put32(bmp, 10, 54);
    put32(bmp, 14, 40);
    put32(bmp, 18, static_cast<uint32_t>(w));
    put32(bmp, 22, static_cast<uint32_t>(h));
    put16(bmp, 26, 1);
    put16(bmp, 28, 24);
    put32(bmp, 34, static_cast<uint32_t>(imageSize));
    if (rgbBottomUp.size() < w * h * 3) return bmp;
    for (size_t row = 0; row < h; ++row) {
        const uint8_t* src = &rgbBottomUp[row * w * 3];
        uint8_t* dst = &bmp[54 + row * rowSize];
        for (size_t x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    return bmp;
}

bool writeExportFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "Erreur : impossible d'ouvrir " << path << " en écriture." << std::endl;
        return false;
    }
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "Erreur : écriture incomplète de " << path << "." << std::endl;
        return false;
    }
    return true;
}
