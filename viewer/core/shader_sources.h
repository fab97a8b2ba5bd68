// GLSL sources of the viewer's programs.
#pragma once

// Terrain: depth colours under water, green to brown on land (or the
// satellite image), hill-shading, and a pale-yellow band at the sea level.
extern const char* const kTerrainVertexShader;
extern const char* const kTerrainFragmentShader;

// Lines and pins: one colour per vertex.
extern const char* const kColourVertexShader;
extern const char* const kColourFragmentShader;
