#include "app/splash.h"

#include "app/version.h"
#include "viewer/ui_fonts.h"
#include "viewer/ui_manager.h"

#include <cmath>
#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <imgui.h>

SplashBarRect splashBarRect(float left, float top, float fraction, double seconds) {
    if (fraction >= 0.0f) return {left, top, left + kSplashBarWidth * fraction, top + kSplashBarHeight};
    const float c = left + kSplashBarWidth * static_cast<float>(0.5 + 0.5 * std::sin(3.0 * seconds));
    return {c - 20.0f, top, c + 20.0f, top + kSplashBarHeight};
}

namespace {

// Text horizontally centred on cx with its top at y.
void centredText(const char* text, float cx, float y, ImU32 colour) {
    const ImVec2 size = ImGui::CalcTextSize(text);
    ImGui::SetCursorPos(ImVec2(cx - size.x * 0.5f, y));
    ImGui::PushStyleColor(ImGuiCol_Text, colour);
    ImGui::TextUnformatted(text);
    ImGui::PopStyleColor();
}

} // namespace

void showSplash(GLFWwindow* window, const std::string& message, float fraction) {
    int width = 0, height = 0;
    glfwGetFramebufferSize(window, &width, &height);
    glViewport(0, 0, width, height);
    glClearColor(0.04f, 0.05f, 0.07f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);

    beginUiFrame();
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImVec2(w, h));
    ImGui::Begin("##splash", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoBringToFrontOnFocus);
    ImGui::SetWindowFontScale(1.2f);
    const float cx = w * 0.5f, cy = h * 0.42f;

    if (uiFontTitle) ImGui::PushFont(uiFontTitle);
    const ImVec2 titleSize = ImGui::CalcTextSize("Abysto 3D");
    ImGui::SetCursorPos(ImVec2(cx - titleSize.x * 0.5f, cy - titleSize.y * 0.5f));
    ImGui::PushStyleColor(ImGuiCol_Text, IM_COL32(46, 134, 224, 255));
    ImGui::TextUnformatted("Abysto 3D");
    ImGui::PopStyleColor();
    if (uiFontTitle) ImGui::PopFont();

    centredText("Visualisation bathymétrique 3D", cx, cy + 24.0f, IM_COL32(255, 255, 255, 80));
    centredText(message.c_str(), cx, cy + 70.0f, IM_COL32(255, 255, 255, 140));

    ImDrawList* draw = ImGui::GetWindowDrawList();
    const float x0 = cx - 150.0f, y0 = cy + 95.0f;
    draw->AddRectFilled(ImVec2(x0, y0), ImVec2(x0 + kSplashBarWidth, y0 + kSplashBarHeight),
                        IM_COL32(255, 255, 255, 20), 2.0f);
    const SplashBarRect bar = splashBarRect(x0, y0, fraction, glfwGetTime());
    draw->AddRectFilled(ImVec2(bar.x0, bar.y0), ImVec2(bar.x1, bar.y1),
                        fraction >= 0.0f ? IM_COL32(46, 134, 224, 200) : IM_COL32(46, 134, 224, 180), 2.0f);

    centredText(kAppVersion, cx, h - 40.0f, IM_COL32(255, 255, 255, 40));
    ImGui::End();
    endUiFrame();

    glfwSwapBuffers(window);
    glfwPollEvents();
}
