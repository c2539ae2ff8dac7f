#pragma once
// TScreen: the root window at the bottom of the modal stack. It clears the screen with its
// colour while it is the top modal (or always, or never, by its two switches) and shows
// the window manager's cached layer when there is one.

#include <memory>

#include "graphics/math/vector_math.h"
#include "windows/modal_window.h"

class TScreen : public TModalWindow {
 public:
  TARVELON_CLASS_ID()
  TScreen();

  const char* GetClassName() const override { return "TScreen"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TModalWindow::IsKindOf(id); }
  void Draw() override;

  void SetAlwaysClear(bool on) { mAlwaysClear = on; }
  void SetNeverClear(bool on) { mNeverClear = on; }
  void SetClearColor(const TColor& colour) { mClearColor = colour; }
  const TColor& GetClearColor() const { return mClearColor; }

 private:
  bool mAlwaysClear = false;
  bool mNeverClear = false;
  TColor mClearColor{0.0f, 0.0f, 0.0f, 0.0f};
};
