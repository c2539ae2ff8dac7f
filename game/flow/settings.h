#pragma once
// TSettings: the game's settings and player manager, one object from start-up to shutdown.
// It owns the preferences database and the highscore store, manages the players (create,
// select, rename, delete), applies each player's options (full screen, volumes, mute),
// keeps the game mode, saves and loads the current player's whole game as Lua text, and
// moves the game from screen to screen (scene_flow.cpp). It also holds the screens' named
// colours and the last pointer position they handed in, and registers 28 Lua functions
// that the menu scripts call.
//
// Selecting a player re-creates the per-player singletons (score, diary, global state) and
// the game model, and builds the model from the player's saved texts or the new-game
// script. The screens below reach it through IGameFlow, which it installs while it lives.
// Main thread only.

#include <cstdint>
#include <map>
#include <memory>

#include "graphics/math/vector_math.h"
#include "model/model_services.h"
#include "platform/engine_string.h"
#include "platform/point.h"
#include "scenes/game_flow.h"

class CScene;
class TJxHiscores;
class TPrefsDB;
class TSound;
class TWindow;

class TSettings : public IGameFlow {
 public:
  static TSettings* GetInstance();
  // Deletes an existing object, then makes a new one and stores it.
  static TSettings* CreateInstance();
  static void DestroyInstance();

  // Opens the preferences database and the highscore store, registers the Lua functions and
  // selects the stored player (which builds that player's model).
  TSettings();
  // Closes the database (it commits) and the store.
  ~TSettings() override;
  TSettings(const TSettings&) = delete;
  TSettings& operator=(const TSettings&) = delete;

  // ---- Players ----
  int32_t GetNumUsers() override;
  TString GetUserName(int32_t index) override;
  // "curuser", -1 when no player is chosen.
  int32_t GetCurrentUser() override;
  TString GetCurrentUserName() override;
  // Adds the player with the options of the current one and selects it.
  void CreateNewUser(const TString& name) override;
  // Selects a player (-1: none) and loads its game; any other index out of range changes
  // nothing.
  void SetCurrentUser(int32_t index);
  // Removes a player's scores, medals and row, then selects the player before it.
  void DeleteUser(int32_t index) override;
  // Replaces the current player's row by a new one of the same name (made as CreateNewUser
  // makes it); its scores and medals stay in the store.
  void RenewCurrentUser() override;
  // Empties a player's saved game.
  void ResetUserGame(int32_t index);
  // Renames the current player, with its scores and medals.
  void ChangeCurrentUserName(const TString& name);
  bool IsNameInUse(const TString& name);

  // ---- Game mode: -1 none, 0 and 1 the two modes; each has its score table ----
  void SetCurrentGameMode(int32_t mode);
  int32_t GetCurrentGameMode() const override { return mGameMode; }

  // ---- Display and sound ----
  bool IsFullScreen() override;
  // Switches between full screen and window; false (nothing stored) when refused.
  bool ToggleFullScreen();
  void ToggleSoundMute();
  // Opens the display in the stored mode, then applies the current player's volumes.
  void LoadDisplaySettings();
  void ApplySoundSettings();
  // Stores the platform's current mode as the install-wide "fullscreen".
  void StoreFullScreenState();

  // ---- Screens ----
  // A name not in the table is added with four zeros.
  TColor GetColor(const TString& name) override;
  void SetMousePosition(int32_t x, int32_t y) override { mMouse = TPoint(x, y); }
  TPoint GetMousePosition() const override { return mMouse; }

  // ---- The saved game ----
  void SaveGame();
  // Makes the current player's diary with its page layouts and buttons from the settings.
  void CreateDiary();

  // ---- Scene changes (scene_flow.cpp) ----
  void GoToScene(int32_t number, bool fade) override;
  void GoToNextScene(bool fade) override;
  void OpenCurrentScene() override;
  // A new modal window that the scene kind's script has filled with the screen.
  std::unique_ptr<TWindow> CreateSceneWindow(const CScene& scene);
  // The script of the scene's kind; "" for a kind without one.
  static TString GetSceneScript(const CScene& scene);
  void StartGame(bool fade);
  // Saves, then marks the game as ended: the next scene change ends it with the credits.
  void EndGame();
  void QuitToMainMenu() override;
  void SetMusic(const TString& name, bool flag) override;

  // The owned stores, for the score and option screens.
  TPrefsDB& GetPrefs() { return *mPrefs; }
  TJxHiscores& GetHiscores() { return *mHiscores; }
  TJxHiscores* GetHiscoreStore() override { return mHiscores.get(); }
  TString GetGameModeName(int32_t mode) override;
  int32_t GetLeftScene() const { return mLeftScene; }
  bool IsGameEnded() const { return mGameEnded; }

 private:
  // settings_lua.cpp: the 28 script functions and the forms only scripts use.
  void BindScriptFunctions();
  void LogHighScore(int32_t score, bool, bool);
  int32_t NumMedalsToSubmit();
  int32_t NumEarnedMedals();
  TString GetMedalName(int32_t index);
  int32_t GetMedalType(int32_t index);
  TString GetMedalGameMode(int32_t index);
  TString GetMedalGameData(int32_t index);
  TString GetJXGameModeName(int32_t index);
  TString GetJXMedalName(int32_t index);
  TString GetCurrentSceneName();
  void SetCurrentSceneName(const TString& scene);
  void LuaSetMusic(const TString& name, bool flag) { SetMusic(name, flag); }

  bool IsPlayerIndex(int32_t index);
  // Removes a player's row and selects the player before it.
  void RemoveUserRow(int32_t index);
  // Builds the selected player's model from its saved texts, or from the new-game script.
  void LoadPlayerModel(int32_t index);
  void StartAtDemoScene();
  void FillColorTable();
  // The current player's score and diary values from the database.
  void LoadScoreAndDiary();

  std::map<TString, TColor> mColors;
  TPoint mMouse{0, 0};
  std::unique_ptr<TPrefsDB> mPrefs;
  std::unique_ptr<TJxHiscores> mHiscores;
  int32_t mGameMode = -1;
  std::shared_ptr<TSound> mMusic;
  TString mMusicName;
  int32_t mLeftScene = -1;
  bool mGameEnded = false;
  // Set when the player's saved game failed to load: saving then keeps the saved text
  // rather than writing the model over it.
  bool mSavedGameDamaged = false;
  CModelBinding mBinding{this};
};
