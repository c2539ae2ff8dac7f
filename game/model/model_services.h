#pragma once
// What the model reaches outside itself, installed by the game's start-up (the model knows
// nothing of windows or of the settings object):
// - the model script: the script state on which the model's singletons register their Lua
//   functions and in which commands run (the window manager's script);
// - the current player's preferences: the database and the player's index, for the values
//   saved per player.
// Without them the model still works: it binds nothing, commands log a line and do
// nothing, and per-player values are neither loaded nor saved.

#include <functional>

#include "script/lua/lua.h"
#include "script/lua_binding.h"

class TScript;
class TPrefsDB;

// Installed before the model singletons are made; set back to null before the script goes.
void SetModelScript(TScript* script);
TScript* GetModelScript();
// The model script's state, or null.
lua_State* GetModelLuaState();

struct TPlayerPrefs {
  TPrefsDB* db = nullptr;  // not owned; null while there is no database
  int user = -1;           // -1: the install-wide values
};
using TPlayerPrefsSource = std::function<TPlayerPrefs()>;
// The settings object installs it once it owns the database; null removes it.
void SetPlayerPrefsSource(TPlayerPrefsSource source);
TPlayerPrefs GetPlayerPrefs();
// Runs `use' with the current player's database and index; without a database it logs
// "<owner>: no preferences database; <consequence>" and answers false.
bool WithPlayerPrefs(const char* owner, const char* consequence,
                     const std::function<void(TPrefsDB& db, int user)>& use);

// The Lua functions of one model object, registered on the model script as it is when the
// object is made. When the object goes they are made harmless (a call does what `stale'
// says: a script error for model objects), unless the model script has gone or changed
// since: then they went with it.
class CModelBinding {
 public:
  explicit CModelBinding(const void* object, TStaleCall stale = TStaleCall::Raise)
      : mState(GetModelLuaState()), mObject(object), mStale(stale) {}
  ~CModelBinding();
  CModelBinding(const CModelBinding&) = delete;
  CModelBinding& operator=(const CModelBinding&) = delete;

  template <typename Obj, typename Member>
  void Bind(const char* name, Obj* object, Member member) {
    if (mState) BindLuaMember(mState, name, object, member);
  }
  // Removes the global while it still refers to this object (a later object's binding of the
  // name stays); nothing once the model script has gone or changed.
  void Clear(const char* name);

 private:
  lua_State* mState;
  const void* mObject;
  TStaleCall mStale;
};
