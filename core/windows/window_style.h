#pragma once
// TWindowStyle: the typed reader over a window's style table, which a window script builds
// and hands to the window's Init. A key the style lacks is looked up in the global
// "gCurrentDefaultStyle" and then along that table's chain of "parent" tables, so that
// scripts state only what differs. Every reader leaves the Lua stack as it found it; a
// raising metamethod costs the reader its default (the error is reported as a script
// error), never an unprotected error.

#include <array>
#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "script/lua_object_wrapper.h"
#include "script/lua_table_reader.h"

class TWindowStyle {
 public:
  // table: a non-owning link to the wrapper of the style table, which outlives the style.
  explicit TWindowStyle(TLuaObjectWrapper* table) : mTable(table) {}
  virtual ~TWindowStyle() = default;

  double GetNumber(const TString& key, double defaultValue);
  // GetNumber truncated toward zero.
  int32_t GetInt(const TString& key, int32_t defaultValue);
  TString GetString(const TString& key, const TString& defaultValue);
  // Four numbers (a colour or a rectangle) from a table of four.
  TLuaVec4 GetQuad(const TString& key, const TLuaVec4& defaultValue);
  // Booleans, numbers (0 is false) and nil; strings and other types give false and a log line.
  bool GetBool(const TString& key, bool defaultValue);
  // A new reader over the value (whatever its type), or null when the key is not found.
  std::unique_ptr<TLuaTable> GetTable(const TString& key);
  std::unique_ptr<TLuaFunction> GetFunction(const TString& key);

  lua_State* GetState() const { return mTable ? mTable->GetState() : nullptr; }

  // Converts and pops the value on top of L's stack as GetBool does.
  static bool PopBool(lua_State* L);

 private:
  // Pushes the value found for the key and answers true; pushes nothing when not found.
  bool Find(const TString& key);

  TLuaObjectWrapper* mTable;
};
