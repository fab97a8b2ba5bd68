// The minimap's terrain kept in an offscreen picture. The top-down view
// redraws the whole zone, as many triangles as the main view; it changes only
// with what it shows, so it is drawn once and copied into the corner.
#pragma once

// What the kept picture shows: it is drawn again when any of this changes.
struct MinimapPicture {
    unsigned int meshVersion = 0;
    float seaLevel = 0;
    unsigned int satelliteTexture = 0;  // 0: depth colours
    int width = 0, height = 0;
    bool operator==(const MinimapPicture&) const = default;
};

struct MinimapCache {
    // Off (or when GL refuses the offscreen target): drawn into the corner every frame.
    bool enabled = true;
    unsigned int framebuffer = 0, colour = 0, depth = 0;
    bool holdsPicture = false;
    MinimapPicture shown;

    MinimapCache() = default;
    ~MinimapCache();
    MinimapCache(const MinimapCache&) = delete;
    MinimapCache& operator=(const MinimapCache&) = delete;

    // Binds an offscreen target of the picture's size for drawing into it
    // (made or resized as needed); false when GL cannot make one.
    bool bindForDrawing(const MinimapPicture& picture);
    // Copies the kept colours and depths into the bound draw framebuffer at (x, y).
    void copyTo(int x, int y) const;
    // Deletes the GL objects; needs the context that created them to be current.
    void release();
};
