#include "flow/settings.h"

#include <algorithm>
#include <string>

#include "engine/platform.h"
#include "flow/game_defaults.h"
#include "flow/model_loader_link.h"
#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "persistence/jx_hiscores.h"
#include "persistence/prefs_db.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "script/script.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"

namespace {

std::unique_ptr<TSettings> gSettings;

struct TNamedColor {
  const char* name;
  int red, green, blue;
};
const TNamedColor NamedColors[] = {
    {"RED", 255, 0, 0},           {"BLACK", 0, 0, 0},          {"GREY", 193, 193, 193},
    {"BLUE", 0, 0, 255},          {"WHITE", 255, 255, 255},    {"LIGHT_YELLOW", 253, 242, 221},
    {"DARK_RED", 45, 5, 0},       {"DARK_KHAKI", 46, 42, 33},  {"OCHER", 229, 198, 116},
    {"NEON_BEIGE", 226, 171, 65},
};

// A stored level in thousandths as a group volume; levels outside 0..1000 are held to it.
float LevelVolume(int level) { return float(std::clamp(level, 0, 1000)) / 1000.0f; }

int DefaultSoundLevel() { return GetConfig("defaultsoundvolume").ToInt(); }

// The score table of the store holds the name among its first ten rows.
bool IsRankedName(TJxHiscores& hiscores, const TString& name) {
  int rows = std::min(hiscores.GetScoreCount(true), 10);
  for (int i = 0; i < rows; i++) {
    char rowName[256] = {};
    if (hiscores.GetScore(true, i, nullptr, rowName, int(sizeof rowName), nullptr, nullptr, nullptr, 0) &&
        TString(rowName) == name)
      return true;
  }
  return false;
}

}  // namespace

TSettings* TSettings::GetInstance() { return gSettings.get(); }

TSettings* TSettings::CreateInstance() {
  gSettings.reset();
  gSettings = std::make_unique<TSettings>();
  return gSettings.get();
}

void TSettings::DestroyInstance() { gSettings.reset(); }

TSettings::TSettings() {
  BindScriptFunctions();
  mPrefs = std::make_unique<TPrefsDB>(true);
  mHiscores = std::make_unique<TJxHiscores>(true);
  SetPlayerPrefsSource([this] { return TPlayerPrefs{mPrefs.get(), GetCurrentUser()}; });
  SetGameFlow(this);
  mMusic = TSound::Get("", 1, -1);
  SetCurrentGameMode(-1);
  int32_t stored = GetCurrentUser();
  if (stored != -1 && !IsPlayerIndex(stored)) {
    LogPrintf("Settings: the stored player %d does not exist; no player is chosen", stored);
    stored = -1;
  }
  SetCurrentUser(stored);
  FillColorTable();
}

TSettings::~TSettings() {
  if (GetGameFlow() == this) SetGameFlow(nullptr);
  SetPlayerPrefsSource(nullptr);
  mPrefs.reset();
  mHiscores.reset();
}

void TSettings::FillColorTable() {
  for (const TNamedColor& c : NamedColors)
    mColors[c.name] = TColor{float(c.red) / 255.0f, float(c.green) / 255.0f, float(c.blue) / 255.0f, 1.0f};
}

TColor TSettings::GetColor(const TString& name) {
  return mColors.emplace(name, TColor{0.0f, 0.0f, 0.0f, 0.0f}).first->second;
}

// ---- Players ----

int32_t TSettings::GetNumUsers() { return mPrefs->GetUserCount(); }

bool TSettings::IsPlayerIndex(int32_t index) { return index >= 0 && index < GetNumUsers(); }

TString TSettings::GetUserName(int32_t index) {
  return IsPlayerIndex(index) ? mPrefs->GetString("name", "", index) : TString();
}

int32_t TSettings::GetCurrentUser() { return mPrefs->GetInt("curuser", -1); }

TString TSettings::GetCurrentUserName() { return GetUserName(GetCurrentUser()); }

void TSettings::SetCurrentUser(int32_t index) {
  if (index != -1 && !IsPlayerIndex(index)) {
    LogPrintf("Settings: there is no player %d to choose", index);
    return;
  }
  mPrefs->SetInt("curuser", index);
  if (index >= 0) {
    mHiscores->SetInfoString(1, GetUserName(index));
    ApplySoundSettings();
  }
  CHighscoreSystem::CreateInstance();
  CreateDiary();
  CGlobalInformationSystem::CreateInstance();
  LoadPlayerModel(index);
}

