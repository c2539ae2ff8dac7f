#include "menus/main_menu_window.h"

#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "scenes/game_flow.h"
#include "scenes/transition_window.h"
#include "windows/modal_window.h"
#include "windows/text_window.h"

TMainMenuWindow::TMainMenuWindow() {
  mBinding.Bind("SetWelcomeName", this, &TMainMenuWindow::UpdateWelcome);
  HighscoreSystem::PausePlay();
  SetConfig("vsync", "1");
  mAlpha = float(GetConfig("transAlpha").ToInt());
  mFadeModifier = GetConfig("transModifierFadeIn").ToFloat();
}

TMainMenuWindow::~TMainMenuWindow() { HighscoreSystem::StartPlay(); }

void TMainMenuWindow::Init(TWindowStyle& style) {
  StartAnim(25, true, true, false);
  if (TModalWindow* modal = GetModal()) modal->SetFocusChild(this);
}

void TMainMenuWindow::PostCreate(TWindowStyle& style) {
  UpdateWelcome();
  TTransitionWindow::AddOverlay(*this);
  if (IGameFlow* flow = GetGameFlow()) flow->SetMusic(GetConfig("mmWMusic"), true);
  TFadeInOutInterface::PostCreate(style);
}

void TMainMenuWindow::UpdateWelcome() {
  IGameFlow* flow = GetGameFlow();
  if (!flow || flow->GetNumUsers() == 0) {
    for (const char* name : {"welcome", "changeplayer"})
      if (TWindow* child = FindChild(name)) child->SetFlags(child->GetFlags() & ~uint32_t(WindowVisible));
    return;
  }
  auto* welcome = WindowCast<TText>(FindChild("welcome"));
  TStringTable* strings = GetStringTable();
  if (welcome && strings) welcome->SetText(strings->GetString("welcome", flow->GetCurrentUserName(), "", "", "", ""));
}

void TMainMenuWindow::RenewFinishedProfile() {
  CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance();
  IGameFlow* flow = GetGameFlow();
  if (!globals || !flow || !globals->GetGlobalBool("endGame")) return;
  globals->SetGlobalBool("endGame", false);
  // The renewal makes a new global state: the cleared flag goes with the old one.
  flow->RenewCurrentUser();
}

bool TMainMenuWindow::Animate() {
  if (IsFadeRunning(mAlpha, mFadeModifier) && mAlpha < 0.5f) RenewFinishedProfile();
  StepOverlayFade(mAlpha, mSceneOpened);
  return true;
}
