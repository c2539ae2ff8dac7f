#include "scenes/fade_in_out_interface.h"

#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "scenes/transition_window.h"
#include "windows/window_manager.h"

TFadeInOutInterface::TFadeInOutInterface() : mFadeModifier(GetConfig("transModifierFadeIn").ToFloat()) {}

std::unique_ptr<TWindow> TFadeInOutInterface::Create() { return std::make_unique<TFadeInOutInterface>(); }

void TFadeInOutInterface::StepOverlayFade(float& alpha, bool& sceneOpened) {
  if (TWindowManager* windows = GetWindowManager()) windows->Invalidate();
  if (IsFadeRunning(alpha, mFadeModifier)) {
    if (auto* overlay = WindowCast<TTransitionWindow>(FindChild("transition", 1))) overlay->SetAlpha(alpha);
    alpha += mFadeModifier;
  } else if (IsFadedOut(alpha, mFadeModifier) && !sceneOpened) {
    sceneOpened = true;
    if (IGameFlow* flow = GetGameFlow()) flow->OpenCurrentScene();
  }
}
