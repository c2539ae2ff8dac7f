#pragma once
// TTickerWindow: a text window of the menu screens ("TickerWindow") that asks for a redraw
// every 10 ms, so that a text the script changes often shows at once. Its style gives only
// the window's name and place: the text is left to the scripts.

#include <memory>

#include "windows/text_window.h"

class TTickerWindow : public TText {
 public:
  TARVELON_CLASS_ID()
  TTickerWindow() : TText(false) {}

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TTickerWindow>(); }

  const char* GetClassName() const override { return "TTickerWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TText::IsKindOf(id); }
  // The window's name and layout, then a step every 10 ms; not the text's font and label.
  void Init(TWindowStyle& style) override;
  // Asks for a redraw.
  bool Animate() override;
};
