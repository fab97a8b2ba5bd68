#include "tests/viewer/gl_test_support.h"

#include "tests/support/process.h"

#include <chrono>
#include <filesystem>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <stb_image.h>
#include <stb_image_write.h>
#include <thread>

std::string testDataRoot() { return std::string(ABYSTO_BINARY_DIR) + "/data"; }

bool pumpUntil(const std::function<bool()>& done, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        glfwPollEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<unsigned char> readFramebuffer(int width, int height, unsigned int glBuffer) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glReadBuffer(glBuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

Rgba pixelAt(const std::vector<unsigned char>& pixels, int width, int x, int y) {
    const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

std::string saveScreenshot(const std::string& name, int width, int height, const std::vector<unsigned char>& pixels) {
    const std::filesystem::path dir = std::filesystem::path(ABYSTO_BINARY_DIR) / "Testing" / "viewer";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / name).string();
    stbi_flip_vertically_on_write(1);
    stbi_write_png(file.c_str(), width, height, 4, pixels.data(), width * 4);
    stbi_flip_vertically_on_write(0);
    return file;
}

Rgba ScreenImage::at(int x, int yFromTop) const {
    const unsigned char* p = &rgba[(static_cast<size_t>(yFromTop) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

ScreenImage captureScreen(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(ABYSTO_BINARY_DIR) / "Testing" / "viewer";
    std::filesystem::create_directories(dir);
    const std::string file = (dir / name).string();
    ScreenImage image;
    if (runProcess("/usr/bin/import", {"-window", "root", file}).exitCode != 0) return image;
    int channels = 0;
    unsigned char* pixels = stbi_load(file.c_str(), &image.width, &image.height, &channels, 4);
    if (!pixels) return image;
    image.rgba.assign(pixels, pixels + static_cast<size_t>(image.width) * image.height * 4);
    stbi_image_free(pixels);
    image.ok = true;
    return image;
}

TerrainGrid makeSlopeGrid(int cols, int rows, float low, float high) {
    TerrainGrid grid;
    grid.width = cols;
    grid.height = rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.points.push_back({static_cast<float>(c), -static_cast<float>(r),
                                   low + (high - low) * static_cast<float>(c) / static_cast<float>(cols - 1), true});
    for (int r = 0; r + 1 < rows; ++r)
        for (int c = 0; c + 1 < cols; ++c) {
            const uint32_t a = r * cols + c, b = a + 1, d = a + cols, e = d + 1;
            grid.triangles.push_back({a, b, d});
            grid.triangles.push_back({b, e, d});
        }
    return grid;
}
