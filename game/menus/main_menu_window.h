#pragma once
// TMainMenuWindow: the screen window of the main menu, created by its window script
// ("MainMenuWindow"), which also builds the buttons and texts. The window greets the current
// player (or hides the greeting and the change-player button while there is none), starts
// the menu music, fades the menu in through a full-screen overlay when it opens and out when
// the game starts, opens the current scene once that fade-out has covered the screen, and
// gives a player who has played the story to its end a fresh profile under the same name.
// The play clock stands still while it exists. Its buttons run the commands that the window
// script gives them.

#include <memory>

#include "scenes/fade_in_out_interface.h"
#include "scenes/window_binding.h"

class TMainMenuWindow : public TFadeInOutInterface {
 public:
  TARVELON_CLASS_ID()
  // Binds "SetWelcomeName", pauses the play clock, switches "vsync" on; the overlay starts
  // at the setting "transAlpha" (a whole number), the fade at "transModifierFadeIn".
  TMainMenuWindow();
  // The play clock goes on.
  ~TMainMenuWindow() override;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TMainMenuWindow>(); }

  const char* GetClassName() const override { return "TMainMenuWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TFadeInOutInterface::IsKindOf(id); }
  // A fade step every 25 ms; the window takes its modal's focus. Name, place and size come
  // from the window script, not from the style.
  void Init(TWindowStyle& style) override;
  // The greeting, the "transition" overlay on top, the menu music ("mmWMusic").
  void PostCreate(TWindowStyle& style) override;
  bool Animate() override;
  // Input that reaches the menu itself stops there.
  bool OnMouseDown(TPoint point) override { return true; }
  bool OnMouseMove(TPoint point) override { return true; }
  bool OnChar(uint8_t character) override { return true; }

  // "welcome" greets the current player by the string-table label "welcome"; with no player
  // at all "welcome" and "changeplayer" are hidden.
  void UpdateWelcome();

  float GetAlpha() const { return mAlpha; }

 private:
  // A player who played the story to its end ("endGame") starts afresh under the same name.
  void RenewFinishedProfile();

  float mAlpha;
  bool mSceneOpened = false;
  TWindowBinding mBinding{this};
};
