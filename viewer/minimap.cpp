// The minimap: the terrain seen from above in a square at the bottom right,
// drawn straight into the framebuffer under the UI, with the camera as a cross.
#include "viewer/overlay_geometry.h"
#include "viewer/viewer.h"

#include <glad/gl.h>

void Viewer::drawMinimap() {
    const PixelRect r = minimapRect(display.framebufferWidth, display.framebufferHeight);
    glEnable(GL_SCISSOR_TEST);
    glScissor(r.x, r.y, r.width, r.height);
    glViewport(r.x, r.y, r.width, r.height);
    glClearColor(0.02f, 0.02f, 0.05f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    if (grid) drawMinimapScene();
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, display.framebufferWidth, display.framebufferHeight);
}

void Viewer::drawMinimapScene() {
    const MinimapCamera top = minimapCamera(extents.centre, extents.hMin, extents.hMax, extents.diagonal);
    drawTerrain(top.view, top.projection);
    const glm::vec3 eye = camera.eye();
    gl.overlays.drawMinimapCross(glm::vec3(eye.x, top.centre.y + 1.0f, eye.z), extents.diagonal * 0.02f, top.view,
                                 top.projection);
}
