#pragma once
// IGameFlow: what the screen windows ask of the game's flow: the players, the options, the
// colours and the pointer the screens share, scene changes and the music. The settings and
// player manager at the top of the game implements it and installs itself while it lives;
// the windows below it reach it only through this interface, and do nothing while it is
// absent (GetGameFlow() answers null).
//
// gShuttingDown (also asked as GameIsQuitting): set when the game's main loop has ended,
// before the models and the windows are torn down. Screen windows read it in their
// destructors and then leave their models alone, which may be gone already.

#include <cstdint>

#include "graphics/math/vector_math.h"
#include "platform/engine_string.h"
#include "platform/point.h"

class TJxHiscores;

class IGameFlow {
 public:
  virtual ~IGameFlow() = default;

  // Players: the count, a player's name by index ("" when unset), the current index (-1:
  // none) and name; creating a player makes it current; deleting selects another.
  virtual int32_t GetNumUsers() = 0;
  virtual TString GetUserName(int32_t index) = 0;
  virtual int32_t GetCurrentUser() = 0;
  virtual TString GetCurrentUserName() = 0;
  virtual void CreateNewUser(const TString& name) = 0;
  virtual void DeleteUser(int32_t index) = 0;
  // The current player starts afresh under the same name (a new profile, no saved game);
  // the scores and medals it earned stay in the highscores.
  virtual void RenewCurrentUser() = 0;
  virtual int32_t GetCurrentGameMode() const = 0;
  virtual bool IsFullScreen() = 0;

  // A named colour of the screens (four zeros for an unknown name), and the last pointer
  // position a screen handed in.
  virtual TColor GetColor(const TString& name) = 0;
  virtual void SetMousePosition(int32_t x, int32_t y) = 0;
  virtual TPoint GetMousePosition() const = 0;

  // Scene changes: at once, or after the screen named "scene" has faded out (it then calls
  // OpenCurrentScene); back to the main menu; the music of the music channel.
  virtual void GoToScene(int32_t number, bool fade) = 0;
  virtual void GoToNextScene(bool fade) = 0;
  virtual void OpenCurrentScene() = 0;
  virtual void QuitToMainMenu() = 0;
  virtual void SetMusic(const TString& name, bool flag) = 0;

  // The highscore store (not owned; null without one) and the name of a game mode's score
  // table in it, for the highscore table.
  virtual TJxHiscores* GetHiscoreStore() { return nullptr; }
  virtual TString GetGameModeName(int32_t mode) { return TString(); }
};

// The installed flow, or null.
IGameFlow* GetGameFlow();
// Installed by the flow when it is made; null when it goes.
void SetGameFlow(IGameFlow* flow);

extern bool gShuttingDown;
inline bool GameIsQuitting() { return gShuttingDown; }
