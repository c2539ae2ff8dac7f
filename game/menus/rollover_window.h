#pragma once
// TRolloverWindow: a hover area of the menu screens, created by name from a window script
// ("RolloverWindow"). It draws nothing of its own; while the pointer is over it, the window
// of its modal named by the style key "activate" is shown, and when that window is a text
// it first gets the style key "text". The area keeps hearing the pointer through the window
// manager's hover list while it hovers, so it hides the target again as soon as the pointer
// has left its rectangle. Nothing changes while a briefing is shown ("showBriefingWindow").

#include <memory>

#include "platform/engine_string.h"
#include "windows/window.h"

class TRolloverWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TRolloverWindow() = default;
  // Still hovering: leaves the hover list and hides the target.
  ~TRolloverWindow() override;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TRolloverWindow>(); }

  const char* GetClassName() const override { return "TRolloverWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // After the children: "activate" and "text".
  void PostCreate(TWindowStyle& style) override;
  // Hands the pointer to the game's flow and shows or hides the target on entering or
  // leaving; never stops the event.
  bool OnMouseMove(TPoint point) override;
  bool OnMouseLeave() override;

  bool IsHovering() const { return mHovering; }

 private:
  // Shows or hides the target (text set on showing); a redraw in every case.
  void ShowTarget(bool show);
  void StopHovering();

  TString mTarget;
  TString mText;
  bool mHovering = false;
};
