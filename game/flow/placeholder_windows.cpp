#include "flow/placeholder_windows.h"

#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "scenes/transition_window.h"
#include "windows/message.h"
#include "windows/modal_window.h"

TPlaceholderSceneWindow::TPlaceholderSceneWindow() : mAlpha(float(GetConfig("transAlpha").ToInt())) {}

void TPlaceholderSceneWindow::Init(TWindowStyle& style) {
  TFadeInOutInterface::Init(style);
  StartAnim(25, true, true, false);
  if (TModalWindow* modal = GetModal()) modal->SetFocusChild(this);
}

void TPlaceholderSceneWindow::PostCreate(TWindowStyle& style) {
  TTransitionWindow::AddOverlay(*this);
  TFadeInOutInterface::PostCreate(style);
}

bool TPlaceholderSceneWindow::Animate() {
  StepOverlayFade(mAlpha, mSceneOpened);
  return true;
}

bool TPlaceholderSceneWindow::OnMessage(TMessage& message) {
  if (message.GetType() != MessageButtonPress || message.GetName() != "next") return false;
  if (!mFinished) {
    mFinished = true;
    if (IGameFlow* flow = GetGameFlow()) flow->GoToNextScene(true);
  }
  return true;
}
