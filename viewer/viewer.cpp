#include "viewer/viewer.h"

#include "viewer/core/shader_sources.h"
#include "viewer/texture.h"
#include "viewer/ui_manager.h"
#include "viewer/viewer_input.h"
#include "viewer/window_layout.h"

#include <glad/gl.h>
#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>
#include <stb_image.h>

namespace {

void setWindowIcon(GLFWwindow* window, const std::string& dataRoot) {
    const std::string path = dataRoot.empty() ? std::string("data/icon.png") : dataRoot + "/icon.png";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        std::cerr << "Fichier icone introuvable : " << path << std::endl;
        return;
    }
    GLFWimage icon{};
    int channels = 0;
    icon.pixels = stbi_load(path.c_str(), &icon.width, &icon.height, &channels, 4);
    if (!icon.pixels) {
        std::cerr << "Impossible de charger l'icone : " << path << std::endl;
        return;
    }
    glfwSetWindowIcon(window, 1, &icon);
    stbi_image_free(icon.pixels);
    std::cout << "Icone de fenetre chargee (" << icon.width << "x" << icon.height << ")." << std::endl;
}

} // namespace

bool Viewer::init() {
    // GLFW says why a call failed only through this callback; the reason goes to the log.
    glfwSetErrorCallback([](int code, const char* description) {
        std::cerr << "Erreur GLFW (" << code << ") : " << description << std::endl;
    });
    if (!glfwInit()) {
        std::cerr << "Erreur : glfwInit a échoué." << std::endl;
        return false;
    }
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    if (!mode) {
        std::cerr << "Erreur : aucun écran détecté." << std::endl;
        glfwTerminate();
        return false;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);

    const WindowSize size = windowedSizeForMonitor(mode->width, mode->height);
    display.windowedWidth = size.width;
    display.windowedHeight = size.height;
    window = glfwCreateWindow(display.windowedWidth, display.windowedHeight, "Abysto", nullptr, nullptr);
    display.fullscreen = false;
    if (!window) {
        std::cerr << "Erreur : création de la fenêtre GLFW a échoué." << std::endl;
        glfwTerminate();
        return false;
    }
    std::cout << "Fenêtre GLFW créée avec succès." << std::endl;
    glfwMakeContextCurrent(window);
    // Without it the loop would draw as fast as the CPU allows.
    glfwSwapInterval(1);

    setWindowIcon(window, dataRoot);

    if (!gladLoadGL(glfwGetProcAddress)) {
        std::cerr << "Erreur : gladLoadGLLoader a échoué." << std::endl;
        return false;
    }

    glfwSetWindowUserPointer(window, this);
    installViewerCallbacks(window);

    glfwGetFramebufferSize(window, &display.framebufferWidth, &display.framebufferHeight);
    glViewport(0, 0, display.framebufferWidth, display.framebufferHeight);
    if (display.framebufferHeight > 0)
        camera.aspect = static_cast<float>(display.framebufferWidth) / static_cast<float>(display.framebufferHeight);
    glEnable(GL_DEPTH_TEST);

    if (!gl.terrainShader.load(kTerrainVertexShader, kTerrainFragmentShader)) return false;
    if (!gl.overlays.init()) return false;
    if (!startRouteRenderer()) {
        std::cerr << "Erreur : init du rendu des parcours a echoue." << std::endl;
        return false;
    }
    if (!UIManager::init(window, dataRoot.empty() ? nullptr : dataRoot.c_str(), uiLayoutPath)) {
        std::cerr << "Erreur : UIManager::init a échoué." << std::endl;
        UIManager::shutdown();
        return false;
    }
    uiReady = true;
    return true;
}

// GL objects go first, while the window's context still exists; the UI, the
// window and GLFW follow.
Viewer::~Viewer() {
    if (!window) return;
    glfwMakeContextCurrent(window);
    releaseGl();
    if (uiReady) UIManager::shutdown();
    uiReady = false;
    glfwDestroyWindow(window);
    window = nullptr;
    glfwTerminate();
}

void Viewer::releaseGl() {
    if (gl.satelliteTexture != 0) glDeleteTextures(1, &gl.satelliteTexture);
    gl.satelliteTexture = 0;
    releaseRouteRenderer();
    gl.overlays.release();
    gl.minimap.release();
    gl.mesh.release();
    gl.terrainShader.release();
}

