#include "viewer/ui_manager.h"

#include "viewer/ui_fonts.h"

#include <cstdlib>
#include <filesystem>
#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_impl_opengl3.h>

ImFont* uiFontRegular = nullptr;
ImFont* uiFontBold = nullptr;
ImFont* uiFontTitle = nullptr;

namespace {

bool backendsRunning = false;

// Basic Latin, Latin-1 Supplement and Latin Extended-A: every French letter.
// ImGui keeps the pointer, hence static storage.
const ImWchar kGlyphRanges[] = {0x0020, 0x00FF, 0x0100, 0x017F, 0};

ImFont* addFont(ImGuiIO& io, const std::string& file, float size) {
    // Checked here: ImGui asserts on a missing font file.
    if (file.empty()) return nullptr;
    return io.Fonts->AddFontFromFileTTF(file.c_str(), size, nullptr, kGlyphRanges);
}

void loadFonts(ImGuiIO& io, const char* dataRoot) {
    if (!dataRoot) {
        uiFontRegular = uiFontBold = uiFontTitle = io.Fonts->AddFontDefault();
        return;
    }
    const std::string fontsDir = std::string(dataRoot) + "/fonts";
    const std::string regularFile = uiFontFile(fontsDir, "Inter-Regular");
    const std::string boldFile = uiFontFile(fontsDir, "Inter-Bold");
    uiFontRegular = addFont(io, regularFile, 18.0f);
    uiFontBold = addFont(io, boldFile, 18.0f);
    uiFontTitle = addFont(io, boldFile, 26.0f);
    if (!uiFontRegular) uiFontRegular = io.Fonts->AddFontDefault();
    if (!uiFontBold) uiFontBold = uiFontRegular;
    if (!uiFontTitle) uiFontTitle = uiFontRegular;
    io.FontDefault = uiFontRegular;
}

void applyStyle() {
    ImGuiStyle& style = ImGui::GetStyle();
    style.WindowPadding = ImVec2(14, 14);
    style.WindowRounding = 0.0f;
    style.WindowBorderSize = 0.0f;
    style.FramePadding = ImVec2(10, 6);
    style.FrameRounding = 6.0f;
    style.FrameBorderSize = 0.5f;
    style.ItemSpacing = ImVec2(8, 7);
    style.ScrollbarSize = 10.0f;
    style.ScrollbarRounding = 6.0f;
    style.GrabRounding = 4.0f;

    ImVec4* c = style.Colors;
    c[ImGuiCol_Text] = ImVec4(0.91f, 0.91f, 0.91f, 1.0f);
    c[ImGuiCol_TextDisabled] = ImVec4(0.40f, 0.42f, 0.47f, 1.0f);
    c[ImGuiCol_WindowBg] = ImVec4(0.055f, 0.063f, 0.082f, 1.0f);
    c[ImGuiCol_ChildBg] = ImVec4(0.047f, 0.055f, 0.071f, 1.0f);
    c[ImGuiCol_PopupBg] = ImVec4(0.063f, 0.071f, 0.094f, 1.0f);
    c[ImGuiCol_Border] = ImVec4(1.0f, 1.0f, 1.0f, 0.055f);
    c[ImGuiCol_FrameBg] = ImVec4(0.075f, 0.082f, 0.106f, 1.0f);
    c[ImGuiCol_FrameBgHovered] = ImVec4(0.098f, 0.106f, 0.133f, 1.0f);
    c[ImGuiCol_FrameBgActive] = ImVec4(0.086f, 0.094f, 0.118f, 1.0f);
    c[ImGuiCol_TitleBg] = ImVec4(0.047f, 0.055f, 0.071f, 1.0f);
    c[ImGuiCol_TitleBgActive] = ImVec4(0.055f, 0.063f, 0.082f, 1.0f);
    c[ImGuiCol_ScrollbarBg] = ImVec4(0.043f, 0.047f, 0.063f, 0.5f);
    c[ImGuiCol_ScrollbarGrab] = ImVec4(0.18f, 0.20f, 0.24f, 1.0f);
    c[ImGuiCol_ScrollbarGrabHovered] = ImVec4(0.24f, 0.26f, 0.31f, 1.0f);
    c[ImGuiCol_ScrollbarGrabActive] = ImVec4(0.30f, 0.32f, 0.37f, 1.0f);
    c[ImGuiCol_CheckMark] = ImVec4(0.18f, 0.525f, 0.878f, 1.0f);
    c[ImGuiCol_SliderGrab] = ImVec4(0.031f, 0.337f, 0.667f, 1.0f);
    c[ImGuiCol_SliderGrabActive] = ImVec4(0.031f, 0.353f, 0.702f, 1.0f);
    c[ImGuiCol_Button] = ImVec4(0.082f, 0.090f, 0.114f, 1.0f);
    c[ImGuiCol_ButtonHovered] = ImVec4(0.118f, 0.129f, 0.161f, 1.0f);
    c[ImGuiCol_ButtonActive] = ImVec4(0.071f, 0.078f, 0.098f, 1.0f);
    c[ImGuiCol_Header] = ImVec4(0.094f, 0.102f, 0.129f, 1.0f);
    c[ImGuiCol_HeaderHovered] = ImVec4(0.118f, 0.129f, 0.161f, 1.0f);
    c[ImGuiCol_HeaderActive] = ImVec4(0.082f, 0.090f, 0.114f, 1.0f);
    c[ImGuiCol_Separator] = ImVec4(1.0f, 1.0f, 1.0f, 0.055f);
    c[ImGuiCol_TabHovered] = ImVec4(0.118f, 0.129f, 0.161f, 1.0f);
    c[ImGuiCol_Tab] = ImVec4(0.071f, 0.078f, 0.098f, 1.0f);
}

} // namespace

std::string uiFontFile(const std::string& fontsDir, const std::string& name) {
    std::error_code ec;
    for (const char* extension : {".ttf", ".otf"}) {
        const std::string file = fontsDir + "/" + name + extension;
        if (std::filesystem::is_regular_file(file, ec)) return file;
    }
    return {};
}

namespace UIManager {

bool init(GLFWwindow* window, const char* dataRoot, const std::string& iniPath) {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // ImGui keeps only the pointer: the path lives as long as the process.
    static std::string keptIniPath;
    keptIniPath = iniPath;
    io.IniFilename = keptIniPath.empty() ? nullptr : keptIniPath.c_str();

    loadFonts(io, dataRoot);
    applyStyle();

    if (!ImGui_ImplGlfw_InitForOpenGL(window, true)) return false;
    if (!ImGui_ImplOpenGL3_Init("#version 330")) {
        ImGui_ImplGlfw_Shutdown();
        return false;
    }
    backendsRunning = true;
    return true;
}

void shutdown() {
    if (backendsRunning) {
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplGlfw_Shutdown();
        backendsRunning = false;
    }
    if (ImGui::GetCurrentContext()) ImGui::DestroyContext();
    uiFontRegular = uiFontBold = uiFontTitle = nullptr;
}

} // namespace UIManager

void beginUiFrame() {
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    ImGui::NewFrame();
}

void endUiFrame() {
    ImGui::Render();
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
}

bool drawEveryFrame() {
    static const bool every = [] {
        const char* value = std::getenv("ABYSTO_DRAW_EVERY_FRAME");
        return value && *value && std::string(value) != "0";
    }();
    return every;
}
