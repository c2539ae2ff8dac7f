#include "model/model_services.h"

#include <utility>

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

CModelBinding::~CModelBinding() {
  if (mState && mState == GetModelLuaState()) UnbindLuaObject(mState, mObject);
}
