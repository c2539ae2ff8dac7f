#pragma once
// TGameState: the game-state object that hosts and scripts talk to. Named events are
// offered to its handlers in turn until one takes them. Without a portal or module there
// is no handler and every event goes nowhere. Main thread only.

#include <memory>
#include <vector>

#include "platform/engine_string.h"

class TGameStateHandler {
 public:
  virtual ~TGameStateHandler() = default;
  // A named event; true when this handler took it (the handlers after it do not see it).
  virtual bool OnEvent(const TString& name, const TString& value) = 0;
  // True while the handler wants the engine to do nothing but pump messages until quit.
  virtual bool WantsWaitForQuit() const { return false; }
};

class TGameState {
 public:
  // Answers whether a handler took the event.
  bool SendEvent(const TString& name, const TString& value);
  // The same with the value formatted "%d".
  bool PostIntEvent(const TString& name, int value);
  void AddHandler(std::unique_ptr<TGameStateHandler> handler);
  bool QueryWaitForQuit() const;
  size_t GetHandlerCount() const { return mHandlers.size(); }

 private:
  std::vector<std::unique_ptr<TGameStateHandler>> mHandlers;
};

// The game-state singleton, made on first use.
TGameState* GetGameState();
// Teardown: deletes it (the next GetGameState makes a new one).
void DeleteGameState();
// Whether any handler asks the engine to wait for quit; false without a game state.
bool QueryWaitForQuit();
