// The settings object's script functions: the 28 Lua globals the menu scripts call, and
// the forms that only scripts use (medals, the stored scene name, the service's names).

#include "flow/game_defaults.h"
#include "flow/settings.h"
#include "persistence/jx_hiscores.h"
#include "persistence/prefs_db.h"

namespace {

// A medal's type number for an index with no medal.
constexpr int32_t NoMedalType = -1;

}  // namespace

void TSettings::BindScriptFunctions() {
  using S = TSettings;
  mBinding.Bind("ToggleFullScreen", this, &S::ToggleFullScreen);
  mBinding.Bind("ToggleSoundMute", this, &S::ToggleSoundMute);
  mBinding.Bind("SetCurrentGameMode", this, &S::SetCurrentGameMode);
  mBinding.Bind("GetCurrentGameMode", this, &S::GetCurrentGameMode);
  mBinding.Bind("GetNumUsers", this, &S::GetNumUsers);
  mBinding.Bind("CreateNewUser", this, &S::CreateNewUser);
  mBinding.Bind("SetCurrentUser", this, &S::SetCurrentUser);
  mBinding.Bind("GetCurrentUser", this, &S::GetCurrentUser);
  mBinding.Bind("ResetUserGame", this, &S::ResetUserGame);
  mBinding.Bind("ChangeCurrentUserName", this, &S::ChangeCurrentUserName);
  mBinding.Bind("DeleteUser", this, &S::DeleteUser);
  mBinding.Bind("IsNameInUse", this, &S::IsNameInUse);
  mBinding.Bind("QuitToMainMenu", this, &S::QuitToMainMenu);
  mBinding.Bind("LogHighScore", this, &S::LogHighScore);
  mBinding.Bind("NumMedalsToSubmit", this, &S::NumMedalsToSubmit);
  mBinding.Bind("NumEarnedMedals", this, &S::NumEarnedMedals);
  mBinding.Bind("GetMedalName", this, &S::GetMedalName);
  mBinding.Bind("GetMedalType", this, &S::GetMedalType);
  mBinding.Bind("GetMedalGameMode", this, &S::GetMedalGameMode);
  mBinding.Bind("GetMedalGameData", this, &S::GetMedalGameData);
  mBinding.Bind("GetJXGameModeName", this, &S::GetJXGameModeName);
  mBinding.Bind("GetJXMedalName", this, &S::GetJXMedalName);
  mBinding.Bind("GetCurrentScene", this, &S::GetCurrentSceneName);
  mBinding.Bind("SetCurrentScene", this, &S::SetCurrentSceneName);
  mBinding.Bind("SetMusic", this, &S::LuaSetMusic);
  mBinding.Bind("StartGame", this, &S::StartGame);
  mBinding.Bind("SaveGame", this, &S::SaveGame);
  mBinding.Bind("EndGame", this, &S::EndGame);
}

// The two flags that scripts pass are not used.
void TSettings::LogHighScore(int32_t score, bool, bool) { mHiscores->AddScore(score, true, ""); }

int32_t TSettings::NumMedalsToSubmit() { return mHiscores->CountUnsubmittedMedals(); }

int32_t TSettings::NumEarnedMedals() { return mHiscores->GetMedalCount(); }

TString TSettings::GetMedalName(int32_t index) {
  TString name;
  return mHiscores->GetMedal(index, &name, nullptr, nullptr, nullptr) ? name : TString();
}

int32_t TSettings::GetMedalType(int32_t index) {
  int kind = NoMedalType;
  return mHiscores->GetMedal(index, nullptr, &kind, nullptr, nullptr) ? kind : NoMedalType;
}

TString TSettings::GetMedalGameMode(int32_t index) {
  TString mode;
  return mHiscores->GetMedal(index, nullptr, nullptr, &mode, nullptr) ? mode : TString();
}

TString TSettings::GetMedalGameData(int32_t index) {
  TString data;
  return mHiscores->GetMedal(index, nullptr, nullptr, nullptr, &data) ? data : TString();
}

TString TSettings::GetJXGameModeName(int32_t index) { return index == 0 || index == 1 ? GetGameModeTableName(index) : ""; }

TString TSettings::GetJXMedalName(int32_t index) { return GetGameMedalName(index); }

TString TSettings::GetCurrentSceneName() {
  return mPrefs->GetString("curscene", "there is no current scene in the memory!", GetCurrentUser());
}

void TSettings::SetCurrentSceneName(const TString& scene) { mPrefs->SetString("curscene", scene, GetCurrentUser()); }
