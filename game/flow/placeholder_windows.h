#pragma once
// Stand-ins for the screen windows that are not built yet, so that the window scripts of
// the game run already: TPlaceholderWindow, a plain window, and TPlaceholderSceneWindow, a
// plain screen that fades in and out like the scene windows will and that goes on to the
// next scene when a button named "next" inside it is pressed. Each registration of a window
// type names one of them until that type's own window comes.

#include <memory>

#include "scenes/fade_in_out_interface.h"
#include "windows/window.h"

class TPlaceholderWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TPlaceholderWindow>(); }
  const char* GetClassName() const override { return "TPlaceholderWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
};

class TPlaceholderSceneWindow : public TFadeInOutInterface {
 public:
  TARVELON_CLASS_ID()
  // The overlay starts at the setting "transAlpha" (a whole number).
  TPlaceholderSceneWindow();
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TPlaceholderSceneWindow>(); }

  const char* GetClassName() const override { return "TPlaceholderSceneWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TFadeInOutInterface::IsKindOf(id); }
  // The style's name and layout, then a fade step every 25 ms; the window takes its modal's
  // focus.
  void Init(TWindowStyle& style) override;
  // Adds the "transition" overlay on top of the children the script made.
  void PostCreate(TWindowStyle& style) override;
  // One fade step; once a fade-out has covered the screen, the current scene opens.
  bool Animate() override;
  // A press of "next" goes on to the model's next scene with a fade, once.
  bool OnMessage(TMessage& message) override;

  float GetAlpha() const { return mAlpha; }

 private:
  float mAlpha;
  bool mFinished = false;
  bool mSceneOpened = false;
};
