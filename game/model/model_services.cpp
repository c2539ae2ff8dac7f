#include "model/model_services.h"

#include <utility>

#include "platform/log.h"
#include "script/script.h"

namespace {

TScript* gModelScript = nullptr;
TPlayerPrefsSource gPlayerPrefs;

}  // namespace

void SetModelScript(TScript* script) { gModelScript = script; }

TScript* GetModelScript() { return gModelScript; }

lua_State* GetModelLuaState() { return gModelScript ? gModelScript->GetState() : nullptr; }

void SetPlayerPrefsSource(TPlayerPrefsSource source) { gPlayerPrefs = std::move(source); }

TPlayerPrefs GetPlayerPrefs() { return gPlayerPrefs ? gPlayerPrefs() : TPlayerPrefs(); }

bool WithPlayerPrefs(const char* owner, const char* consequence,
                     const std::function<void(TPrefsDB& db, int user)>& use) {
  TPlayerPrefs prefs = GetPlayerPrefs();
  if (!prefs.db) {
    LogPrintf("%s: no preferences database; %s", owner, consequence);
    return false;
  }
  use(*prefs.db, prefs.user);
  return true;
}

void CModelBinding::Clear(const char* name) {
  if (mState && mState == GetModelLuaState()) ClearLuaGlobalOf(mState, name, mObject);
}

CModelBinding::~CModelBinding() {
  if (mState && mState == GetModelLuaState()) UnbindLuaObject(mState, mObject, mStale);
}
