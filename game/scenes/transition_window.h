#pragma once
// TTransitionWindow: the full-screen picture layers that a screen lays over its play area
// and fades ("transition", "darkness"), and the main menu's fade. It is an image window
// drawn in the cached-layer pass, with a class of its own so that these layers can be told
// apart from ordinary images; code that looks for images finds it too. Its owner sets its
// alpha on every fade step.

#include <memory>

#include "windows/image_window.h"

class TTransitionWindow : public TImage {
 public:
  TARVELON_CLASS_ID()
  TTransitionWindow() : TImage(true) {}

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TTransitionWindow>(); }
  // Makes the overlay "transition" of a screen: at (0, 0), the size of the screen settings,
  // showing "standard/backgrounds/transition", on top of the owner's children. Answers it.
  static TTransitionWindow* AddOverlay(TWindow& owner);

  const char* GetClassName() const override { return "TTransitionWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TImage::IsKindOf(id); }
};
