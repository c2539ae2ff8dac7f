#pragma once
// TGameState: the one place where the game, the engine and whatever hosts the game exchange
// named values. A store of named strings plus an ordered list of handlers: every change of
// a value is offered to the handlers in turn, every read can be rewritten by them, and four
// yes/no questions are put to them (restart, jump to the menu, mute, wait for quit). With
// no handler it is a plain store that also mutes and unmutes the sound on the value "mute".
// Scripts reach it through five Lua globals. Main thread only.

#include <map>
#include <memory>

#include "platform/engine_string.h"
#include "script/lua/lua.h"

// A handler of the game state (a portal host, a plug-in module). Strings it returns from
// Query must stay valid until the caller has copied them.
class TGameStateHandler {
 public:
  virtual ~TGameStateHandler() = default;
  // A named event; true when this handler took it (the handlers after it do not see it).
  virtual bool HandleEvent(const char* name, const char* value) = 0;
  // The answer for a read of the value; a handler with nothing to say returns `current'.
  virtual const char* Query(const char* name, const char* current) { return current; }
  virtual bool QueryRestartMode() { return false; }
  virtual bool QueryJumpToMenu() { return false; }
  virtual bool QueryMuteGame() { return false; }
  // True while the handler wants the engine to do nothing but pump messages until quit.
  virtual bool QueryWaitForQuit() { return false; }
};

class TGameState {
 public:
  TGameState();
  // Deletes every registered handler and empties the handler list. The Lua globals must
  // have been unbound before (UnbindScript) when their state outlives this object.
  ~TGameState();
  TGameState(const TGameState&) = delete;
  TGameState& operator=(const TGameState&) = delete;

  // Appends a handler to the process-wide list (which exists without a game state, so
  // handlers may come before it); the list owns it. Order of registration is the order of
  // consultation.
  static void AddHandler(std::unique_ptr<TGameStateHandler> handler);
  static size_t GetHandlerCount();

  // Stores the value, then offers it to the handlers until one takes it. A name starting
  // with "++" counts its shortened name up by one instead. Answers whether a handler took it.
  bool SendEvent(const TString& name, const TString& value);
  // SendEvent with the value as "%d".
  bool PostIntEvent(const TString& name, int32_t value);
  // The stored value as the handlers answer it; a name never stored is entered empty.
  TString GetState(const TString& name);
  // Each asks the handlers in order and stops at the first yes. Muting falls back to the
  // stored "mute" value read as a number.
  bool QueryMuteGame();
  bool QueryRestartMode();
  bool QueryJumpToMenu();
  bool QueryWaitForQuit();
  // The script form of SendEvent, on the current game state.
  static void _SetState(const TString& name, const TString& value);

  // Registers "GetState", "_SetState", "QueryMuteGame", "QueryRestartMode" and
  // "QueryJumpToMenu" on the script state (the window manager's); UnbindScript makes them
  // harmless again before the state or this object goes.
  void BindScript(lua_State* L);
  void UnbindScript();

 private:
  // What no handler took: "mute" switches the master volume.
  void ApplyMute(const TString& previous, const TString& value);

  std::map<TString, TString> mValues;
  float mSavedMasterVolume = 0.0f;
  lua_State* mBoundState = nullptr;  // non-owning: the state the globals live in
};

// The game-state singleton, made on first use.
TGameState* GetGameState();
// Teardown: deletes it with its handlers (the next GetGameState makes a new one).
void DeleteGameState();
// Whether any handler asks the engine to wait for quit; false without a game state.
bool QueryWaitForQuit();
