#include "menus/profiles_window.h"

#include <algorithm>
#include <string>

#include "model/record_writer.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "script/script.h"
#include "windows/button.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

namespace {

// A slot shows a player, and there are never more players than the store holds.
int32_t MaxProfiles() { return std::min(GetConfig("pWMaxProfiles").ToInt(), TPrefsDB::MaxUserIndex + 1); }

}  // namespace

TProfilesWindow::TProfilesWindow() {
  mBinding.Bind("SetPlayerChoices", this, &TProfilesWindow::SetPlayerChoices);
  mBinding.Bind("GetCurrentSelectedUser", this, &TProfilesWindow::GetCurrentSelectedUser);
  mBinding.Bind("GetSelectedPlayerName", this, &TProfilesWindow::GetSelectedPlayerName);
}

void TProfilesWindow::PostCreate(TWindowStyle& style) {
  TWindow::PostCreate(style);
  SetPlayerChoices();
}

TString TProfilesWindow::MakeChoicesChunk() {
  IGameFlow* flow = GetGameFlow();
  int32_t count = flow ? flow->GetNumUsers() : 0;
  // A name goes in as a quoted string literal: a quote or a line break in it neither breaks
  // the chunk nor adds code to it.
  std::string names = "{";
  for (int32_t i = 0; i < count && i < MaxProfiles(); i++) {
    AppendLuaString(names, flow->GetUserName(i));
    names += ",";
  }
  names += "}";
  return TString::Printf("UpdatePlayerChoices( %d, %d, %s )", flow ? flow->GetCurrentUser() : -1, count,
                         names.c_str());
}

void TProfilesWindow::SetPlayerChoices() {
  TWindowManager* windows = GetWindowManager();
  if (TWindowScript* script = windows ? windows->GetScript() : nullptr) script->DoLuaString(MakeChoicesChunk());
}

int32_t TProfilesWindow::GetCurrentSelectedUser() {
  for (int32_t i = 0; i < MaxProfiles(); i++) {
    auto* slot = WindowCast<TButton>(FindChild(TString::Printf("button%d", i)));
    if (slot && slot->GetToggleState()) return i;
  }
  return 0;
}

TString TProfilesWindow::GetSelectedPlayerName() {
  IGameFlow* flow = GetGameFlow();
  return flow ? flow->GetUserName(GetCurrentSelectedUser()) : TString();
}
