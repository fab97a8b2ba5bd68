// Line geometry drawn around the terrain with the colour-vertex program.
// The reference grid, marker pins and minimap come with the overlays themselves.
#pragma once

#include "viewer/shader.h"

struct OverlayRenderer {
    Shader colourProgram;

    // Builds the colour program.
    bool init();
    // Deletes the GL objects; needs the viewer's context to be current.
    void release();
};
