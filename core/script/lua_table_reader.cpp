#include "script/lua_table_reader.h"

#include "script/lua/lauxlib.h"
#include "script/lua_glue.h"
#include "script/script.h"

namespace {

// Protected bodies: they run inside lua_pcall, so an error raised by a metamethod (or by
// indexing something that is not a table) comes back as a status.
int GetFieldBody(lua_State* L) {  // (table, key) -> value
  lua_gettable(L, 1);
  return 1;
}

int SetFieldBody(lua_State* L) {  // (table, key, value)
  lua_settable(L, 1);
  return 0;
}

int NextPairBody(lua_State* L) {  // (table, key) -> next key, value; nil, nil at the end
  if (lua_next(L, 1)) return 2;
  lua_pushnil(L);
  lua_pushnil(L);
  return 2;
}

void PushKey(lua_State* L, const char* key) { lua_pushstring(L, key); }
void PushKey(lua_State* L, double index) { lua_pushnumber(L, index); }

// Runs body(table, the `argc' values on top) protected; false (and the values popped) when
// it raised, with the error reported.
bool CallWithTable(TLuaTable& table, lua_CFunction body, int argc, int results) {
  lua_State* L = table.GetState();
  if (!lua_checkstack(L, 2) || !table.PushTable()) {
    lua_pop(L, argc);
    ReportScriptError("stack overflow");
    return false;
  }
  lua_insert(L, -(argc + 1));
  lua_pushcfunction(L, body);
  lua_insert(L, -(argc + 2));
  if (lua_pcall(L, argc + 1, results, 0) != 0) {
    ReportScriptError(lua_tostring(L, -1));
    lua_pop(L, 1);
    return false;
  }
  return true;
}

}  // namespace

bool TLuaTable::ProtectedGet() { return CallWithTable(*this, GetFieldBody, 1, 1); }

template <typename Key>
bool TLuaTable::PushValue(const Key& key) {
  lua_State* L = GetState();
  if (!L || !lua_checkstack(L, 1)) return false;
  PushKey(L, key);
  if (!ProtectedGet()) return false;
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    return false;
  }
  return true;
}

bool TLuaTable::PushField(const char* key) { return PushValue(key); }

bool TLuaTable::PushIndex(double index) { return PushValue(index); }

double TLuaTable::GetNumber(const char* key, double defaultValue) {
  LuaStackGuard guard(GetState());
  return PushField(key) ? lua_tonumber(GetState(), -1) : defaultValue;
}

double TLuaTable::GetNumberAt(double index, double defaultValue) {
  LuaStackGuard guard(GetState());
  return PushIndex(index) ? lua_tonumber(GetState(), -1) : defaultValue;
}

TString TLuaTable::GetString(const char* key, const TString& defaultValue) {
  LuaStackGuard guard(GetState());
  return PushField(key) ? GetLuaString(GetState(), -1) : defaultValue;
}

TString TLuaTable::GetStringAt(double index, const TString& defaultValue) {
  LuaStackGuard guard(GetState());
  return PushIndex(index) ? GetLuaString(GetState(), -1) : defaultValue;
}

std::unique_ptr<TLuaTable> TLuaTable::GetTableAt(double index) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!PushIndex(index) || !lua_istable(L, -1)) return nullptr;
  return std::make_unique<TLuaTable>(L);
}

TLuaVec4 TLuaTable::GetVec4At(double index, const TLuaVec4& defaultValue) {
  std::unique_ptr<TLuaTable> entry = GetTableAt(index);
  if (!entry) return defaultValue;
  TLuaVec4 result;
  for (int i = 0; i < 4; i++) result[i] = LuaNumberToFloat(entry->GetNumberAt(i + 1, defaultValue[i]));
  return result;
}

void TLuaTable::SetNumber(const char* key, double value) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!L || !lua_checkstack(L, 2)) return;
  lua_pushstring(L, key);
  lua_pushnumber(L, value);
  CallWithTable(*this, SetFieldBody, 2, 0);
}

std::unique_ptr<TLuaObjectWrapper> TLuaTable::GetNext(std::unique_ptr<TLuaObjectWrapper>& key) {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  bool pushed = false;
  if (L && key)
    pushed = key->PushTable();
  else if (L && lua_checkstack(L, 1)) {
    lua_pushnil(L);
    pushed = true;
  }
  key.reset();
  if (!pushed || !CallWithTable(*this, NextPairBody, 1, 2) || lua_isnil(L, -2)) return nullptr;
  auto value = std::make_unique<TLuaObjectWrapper>(L);
  key = std::make_unique<TLuaObjectWrapper>(L);
  return value;
}

TLuaTable* TLuaTable::AttachToScript(std::unique_ptr<TLuaTable>& table) {
  TLuaTable* raw = table.get();
  if (!raw) return nullptr;
  if (TScript* script = TScript::GetRunningScript(raw->GetState())) script->AddPendingWrapper(std::move(table));
  return raw;
}

TScriptTableArg NewScriptTable(lua_State* L, int index) {
  luaL_checkstack(L, 1, "table argument");
  lua_pushvalue(L, index);
  auto table = std::make_unique<TLuaTable>(L);
  TLuaTable* raw = TLuaTable::AttachToScript(table);
  return TScriptTableArg(raw, std::move(table));
}
