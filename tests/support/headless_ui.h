// A UI context without a screen: the pointer is moved and pressed through the
// toolkit's input state, frame by frame, and widgets are found by hovering
// them. `draw` is what each frame draws.
#pragma once

#include <functional>
#include <imgui.h>
#include <imgui_internal.h>
#include <optional>
#include <utility>

class HeadlessUi {
public:
    HeadlessUi() {
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(1440, 810);
        unsigned char* pixels = nullptr;
        int width = 0, height = 0;
        io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
    }
    ~HeadlessUi() { ImGui::DestroyContext(); }
    HeadlessUi(const HeadlessUi&) = delete;
    HeadlessUi& operator=(const HeadlessUi&) = delete;

    std::function<void()> draw = [] {};

    void frame() {
        ImGui::GetIO().DeltaTime = 1.0f / 60.0f;
        ImGui::NewFrame();
        draw();
        ImGui::Render();
    }
    void pointer(ImVec2 at, bool down) {
        ImGui::GetIO().MousePos = at;
        ImGui::GetIO().MouseDown[0] = down;
    }
    // The pointer arrives, presses and releases, one frame each.
    void click(ImVec2 at) {
        pointer(at, false);
        frame();
        pointer(at, true);
        frame();
        pointer(at, false);
        frame();
    }
    bool hovers(ImVec2 at, ImGuiID id) {
        pointer(at, false);
        frame();
        return GImGui->HoveredId == id;
    }

    static ImGuiWindow* window(const char* name) { return ImGui::FindWindowByName(name); }
    static ImGuiID id(const char* windowName, const char* label) {
        return window(windowName)->GetIDNoKeepAlive(label);
    }

    // The first point of the window, row by row, where the item `id` is hovered.
    std::optional<ImVec2> find(const char* windowName, ImGuiID id, float step = 4.0f) {
        const ImGuiWindow* w = window(windowName);
        if (!w) return std::nullopt;
        for (float y = w->Pos.y + 2; y < w->Pos.y + w->Size.y; y += step)
            for (float x = w->Pos.x + 2; x < w->Pos.x + w->Size.x; x += step)
                if (hovers(ImVec2(x, y), id)) return ImVec2(x, y);
        return std::nullopt;
    }
    std::optional<ImVec2> find(const char* windowName, const char* label, float step = 4.0f) {
        return window(windowName) ? find(windowName, id(windowName, label), step) : std::nullopt;
    }
    // Left and right ends of the item along the row through `from`, a point on it.
    std::pair<float, float> span(ImGuiID id, ImVec2 from) {
        float left = from.x, right = from.x;
        while (hovers(ImVec2(left - 1, from.y), id)) --left;
        while (hovers(ImVec2(right + 1, from.y), id)) ++right;
        return {left, right};
    }
};
