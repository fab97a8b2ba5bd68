#include "tests/support/screen_reading.h"

#include "tests/support/gui_driver.h"

#include <algorithm>
#include <cstdlib>
#include <stb_image.h>

Rgb Screen::at(int x, int y) const {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * width + x) * 3];
    return {p[0], p[1], p[2]};
}

bool Screen::near(int x, int y, Rgb c, int tolerance) const {
    const Rgb p = at(x, y);
    return std::abs(p.r - c.r) <= tolerance && std::abs(p.g - c.g) <= tolerance && std::abs(p.b - c.b) <= tolerance;
}

Box Screen::clip(Box box) const {
    box.left = std::max(box.left, 0);
    box.top = std::max(box.top, 0);
    box.right = std::min(box.right, width - 1);
    box.bottom = std::min(box.bottom, height - 1);
    return box;
}

Screen loadScreen(const std::filesystem::path& png) {
    Screen screen;
    int channels = 0;
    unsigned char* data = stbi_load(png.string().c_str(), &screen.width, &screen.height, &channels, 3);
    if (!data) return Screen{};
    screen.rgb.assign(data, data + static_cast<size_t>(screen.width) * screen.height * 3);
    stbi_image_free(data);
    return screen;
}

Screen grabScreen(const std::string& name) {
    const std::filesystem::path png = std::filesystem::path(ABYSTO_BINARY_DIR) / "Testing/shots" / (name + ".png");
    std::filesystem::create_directories(png.parent_path());
    return captureScreen(png) ? loadScreen(png) : Screen{};
}

std::vector<Box> runsOf(const Screen& s, Rgb colour, int minRun, Box area) {
    area = s.clip(area);
    std::vector<Box> runs;
    for (int y = area.top; y <= area.bottom; ++y) {
        int run = 0;
        for (int x = area.left; x <= area.right + 1; ++x) {
            if (x <= area.right && s.near(x, y, colour)) {
                ++run;
                continue;
            }
            if (run >= minRun) runs.push_back({x - run, y, x - 1, y});
            run = 0;
        }
    }
    return runs;
}

Box boundsOf(const std::vector<Box>& boxes) {
    if (boxes.empty()) return {};
    Box all = boxes[0];
    for (const Box& b : boxes) {
        all.left = std::min(all.left, b.left);
        all.top = std::min(all.top, b.top);
        all.right = std::max(all.right, b.right);
        all.bottom = std::max(all.bottom, b.bottom);
    }
    return all;
}

std::vector<Box> rectanglesOf(const Screen& s, Rgb colour, int minRun, Box area) {
    std::vector<Box> boxes;
    for (const Box& run : runsOf(s, colour, minRun, area)) {
        bool merged = false;
        for (Box& b : boxes)
            if (run.left <= b.right && run.right >= b.left && run.top <= b.bottom + 24) {
                b.left = std::min(b.left, run.left);
                b.right = std::max(b.right, run.right);
                b.bottom = run.bottom;
                merged = true;
                break;
            }
        if (!merged) boxes.push_back(run);
    }
    std::sort(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) { return a.left < b.left; });
    return boxes;
}

int countNear(const Screen& s, Rgb colour, int tolerance, Box area) {
    area = s.clip(area);
    int count = 0;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) count += s.near(x, y, colour, tolerance);
    return count;
}

int differingPixels(const Screen& a, const Screen& b, Box area) {
    area = a.clip(area);
    int count = 0;
    for (int y = area.top; y <= area.bottom; ++y)
        for (int x = area.left; x <= area.right; ++x) {
            const Rgb p = a.at(x, y), q = b.at(x, y);
            count += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b) > 12;
        }
    return count;
}

// The UI's light text (not the greyed one).
static bool brightText(Rgb p) { return p.r > 150 && p.g > 150 && p.b > 150; }

std::vector<std::pair<int, int>> textBands(const Screen& s, Box area, bool rows, int gap) {
    area = s.clip(area);
    std::vector<std::pair<int, int>> bands;
    const int first = rows ? area.top : area.left, last = rows ? area.bottom : area.right;
    int start = -1, lastHit = -1;
    for (int i = first; i <= last; ++i) {
        bool hit = false;
        const int from = rows ? area.left : area.top, to = rows ? area.right : area.bottom;
        for (int j = from; j <= to && !hit; ++j) hit = brightText(rows ? s.at(j, i) : s.at(i, j));
        if (!hit) continue;
        if (start >= 0 && i - lastHit > gap) {
            bands.push_back({start, lastHit});
            start = -1;
        }
        if (start < 0) start = i;
        lastHit = i;
    }
    if (start >= 0) bands.push_back({start, lastHit});
    return bands;
}
