#include "viewer/overlay_renderer.h"

#include "viewer/shader_sources.h"

bool OverlayRenderer::init() { return colourProgram.load(kColourVertexShader, kColourFragmentShader); }

void OverlayRenderer::release() { colourProgram.release(); }
