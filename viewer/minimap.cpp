// The minimap: the terrain seen from above in a square at the bottom right,
// under the UI, with the camera as a cross. The terrain comes from the kept
// picture (minimap_cache.h) unless what it shows has changed.
#include "viewer/overlay_geometry.h"
#include "viewer/viewer.h"

#include <glad/gl.h>
#include <iostream>

namespace {

void clearMinimapArea(const PixelRect& r) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.x, r.y, r.width, r.height);
    glViewport(r.x, r.y, r.width, r.height);
    glClearColor(0.02f, 0.02f, 0.05f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

} // namespace

MinimapPicture Viewer::minimapPicture() const {
    const PixelRect r = minimapRect(display.framebufferWidth, display.framebufferHeight);
    const bool satellite = panels.satelliteOn && gl.satelliteTexture != 0;
    return {gl.mesh.version, seaLevel, satellite ? gl.satelliteTexture : 0u, r.width, r.height};
}

void Viewer::drawMinimap() {
    const PixelRect r = minimapRect(display.framebufferWidth, display.framebufferHeight);
    MinimapCache& cache = gl.minimap;
    if (grid && cache.enabled && r.width > 0 && r.height > 0) {
        const MinimapPicture picture = minimapPicture();
        if ((!cache.holdsPicture || !(cache.shown == picture)) && cache.bindForDrawing(picture)) {
            clearMinimapArea({0, 0, r.width, r.height});
            const MinimapCamera top = minimapTop();
            drawTerrain(top.view, top.projection);
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            cache.holdsPicture = true;
        }
        if (cache.holdsPicture) {
            while (glGetError() != GL_NO_ERROR) {
            }
            cache.copyTo(r.x, r.y);
            if (glGetError() == GL_NO_ERROR) {
                glEnable(GL_SCISSOR_TEST);
                glScissor(r.x, r.y, r.width, r.height);
                glViewport(r.x, r.y, r.width, r.height);
                drawMinimapCross();
                glDisable(GL_SCISSOR_TEST);
                glViewport(0, 0, display.framebufferWidth, display.framebufferHeight);
                return;
            }
        }
        // The driver would not keep or copy the picture: draw it every frame.
        std::cerr << "Minimap : image hors écran refusée par OpenGL, dessinée à chaque image." << std::endl;
        cache.release();
        cache.enabled = false;
    }
    clearMinimapArea(r);
    if (grid) {
        const MinimapCamera top = minimapTop();
        drawTerrain(top.view, top.projection);
        drawMinimapCross();
    }
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, display.framebufferWidth, display.framebufferHeight);
}

MinimapCamera Viewer::minimapTop() const {
    return minimapCamera(extents.centre, extents.hMin, extents.hMax, extents.diagonal);
}

void Viewer::drawMinimapCross() {
    const MinimapCamera top = minimapTop();
    const glm::vec3 eye = camera.eye();
    gl.overlays.drawMinimapCross(glm::vec3(eye.x, top.centre.y + 1.0f, eye.z), extents.diagonal * 0.02f, top.view,
                                 top.projection);
}
