// xshot: writes the root window of the X display ($DISPLAY) as a PNG file.
//
//   xshot OUTPUT.png [MIN_COLOURS [EXPECTED.png [X Y]]]
//
// Prints "WIDTHxHEIGHT, N colours: OUTPUT.png". With EXPECTED, the picture of that file
// must show in the top-level window of its size (each channel within 2, the rounding of a
// visual's masks); without such a window, at the root's top left corner. The pointer's
// cursor is the X server's and in no program's frame: a square of 64 pixels each way around
// the pointer is left out of the comparison, and so is one around X Y in the window, where
// a program that draws its own cursor over its frames has it. Exit codes: 0
// written, 1 the file cannot be written, 2 no display, 3 written but fewer than MIN_COLOURS
// different colours (default 2: a blank screen), 4 the window does not show EXPECTED (or it
// cannot be read).

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
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

// The root position of the first viewable top-level window of that size, or (0, 0).
void FindWindow(Display* display, Window root, int width, int height, int& x, int& y) {
  x = y = 0;
  Window rootReturn = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count)) return;
  for (unsigned i = count; i-- > 0;) {  // the topmost first
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    if (attributes.width != width || attributes.height != height) continue;
    Window child = 0;
    XTranslateCoordinates(display, children[i], root, 0, 0, &x, &y, &child);
    break;
  }
  if (children) XFree(children);
}

// Half the side of the square around the pointer that the comparison leaves out.
constexpr int CursorReach = 64;

struct TPoint {
  int x, y;
  bool Near(int px, int py) const { return std::abs(px - x) < CursorReach && std::abs(py - y) < CursorReach; }
};

// "" when the screen shows the expected picture (w x h) at (left, top), or what differs;
// the squares around the cursors (screen coordinates) do not count.
std::string CompareWithExpected(const std::vector<uint8_t>& screen, int width, int height,
                                const std::vector<uint8_t>& expected, int w, int h, int left, int top,
                                const std::vector<TPoint>& cursors, const char* path) {
  if (left < 0 || top < 0 || left + w > width || top + h > height) return std::string(path) + " does not fit on the screen";
  long differing = 0;
  std::string first;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      if (std::any_of(cursors.begin(), cursors.end(), [&](TPoint c) { return c.Near(x + left, y + top); })) continue;
      const uint8_t* e = &expected[(size_t(y) * w + x) * 3];
      const uint8_t* s = &screen[(size_t(y + top) * width + x + left) * 3];
      if (std::abs(e[0] - s[0]) <= 2 && std::abs(e[1] - s[1]) <= 2 && std::abs(e[2] - s[2]) <= 2) continue;
      if (differing++ == 0) first = " first at (" + std::to_string(x) + ", " + std::to_string(y) + ")";
    }
  }
  if (!differing) return "";
  return std::to_string(differing) + " pixels differ from " + path + "," + first;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 6 || argc == 5) {
    std::fprintf(stderr, "usage: xshot OUTPUT.png [MIN_COLOURS [EXPECTED.png [X Y]]]\n");
    return 1;
  }
  size_t minColours = argc >= 3 ? size_t(std::atol(argv[2])) : 2;
  const char* expectedPath = argc >= 4 ? argv[3] : nullptr;
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
  std::string mismatch;
  if (expectedPath) {
    std::vector<uint8_t> expected;
    int w = 0, h = 0, left = 0, top = 0;
    if (ReadPngFile(expectedPath, expected, w, h)) {
      FindWindow(display, root, w, h, left, top);
      Window rootReturn = 0, child = 0;
      int pointerX = -CursorReach, pointerY = -CursorReach, windowX = 0, windowY = 0;
      unsigned buttons = 0;
      XQueryPointer(display, root, &rootReturn, &child, &pointerX, &pointerY, &windowX, &windowY, &buttons);
      std::vector<TPoint> cursors = {{pointerX, pointerY}};
      if (argc == 6) cursors.push_back({left + std::atoi(argv[4]), top + std::atoi(argv[5])});
      mismatch = CompareWithExpected(rgb, width, height, expected, w, h, left, top, cursors, expectedPath);
    } else {
      mismatch = std::string("cannot read ") + expectedPath;
    }
  }
  XCloseDisplay(display);
  if (!WritePngFile(argv[1], rgb.data(), width, height, 3)) {
    std::fprintf(stderr, "xshot: cannot write %s\n", argv[1]);
    return 1;
  }
  std::printf("%dx%d, %s%zu colours: %s\n", width, height, colours.size() >= minColours ? "at least " : "",
              colours.size(), argv[1]);
  if (colours.size() < minColours) return 3;
  if (!mismatch.empty()) {
    std::printf("%s\n", mismatch.c_str());
    return 4;
  }
  return 0;
}
