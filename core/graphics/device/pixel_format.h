// Pixel formats of the software device and conversion between them and 32-bit ARGB
// (0xAARRGGBB, stored as the bytes blue, green, red, alpha).
#pragma once

#include "graphics/device/device_types.h"

enum class TPixelLayout { Other, Argb8888, Xrgb8888, Rgb565, Argb4444, Z16, Z32 };

TPixelFormat PixelFormatArgb8888();
TPixelFormat PixelFormatXrgb8888();
TPixelFormat PixelFormatRgb565();
TPixelFormat PixelFormatArgb4444();
TPixelFormat PixelFormatZ(uint32_t bits);  // 16 or 32

// Which of the layouts the device handles a format is; Other for anything else.
TPixelLayout ClassifyPixelFormat(const TPixelFormat& format);
uint32_t BytesPerPixel(const TPixelFormat& format);

// Packs 8-bit channels into a format: each channel keeps its top bits. A format
// without an alpha mask ignores alpha.
uint32_t PackArgb(const TPixelFormat& format, uint32_t argb);
// Expands a pixel to 8-bit channels, replicating the top bits into the low ones so
// that full intensity stays 255; alpha is 255 when the format has none.
uint32_t UnpackArgb(const TPixelFormat& format, uint32_t pixel);

// Reads and writes one pixel of 8, 16, 24 or 32 bits.
uint32_t ReadPixel(const uint8_t* p, uint32_t bytesPerPixel);
void WritePixel(uint8_t* p, uint32_t bytesPerPixel, uint32_t value);

// Converts a row of pixels between two formats (same format: plain copy).
void ConvertRow(const uint8_t* src, const TPixelFormat& srcFormat, uint8_t* dst, const TPixelFormat& dstFormat,
                uint32_t count);
