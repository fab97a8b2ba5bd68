// Image files and pixel arrays as GL textures.
#pragma once

#include <string>

// Loads an image file as an RGBA texture with mipmaps; 0 (and a message) on failure.
// The texture is left bound.
unsigned int loadTexture(const std::string& path);

// Makes a mipmapped RGB texture from tightly packed rows of width × 3 bytes,
// the first row at v = 0. Returns 0 when the size or the pixels are missing.
unsigned int createRgbTexture(int width, int height, const unsigned char* rgb);
