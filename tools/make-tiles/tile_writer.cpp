#include "tools/make-tiles/tile_writer.h"

#include "tools/make-tiles/landscape.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace {

void append(std::string& out, const char* text) {
    out += text;
}

void appendHeight(std::string& out, double h) {
    if (std::fabs(h) < 0.005) h = 0.0;  // never "-0.00"
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, h, std::chars_format::fixed, 2);
    out.append(buf, end);
}

} // namespace

std::string tileFileName(int gx, int gy) {
    char name[96];
    std::snprintf(name, sizeof name, "LITTO3D_FRA_%04d_%04d_MNT1M_2021_LAMB93_RGF93_IGN69.asc", gx, gy);
    return name;
}

std::string tileText(int gx, int gy, uint32_t seed, int cells) {
    const double cellSize = 1000.0 / cells;
    const double west = gx * 1000.0;
    const double south = (gy - 1) * 1000.0;
    const double north = south + 1000.0;

    char cellText[32];
    std::snprintf(cellText, sizeof cellText, "%g", cellSize);
    std::string text;
    text.reserve(size_t(cells) * cells * 7 + 200);
    text += "ncols " + std::to_string(cells) + "\nnrows " + std::to_string(cells) + "\nxllcorner " +
            std::to_string(gx * 1000) + "\nyllcorner " + std::to_string((gy - 1) * 1000) + "\ncellsize " + cellText +
            "\nNODATA_value -99999\n";

    const std::vector<landscape::Hole> holes = landscape::holesNear(west, south, west + 1000.0, north, seed);
    std::vector<landscape::Hole> rowHoles;
    for (int row = 0; row < cells; ++row) {
        const double y = north - (row + 0.5) * cellSize;  // cell centre
        rowHoles.clear();
        for (const landscape::Hole& hole : holes)
            if (std::fabs(hole.y - y) <= hole.radius) rowHoles.push_back(hole);
        for (int col = 0; col < cells; ++col) {
            const double x = west + (col + 0.5) * cellSize;
            if (col > 0) text += ' ';
            bool hole = false;
            for (const landscape::Hole& h : rowHoles) {
                const double dx = x - h.x, dy = y - h.y;
                if (dx * dx + dy * dy <= h.radius * h.radius) hole = true;
            }
            if (hole)
                append(text, "-99999");
            else
                appendHeight(text, landscape::height(x, y, seed));
        }
        text += '\n';
    }
    return text;
}

bool writeTile(const std::string& outDir, int gx, int gy, uint32_t seed, std::string& error) {
    const std::string text = tileText(gx, gy, seed);
    namespace fs = std::filesystem;
    const fs::path target = fs::path(outDir) / tileFileName(gx, gy);
    const fs::path part = target.string() + ".part";
    std::FILE* f = std::fopen(part.c_str(), "wb");
    if (!f) {
        error = "Impossible d'écrire " + part.string();
        return false;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    std::error_code ec;
    if (!written || !closed) {
        fs::remove(part, ec);
        error = "Écriture incomplète de " + part.string();
        return false;
    }
    fs::rename(part, target, ec);
    if (ec) {
        error = "Impossible de renommer " + part.string() + " : " + ec.message();
        return false;
    }
    return true;
}