// The end-to-end runs begin a new game at one scene of the demo, named by the setting
// "demoStartScene" (given with the command line's options); a saved game keeps its scene.
void TSettings::StartAtDemoScene() {
  int32_t scene = GetConfig("demoStartScene").ToInt();
  CGame* game = CGame::GetInstance();
  if (scene <= 0 || !game) return;
  if (!game->FindScene(scene)) {
    LogPrintf("Settings: the demo has no scene %d to start at", scene);
    return;
  }
  game->SetCurrentScene(scene);
}

void TSettings::LoadPlayerModel(int32_t index) {
  TString data = mPrefs->GetString("gamedata", "", index);
  TString state = mPrefs->GetString("gamestate", "", index);
  int32_t mode = mPrefs->GetInt("gamemode", -1, index);
  // The mode chooses its score table with it, so that scores go where the mode keeps them.
  SetCurrentGameMode(mode >= -1 && mode <= 1 ? mode : -1);
  RecreateModelLoader();
  CGame::DestroyInstance();
  CGame::CreateInstance();
  mSavedGameDamaged = false;
  if (TScript* script = GetModelScript()) {
    if (data.IsEmpty()) {
      script->RunScript(GetConfig("scriptGame"));
      StartAtDemoScene();
    } else if (!script->DoLuaString(data) || !script->DoLuaString(state)) {
      LogPrintf("Settings: the saved game of player %d does not load; it is kept as it is until the game is reset",
                index);
      mSavedGameDamaged = true;
    }
  }
  // The score and the diary come with the player, so that a save before the game starts
  // writes them back as they were.
  LoadScoreAndDiary();
  DestroyModelLoader();
  // A player is chosen while the main menu is the screen: the first scene change from it
  // leaves no scene (a saved game may say otherwise, as it was saved in a scene).
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance())
    globals->SetGlobalBool("isMainMenu", true);
}

void TSettings::CreateNewUser(const TString& name) {
  int32_t index = GetNumUsers();
  if (index > TPrefsDB::MaxUserIndex) {
    LogPrintf("Settings: no room for another player");
    return;
  }
  int32_t previous = GetCurrentUser();
  int sound = mPrefs->GetInt("soundlevel", DefaultSoundLevel(), previous);
  int music = mPrefs->GetInt("musiclevel", DefaultSoundLevel(), previous);
  int off = mPrefs->GetInt("soundoff", 0, previous);
  mPrefs->SetString("name", name, index);
  mPrefs->SetInt("soundlevel", sound, index);
  mPrefs->SetInt("musiclevel", music, index);
  mPrefs->SetInt("soundoff", off, index);
  SetCurrentUser(index);
}

void TSettings::DeleteUser(int32_t index) {
  if (!IsPlayerIndex(index)) {
    LogPrintf("Settings: there is no player %d to delete", index);
    return;
  }
  mHiscores->RemovePlayer(GetUserName(index));
  RemoveUserRow(index);
}

void TSettings::RemoveUserRow(int32_t index) {
  mPrefs->RemoveUser(index);
  mPrefs->Commit();
  int32_t next = index - 1;
  if (next < 0) next = GetNumUsers() - 1;
  SetCurrentUser(next);
}

// A finished story leaves its score in the highscores: deleting the player there would take
// the row that the end of the game has just added.
void TSettings::RenewCurrentUser() {
  int32_t index = GetCurrentUser();
  if (!IsPlayerIndex(index)) {
    LogPrintf("Settings: there is no current player to start afresh");
    return;
  }
  TString name = GetUserName(index);
  RemoveUserRow(index);
  CreateNewUser(name);
}

void TSettings::ResetUserGame(int32_t index) {
  if (!IsPlayerIndex(index)) {
    LogPrintf("Settings: there is no player %d whose game could be reset", index);
    return;
  }
  mPrefs->SetString("gamedata", "", index);
  mPrefs->SetString("gamestate", "", index);
  mPrefs->Commit();
  if (index == GetCurrentUser()) mSavedGameDamaged = false;
}

