#pragma once
// What the files of TScene (and the screens derived from it) share: settings read as the
// scenes read them (each time, absent as 0 or ""), texts of the string table, the game's
// named colours and global flags, and the few conversions that must not overflow.

#include <cstdint>
#include <memory>

#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"
#include "platform/point.h"
#include "windows/window.h"

class TImage;

namespace scene {

TString Config(const char* key);
int32_t ConfigInt(const char* key);
float ConfigFloat(const char* key);
// The string-table text of a label, with five empty arguments; "" for no label or without a
// table.
TString Text(const TString& label);
// A named colour of the game's flow; four zeros without one.
TColor Colour(const TString& name);
// The last pointer position the screens handed to the game's flow; (0, 0) without one.
TPoint MousePosition();
// A global flag of the current player's state; false without one.
bool GlobalBool(const char* key);
// A float as a whole number, truncated toward zero and saturated (NaN as 0).
int32_t Truncate(double value);
// a + b without overflow (saturated).
int32_t AddSaturated(int32_t a, int32_t b);

// An image layer at (x, y) showing the texture, sized by it (0 x 0 without one); null when
// the parent refused it.
TImage* AddImage(TWindow& parent, const char* name, const TString& texture, int32_t x, int32_t y, float alpha);

// Attaches the child with activation; answers it, or null when it refused (then it is gone).
template <typename T>
T* AttachChild(TWindow& parent, std::unique_ptr<T> child) {
  T* raw = child.get();
  std::unique_ptr<TWindow> window = std::move(child);
  return parent.AddChild(window, true) ? raw : nullptr;
}

}  // namespace scene
