#include "model/record_reader.h"

#include <cstring>

#include "script/lua_glue.h"

namespace {

// The text of a key or value on top of the stack (a copy: converting a number in place
// touches only the copy), the empty string for anything that is neither string nor number.
std::string TopText(lua_State* L) {
  size_t length = 0;
  const char* text = lua_isstring(L, -1) ? lua_tostring(L, -1) : nullptr;
  if (text) length = lua_strlen(L, -1);
  return text ? std::string(text, length) : std::string();
}

}  // namespace

CRecordEntry::CRecordEntry(TLuaObjectWrapper& key, TLuaObjectWrapper& value) : mValue(value) {
  lua_State* L = key.GetState();
  LuaStackGuard guard(L);
  if (L && key.PushTable()) {
    mKeyNumber = lua_tonumber(L, -1);
    mKey = TopText(L);
  }
  if (L && value.PushTable()) mType = lua_type(L, -1);
}

double CRecordEntry::Number() const {
  lua_State* L = mValue.GetState();
  LuaStackGuard guard(L);
  return L && mValue.PushTable() ? lua_tonumber(L, -1) : 0;
}

int32_t CRecordEntry::Whole() const { return LuaNumberToInt(Number()); }

uint32_t CRecordEntry::Unsigned() const { return LuaNumberToUnsigned(Number()); }

float CRecordEntry::Real() const { return LuaNumberToFloat(Number()); }

TString CRecordEntry::String() const {
  lua_State* L = mValue.GetState();
  LuaStackGuard guard(L);
  if (!L || !mValue.PushTable()) return TString();
  std::string text = TopText(L);
  return TString(text.data(), text.size());
}

bool CRecordEntry::Flag() const {
  TString text = String();
  return !(text.Length() == 5 && memcmp(text.c_str(), "false", 5) == 0);
}

bool CRecordEntry::TrueFlag() const {
  TString text = String();
  return text.Length() == 4 && memcmp(text.c_str(), "true", 4) == 0;
}

std::unique_ptr<TLuaTable> CRecordEntry::Table() const {
  lua_State* L = mValue.GetState();
  if (!IsTable() || !L || !mValue.PushTable()) return nullptr;
  return std::make_unique<TLuaTable>(L);
}

void WalkRecord(TLuaTable& table, const std::function<void(const CRecordEntry&)>& visit) {
  std::unique_ptr<TLuaObjectWrapper> key;
  while (std::unique_ptr<TLuaObjectWrapper> value = table.GetNext(key)) {
    CRecordEntry entry(*key, *value);
    visit(entry);
  }
}

void WalkListValues(TLuaTable& table, const std::function<void(const CRecordEntry&)>& visit) {
  WalkRecord(table, [&](const CRecordEntry& entry) {
    if (!entry.Is("modeltype")) visit(entry);
  });
}

int32_t ModelTypeOf(TLuaTable& table) { return LuaNumberToInt(table.GetNumber("modeltype", 0)); }
