#pragma once
// The stand-in for the window types that are not built yet, so that the window scripts of
// the game run already: TPlaceholderWindow, a plain window. Each registration of a window
// type names it until that type's own window comes.

#include <memory>

#include "windows/window.h"

class TPlaceholderWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TPlaceholderWindow>(); }
  const char* GetClassName() const override { return "TPlaceholderWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
};