void TSettings::ChangeCurrentUserName(const TString& name) {
  int32_t user = mPrefs->GetInt("curuser", 0);
  if (!IsPlayerIndex(user)) {
    LogPrintf("Settings: there is no current player to rename");
    return;
  }
  uint32_t score = HighscoreSystem::Call(&CHighscoreSystem::GetHighscoreAsInt);
  TString old = GetUserName(user);
  mPrefs->SetString("name", name, user);
  bool ranked = IsRankedName(*mHiscores, old);
  // The player keeps every score and medal under the new name.
  mHiscores->RenamePlayer(old, name);
  mHiscores->SetInfoString(1, name);
  if (ranked) mHiscores->AddScore(int(score), true, "");
}

bool TSettings::IsNameInUse(const TString& name) {
  for (int32_t i = 0, count = GetNumUsers(); i < count; i++)
    if (GetUserName(i) == name) return true;
  return false;
}

TString TSettings::GetGameModeName(int32_t mode) { return GetGameModeTableName(mode); }

void TSettings::SetCurrentGameMode(int32_t mode) {
  if (mode < -1 || mode > 1) return;
  mGameMode = mode;
  mHiscores->SetInfoString(2, GetGameModeTableName(mode));
}

// ---- Display and sound ----

bool TSettings::IsFullScreen() {
  TPlatform* platform = GetPlatform();
  return platform && platform->IsFullScreen();
}

bool TSettings::ToggleFullScreen() {
  TPlatform* platform = GetPlatform();
  if (!platform) return false;
  bool full = !platform->IsFullScreen();
  if (!platform->SetFullScreen(full)) return false;
  mPrefs->SetInt("fullscreen", full ? 1 : 0);
  return true;
}

void TSettings::ToggleSoundMute() {
  int32_t user = GetCurrentUser();
  int off = mPrefs->GetInt("soundoff", 0, user) % 2 == 0 ? 1 : 0;
  mPrefs->SetInt("soundoff", off, user);
  if (TSoundManager* sounds = GetSoundManager()) sounds->SetMasterVolume(off == 0 ? 1.0f : 0.0f);
}

void TSettings::LoadDisplaySettings() {
  bool full = mPrefs->GetInt("fullscreen", 1) == 1;
  // A display that cannot be set up ends the game (the quit is posted, the exit code set).
  if (TPlatform* platform = GetPlatform())
    platform->InitDisplay(ReadScreenSide("screenwidth", 1024), ReadScreenSide("screenheight", 768), full);
  ApplySoundSettings();
}

void TSettings::ApplySoundSettings() {
  int32_t user = GetCurrentUser();
  int sound = mPrefs->GetInt("soundlevel", DefaultSoundLevel(), user);
  int music = mPrefs->GetInt("musiclevel", DefaultSoundLevel(), user);
  int off = mPrefs->GetInt("soundoff", 0, user);
  TSoundManager* sounds = GetSoundManager();
  if (!sounds) return;
  sounds->SetGroupVolume(1000, LevelVolume(sound));
  sounds->SetGroupVolume(0, LevelVolume(sound));
  sounds->SetGroupVolume(1001, LevelVolume(music));
  sounds->SetMasterVolume(off == 0 ? 1.0f : 0.0f);
}

void TSettings::StoreFullScreenState() { mPrefs->SetInt("fullscreen", IsFullScreen() ? 1 : 0); }

// ---- The saved game ----

void TSettings::SaveGame() {
  if (mSavedGameDamaged) {
    LogPrintf("Settings: the saved game of player %d did not load; it is not overwritten", GetCurrentUser());
    return;
  }
  if (CGame* game = CGame::GetInstance()) {
    std::string text;
    game->Serialize(text);
    mPrefs->SetString("gamedata", TString(text), GetCurrentUser());
  }
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance()) {
    std::string text;
    globals->Serialize(text);
    mPrefs->SetString("gamestate", TString(text), GetCurrentUser());
  }
  mPrefs->SetInt("gamemode", mGameMode, GetCurrentUser());
  HighscoreSystem::Call(&CHighscoreSystem::SaveHighscoreCurrentUser);
  if (TDiary* diary = TDiary::GetInstance()) diary->SaveToPrefs();
  mPrefs->Commit();
}

void TSettings::CreateDiary() { ApplyDiarySettings(*TDiary::CreateInstance()); }

void TSettings::LoadScoreAndDiary() {
  HighscoreSystem::Call(&CHighscoreSystem::LoadHighscoreCurrentUser);
  if (TDiary* diary = TDiary::GetInstance()) diary->LoadFromPrefs();
}
