#pragma once
// TLuaTable: the typed reader through which loaders and bound members read tables that
// scripts hand over. Getters index the table with Lua's own access rules (metamethods
// apply) inside a protected call: a raising metamethod costs the caller its default, and
// the error becomes a script error of the bound call that reads (or a "Lua error" log line
// outside one), never an unprotected error. Every operation leaves the stack top as it was,
// except PushField and PushIndex, whose purpose is to push.

#include <array>
#include <memory>

#include "platform/engine_string.h"
#include "script/lua_object_wrapper.h"

using TLuaVec4 = std::array<float, 4>;

class TLuaTable : public TLuaObjectWrapper {
 public:
  // Wraps the value on top of L's stack (popped), normally a table.
  explicit TLuaTable(lua_State* L) : TLuaObjectWrapper(L) {}

  // Pushes t[key] and answers true; a nil value (or a failed access) pushes nothing.
  bool PushField(const char* key);
  bool PushIndex(double index);

  // t[key] through lua_tonumber (a numeric string converts, other values give 0), or the
  // default when the value is nil.
  double GetNumber(const char* key, double defaultValue);
  double GetNumberAt(double index, double defaultValue);
  // t[key] through lua_tostring (numbers give their text, other values the empty string),
  // or the default when the value is nil.
  TString GetString(const char* key, const TString& defaultValue);
  TString GetStringAt(double index, const TString& defaultValue);
  // A new reader over t[index] when that is a table, else null.
  std::unique_ptr<TLuaTable> GetTableAt(double index);
  // Entries 1 to 4 of the table t[index], each falling back to its default component; the
  // whole default when t[index] is not a table.
  TLuaVec4 GetVec4At(double index, const TLuaVec4& defaultValue);

  // t[key] = value, with Lua's assignment rules.
  void SetNumber(const char* key, double value);

  // Iteration in lua_next order. Start with a null key; each call replaces the key wrapper
  // and returns a new wrapper over the value (the caller owns both). At the end it returns
  // null and the key becomes null.
  std::unique_ptr<TLuaObjectWrapper> GetNext(std::unique_ptr<TLuaObjectWrapper>& key);

  // Hands the table to the running script (the global `_SCRIPT'), which deletes it at its
  // next run or resume: on success `table' is emptied. Without a running script the caller
  // stays the owner. Returns the table either way.
  static TLuaTable* AttachToScript(std::unique_ptr<TLuaTable>& table);

 private:
  // Pushes t[key] for the key on top of the stack (replaced by the value); false, with
  // nothing pushed, when the access raised.
  bool ProtectedGet();
  template <typename Key>
  bool PushValue(const Key& key);
};

// The table argument of a bound member: a copy of the value at the stack index wrapped in a
// TLuaTable owned by the running script; without one, this holder owns it.
class TScriptTableArg {
 public:
  TScriptTableArg(TLuaTable* table, std::unique_ptr<TLuaTable> owned)
      : mTable(table), mOwned(std::move(owned)) {}
  TLuaTable* Get() const { return mTable; }
  operator TLuaTable*() const { return mTable; }  // NOLINT: converts to the member's parameter

 private:
  TLuaTable* mTable;
  std::unique_ptr<TLuaTable> mOwned;
};
TScriptTableArg NewScriptTable(lua_State* L, int index);