void Viewer::setTerrain(TerrainGrid newTerrain) {
    clearDepthMarkers();
    seaLevel = 0.0f;
    panels.satelliteOn = false;
    // The route editor's height grid points into this copy, which lives
    // until the next zone replaces it.
    shownGrid = std::move(newTerrain);
    shownGrid.dataset = nullptr;
    grid = &shownGrid;
    const TerrainGrid& terrain = shownGrid;
    extents.gridWidth = terrain.width;
    extents.gridHeight = terrain.height;

    resetRouteModel();

    constexpr float kHuge = 3.4028235e38f;
    float x0 = kHuge, x1 = -kHuge, z0 = kHuge, z1 = -kHuge;
    bool any = false;
    for (const GridPoint& p : terrain.points) {
        if (!p.valid) continue;
        any = true;
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        z0 = std::min(z0, -p.y);
        z1 = std::max(z1, -p.y);
    }
    if (!any) {
        // Nothing of the previous zone may stay on screen over an empty one,
        // nor come back with the next rebuild: no extents, no reference grid.
        gl.mesh.release();
        gl.overlays.clearGrid();
        grid = nullptr;
        extents.minX = extents.minZ = 0;
        extents.maxX = extents.maxZ = 1;
        extents.centre = glm::vec3(0.0f);
        extents.diagonal = 0;
        extents.hMin = 0;
        extents.hMax = 1;
        return;
    }
    extents.minX = x0;
    extents.maxX = x1;
    extents.minZ = z0;
    extents.maxZ = z1;
    extents.centre = glm::vec3((extents.minX + extents.maxX) / 2.0f, 0.0f, (extents.minZ + extents.maxZ) / 2.0f);
    extents.diagonal = std::sqrt((extents.maxX - extents.minX) * (extents.maxX - extents.minX) +
                                 (extents.maxZ - extents.minZ) * (extents.maxZ - extents.minZ));

    rebuildForExaggeration();

    camera.target = glm::vec3(extents.centre.x, (extents.hMin + extents.hMax) / 2.0f, extents.centre.z);
    camera.distance = std::sqrt((extents.hMax - extents.hMin) * (extents.hMax - extents.hMin) +
                                2.0f * extents.diagonal * extents.diagonal);
}

void Viewer::rebuildForExaggeration() {
    if (!grid) return;
    gl.mesh.upload(grid->points, grid->triangles, exaggeration,
                   RenderBounds{extents.minX, extents.minZ, extents.maxX, extents.maxZ});

    constexpr float kHuge = 3.4028235e38f;
    extents.hMin = kHuge;
    extents.hMax = -kHuge;
    for (const GridPoint& p : grid->points) {
        if (!p.valid) continue;
        extents.hMin = std::min(extents.hMin, p.z * exaggeration);
        extents.hMax = std::max(extents.hMax, p.z * exaggeration);
    }
    rebuildReferenceGrid();
    std::cout << "Exagération verticale : x" << exaggeration << "  |  Hauteur min/max (exagérée) : " << extents.hMin
              << " / " << extents.hMax << std::endl;
}

bool Viewer::uploadSatelliteImage(int width, int height, const unsigned char* rgb) {
    const unsigned int texture = createRgbTexture(width, height, rgb);
    if (texture == 0) return false;
    if (gl.satelliteTexture != 0) glDeleteTextures(1, &gl.satelliteTexture);
    gl.satelliteTexture = texture;
    std::cout << "Texture satellite chargée (" << width << "x" << height << ")." << std::endl;
    return true;
}

void Viewer::drawTerrain(const glm::mat4& view, const glm::mat4& projection) {
    // Without a texture the land keeps its depth colours instead of sampling nothing.
    const bool satellite = panels.satelliteOn && gl.satelliteTexture != 0;
    gl.terrainShader.use();
    gl.terrainShader.setMat4("view", view);
    gl.terrainShader.setMat4("projection", projection);
    gl.terrainShader.setFloat("seaLevel", seaLevel);
    gl.terrainShader.setInt("useSatellite", satellite ? 1 : 0);
    if (satellite) {
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, gl.satelliteTexture);
        gl.terrainShader.setInt("satelliteTex", 0);
    }
    gl.mesh.draw();
}

void Viewer::toggleFullscreen() {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    const GLFWvidmode* mode = monitor ? glfwGetVideoMode(monitor) : nullptr;
    if (!display.fullscreen) {
        if (!mode) return;
        glfwGetWindowPos(window, &display.windowedX, &display.windowedY);
        glfwGetWindowSize(window, &display.windowedWidth, &display.windowedHeight);
        glfwSetWindowMonitor(window, monitor, 0, 0, mode->width, mode->height, mode->refreshRate);
        display.fullscreen = true;
    } else {
        glfwSetWindowMonitor(window, nullptr, display.windowedX, display.windowedY, display.windowedWidth,
                             display.windowedHeight, GLFW_DONT_CARE);
        display.fullscreen = false;
    }
}

void Viewer::setWindowedSize(int width, int height) {
    display.windowedWidth = width;
    display.windowedHeight = height;
    glfwSetWindowSize(window, width, height);
    const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
    if (!mode) return;
    const WindowPosition position = centredWindowPosition(mode->width, mode->height, width, height);
    glfwSetWindowPos(window, position.x, position.y);
}
