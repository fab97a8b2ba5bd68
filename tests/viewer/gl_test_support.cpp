#include "tests/viewer/gl_test_support.h"

#include "tests/support/gui_driver.h"
#include "viewer/viewer.h"

#include <chrono>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui_impl_glfw.h>
#include <imgui_internal.h>

std::string testDataRoot() { return std::string(ABYSTO_BINARY_DIR) + "/data"; }

bool pumpUntil(const std::function<bool()>& done, double seconds) {
    const auto poll = [&] {
        glfwPollEvents();
        return done();
    };
    return waitUntil(poll, std::chrono::milliseconds(static_cast<int>(seconds * 1000)), std::chrono::milliseconds(10));
}

bool near(const Rgba& got, const Rgba& want, int tolerance) {
    return std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
           std::abs(got.b - want.b) <= tolerance;
}

Rgba Image::at(int x, int y) const {
    const unsigned char* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

bool Image::any(glm::ivec2 xy, int radius, const std::function<bool(const Rgba&)>& test) const {
    for (int y = std::max(xy.y - radius, 0); y <= std::min(xy.y + radius, height - 1); ++y)
        for (int x = std::max(xy.x - radius, 0); x <= std::min(xy.x + radius, width - 1); ++x)
            if (test(at(x, y))) return true;
    return false;
}

Image readBack(int width, int height) {
    glFinish();
    Image image{width, height, std::vector<unsigned char>(static_cast<size_t>(width) * height * 4)};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

bool clickWidget(ImGuiID id, ImVec2 from, ImVec2 to, ImVec2 step, const std::function<void(ImVec2, bool)>& pointer,
                 const std::function<void()>& frame) {
    for (float y = from.y; y <= to.y; y += step.y)
        for (float x = from.x; x <= to.x; x += step.x) {
            pointer(ImVec2(x, y), false);
            frame();
            if (GImGui->HoveredId != id) continue;
            for (bool down : {true, false}) {
                pointer(ImVec2(x, y), down);
                frame();
            }
            return true;
        }
    return false;
}

bool clickWidget(Viewer& viewer, ImGuiID id, ImVec2 from, ImVec2 to, ImVec2 step) {
    bool held = false;
    const auto pointer = [&](ImVec2 at, bool down) {
        glfwSetCursorPos(viewer.window, at.x, at.y);
        const int action = down ? GLFW_PRESS : GLFW_RELEASE;
        if (down != held) ImGui_ImplGlfw_MouseButtonCallback(viewer.window, GLFW_MOUSE_BUTTON_LEFT, action, 0);
        held = down;
    };
    return clickWidget(id, from, to, step, pointer, [&] { viewer.drawFrame(); });
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
