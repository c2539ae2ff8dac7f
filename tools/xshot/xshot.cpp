// xshot: writes the root window of the X display ($DISPLAY) as a PNG file.
//
//   xshot OUTPUT.png [MIN_COLOURS]
//
// Prints "WIDTHxHEIGHT, N colours: OUTPUT.png". Exit codes: 0 written, 1 the file cannot be
// written, 2 no display, 3 written but fewer than MIN_COLOURS different colours (default 2:
// a blank screen).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <unordered_set>
#include <vector>

#include "png_file.h"

namespace {

// The channel of a pixel under a visual's mask, as 8 bits.
uint8_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (!((mask >> shift) & 1)) shift++;
  unsigned long value = (pixel & mask) >> shift, max = mask >> shift;
  return uint8_t(value * 255 / max);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: xshot OUTPUT.png [MIN_COLOURS]\n");
    return 1;
  }
  size_t minColours = argc == 3 ? size_t(std::atol(argv[2])) : 2;
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "xshot: no X display\n");
    return 2;
  }
  Window root = DefaultRootWindow(display);
  XWindowAttributes attributes;
  XGetWindowAttributes(display, root, &attributes);
  XImage* image = XGetImage(display, root, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes,
                            ZPixmap);
  if (!image) {
    std::fprintf(stderr, "xshot: the root window cannot be read\n");
    XCloseDisplay(display);
    return 2;
  }
  int width = attributes.width, height = attributes.height;
  std::vector<uint8_t> rgb(size_t(width) * height * 3);
  std::unordered_set<uint32_t> colours;
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) {
      unsigned long pixel = XGetPixel(image, x, y);
      uint8_t* out = &rgb[(size_t(y) * width + x) * 3];
      out[0] = Channel(pixel, image->red_mask);
      out[1] = Channel(pixel, image->green_mask);
      out[2] = Channel(pixel, image->blue_mask);
      if (colours.size() < minColours) colours.insert(uint32_t(out[0]) << 16 | uint32_t(out[1]) << 8 | out[2]);
    }
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  if (!WritePngFile(argv[1], rgb.data(), width, height, 3)) {
    std::fprintf(stderr, "xshot: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%dx%d, %s%zu colours: %s\n", width, height, colours.size() >= minColours ? "at least " : "",
              colours.size(), argv[1]);
  return colours.size() >= minColours ? 0 : 3;
}
