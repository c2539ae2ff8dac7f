#pragma once
// TMsnZylomHandler: the game-state handler of a portal host page. It turns the game's state
// changes (level, score, pause, mute, game over ...) into commands to the host, turns the
// host's codes into requests that the scripts poll (restart, jump to the menu), and holds
// the game while the host is busy. All handlers share one portal session; a handler's own
// state is only whether its command line asked for the AOL flavour, in which it answers
// the "systemmode" query and does nothing else.

#include <string>

#include "host/game_state.h"

class TMsnZylomHandler : public TGameStateHandler {
 public:
  bool HandleEvent(const char* name, const char* value) override;
  const char* Query(const char* name, const char* current) override;
  bool QueryRestartMode() override;
  bool QueryJumpToMenu() override;
  bool QueryMuteGame() override;
  bool QueryWaitForQuit() override;

 private:
  bool mAol = false;
};
