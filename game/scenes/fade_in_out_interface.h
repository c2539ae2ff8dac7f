#pragma once
// TFadeInOutInterface: the thin window base of the screens that fade (the scene windows and
// the main menu). It carries the fade speed: the amount a screen adds to the alpha of its
// full-screen "transition" overlay on every fade step. A negative speed fades the screen in
// (the overlay clears), a positive one fades it out (the overlay covers), 0 holds. The game's
// flow finds the window to fade out by its name "scene" and sets a positive speed; the
// screen opens the next scene once its overlay covers it.

#include <memory>

#include "windows/window.h"

class TFadeInOutInterface : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // The speed comes from the setting "transModifierFadeIn" (0 when absent).
  TFadeInOutInterface();

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TFadeInOutInterface"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }

  virtual void SetFadeModifier(float speed) { mFadeModifier = speed; }
  float GetFadeModifier() const { return mFadeModifier; }

  // Whether a fade is under way: the speed still moves the alpha towards its far end (below
  // 0 for a fade-in, above 1 for a fade-out).
  static bool IsFadeRunning(float alpha, float speed) { return (speed < 0 && alpha >= 0) || (speed > 0 && alpha <= 1); }
  // Whether a fade-out has covered the screen.
  static bool IsFadedOut(float alpha, float speed) { return speed > 0 && alpha > 1; }

 protected:
  // One step of the screen's overlay fade: while a fade runs, the child "transition" takes
  // the alpha and the alpha moves on by the speed; once a fade-out has covered the screen,
  // the game's current scene opens (the first time only: sceneOpened).
  void StepOverlayFade(float& alpha, bool& sceneOpened);

  float mFadeModifier;
};
