#pragma once
// Reading and writing PNG, JPEG and JPEG-2000 images through the file layer.
//
// Every loader returns the image in one layout: side x side 32-bit pixels (memory order
// blue, green, red, alpha), side being the smallest power of two (at least 1) not below
// the larger of width and height, with image row r at byte r x side x 4. Names are file
// layer names (asset names, "user:", "::" paths). Every failure logs one line naming the
// file and the fault, and yields no pixels.

#include <cstdint>
#include <memory>

#include "platform/engine_string.h"

// Images wider or higher than this are refused: the square power-of-two buffer of a
// larger one would not fit any texture and could exhaust memory.
constexpr uint32_t MaxImageSide = 4096;

struct TDecodedImage {
  std::unique_ptr<uint8_t[]> pixels;  // side x side x 4 bytes (x 1 with a kept palette)
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t side = 0;
  int channels = 0;       // the PNG's channel count after the transforms
  bool hasAlpha = false;
  uint32_t colour = 0;    // PNG only: the background colour 0xBBGGRR ("bKGD"), else 0
  // PNG with a kept palette only: 256 entries of blue, green, red, alpha.
  std::unique_ptr<uint8_t[]> palette;
};

// The side of the square buffer for an image of this size.
uint32_t ImageSide(uint32_t width, uint32_t height);
// Refuses empty or too large images with a log line; true when the size is usable.
bool CheckImageSize(const TString& name, uint32_t width, uint32_t height);
// A zeroed buffer of side x side x bytesPerPixel bytes; null (logged) when memory runs out.
std::unique_ptr<uint8_t[]> AllocateImage(const TString& name, uint32_t side, uint32_t bytesPerPixel);

// A PNG without palette override as 32-bit pixels.
bool LoadPngImage(const TString& name, TDecodedImage& out);
// The full PNG reader: with keepPalette a palettised image comes back as 8-bit indices
// (rows of side bytes) with its palette, whose colours may be replaced from a RIFF
// palette file (paletteFile empty: none).
bool LoadPngImageEx(const TString& name, TDecodedImage& out, const TString& paletteFile,
                    bool keepPalette);
// Writes 32-bit pixels (rows at pixels + row x pitch bytes) as an 8-bit RGBA PNG.
bool SavePngImage(const TString& name, const void* pixels, uint32_t width, uint32_t height,
                  uint32_t pitch);

// A JPEG as 32-bit pixels with alpha 255. A file cut short after its header decodes, the
// missing part filled by the codec's end-of-data handling.
bool LoadJpegImage(const TString& name, TDecodedImage& out);
// Writes 32-bit pixels as a baseline JPEG; quality 0..1.
bool SaveJpegImage(const TString& name, float quality, uint32_t width, uint32_t height,
                   uint32_t pitch, const void* pixels);

// A JPEG-2000 file (JP2 box format or a bare codestream). The padding right of and below
// the image repeats the last column and row.
bool LoadJpeg2000Image(const TString& name, TDecodedImage& out);
