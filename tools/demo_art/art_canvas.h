#pragma once
// The drawing ground of the demo's art tools: straight-alpha colours, an image buffer painted
// pixel by pixel and written as PNG, coverage from signed distances, and the pictures more
// than one tool draws (the valley backgrounds, rounded plates, solid fills).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TRgba {
  float r = 0, g = 0, b = 0, a = 0;
};

TRgba Rgb(uint32_t hex, float alpha = 1.0f);
TRgba Mix(const TRgba& a, const TRgba& b, float t);
// src over dst, both straight alpha.
TRgba Over(const TRgba& dst, const TRgba& src);
TRgba WithAlpha(TRgba c, float alpha);

class TImageBuffer {
 public:
  TImageBuffer(int width, int height) : mWidth(width), mHeight(height), mPixels(size_t(width) * height) {}
  int Width() const { return mWidth; }
  int Height() const { return mHeight; }
  TRgba& At(int x, int y) { return mPixels[size_t(y) * mWidth + x]; }
  // Paints every pixel with what the function gives for its centre, over what is there.
  void Paint(const std::function<TRgba(float, float)>& colour) {
    for (int y = 0; y < mHeight; y++)
      for (int x = 0; x < mWidth; x++) At(x, y) = Over(At(x, y), colour(float(x) + 0.5f, float(y) + 0.5f));
  }
  bool Write(const std::string& path) const;

 private:
  int mWidth, mHeight;
  std::vector<TRgba> mPixels;
};

// Coverage of a pixel by a shape whose signed distance (negative inside) is d.
float Coverage(float d);
// Signed distance to a rounded rectangle (x0, y0)-(x1, y1) with corner radius r.
float RoundedBox(float x, float y, float x0, float y0, float x1, float y1, float r);

// The colours of a valley picture: the sky from top to horizon, and three hills from far to
// near.
struct TValleyPalette {
  uint32_t top, middle, horizon;
  uint32_t hills[3];
  bool moon;
};
extern const TValleyPalette Dusk;
extern const TValleyPalette Night;
extern const TValleyPalette Morning;
// A valley in the mist: sky, moon and stars by the palette, three hills.
TImageBuffer Background(int width, int height, const TValleyPalette& palette = Dusk);

// A rounded plate with a vertical gradient, a border and a thin highlight under its top edge.
TImageBuffer Plate(int width, int height, float radius, TRgba upper, TRgba lower, TRgba border, float borderWidth);
TImageBuffer Solid(int width, int height, TRgba colour);

// Writes the image as folder/name and names it on stdout; false (with a message) on failure.
bool Save(const TImageBuffer& image, const std::string& folder, const char* name);
bool MakeFolder(const std::string& path);
