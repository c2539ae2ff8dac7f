#pragma once
// PNG files for the content tools: 8 bits per channel, rows top to bottom.
#include <cstdint>
#include <vector>

// Writes width x height pixels of 3 (RGB) or 4 (RGBA) bytes each; compression -1 is
// libpng's default, 0-9 a zlib level. False when the file cannot be written.
bool WritePngFile(const char* path, const uint8_t* pixels, int width, int height, int channels, int compression = -1);

// Reads a PNG file as RGB, 3 bytes a pixel (alpha is dropped). False when it cannot be read.
bool ReadPngFile(const char* path, std::vector<uint8_t>& pixels, int& width, int& height);
