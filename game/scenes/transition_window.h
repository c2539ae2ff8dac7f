#pragma once
// TTransitionWindow: the full-screen overlay through which a screen fades in and out. An
// image with no state of its own; its owner sets its alpha on every fade step.

#include <memory>

#include "windows/image_window.h"

class TTransitionWindow : public TImage {
 public:
  TARVELON_CLASS_ID()
  TTransitionWindow() : TImage(false) {}

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TTransitionWindow>(); }
  // Makes the overlay "transition" of a screen: at (0, 0), the size of the screen settings,
  // showing "standard/backgrounds/transition", on top of the owner's children. Answers it.
  static TTransitionWindow* AddOverlay(TWindow& owner);

  const char* GetClassName() const override { return "TTransitionWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TImage::IsKindOf(id); }
};
