#include "viewer/minimap_cache.h"

#include <glad/gl.h>

MinimapCache::~MinimapCache() { release(); }

bool MinimapCache::bindForDrawing(const MinimapPicture& picture) {
    holdsPicture = false;
    if (framebuffer == 0 || picture.width != shown.width || picture.height != shown.height) {
        release();
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(1, &colour);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, colour);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, picture.width, picture.height);
        // The window's own depth format, so that depths can be copied into it.
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, picture.width, picture.height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            release();
            return false;
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    shown = picture;
    return true;
}

void MinimapCache::copyTo(int x, int y) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glBlitFramebuffer(0, 0, shown.width, shown.height, x, y, x + shown.width, y + shown.height,
                      GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
}

void MinimapCache::release() {
    if (framebuffer != 0) glDeleteFramebuffers(1, &framebuffer);
    if (colour != 0) glDeleteRenderbuffers(1, &colour);
    if (depth != 0) glDeleteRenderbuffers(1, &depth);
    framebuffer = colour = depth = 0;
    holdsPicture = false;
    shown = MinimapPicture{};
}
