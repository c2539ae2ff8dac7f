#pragma once
// Reading the tables that the model text builds. A record is walked once, entry by entry in
// the order of Lua's table traversal; each entry's key text is compared with the record's
// keys, and the first match reads the value in the form its setter takes:
//   TString  the value's text (a number gives its text, other values the empty string)
//   int32_t  the number truncated toward zero (a numeric string converts, others give 0)
//   uint32_t the same, kept unsigned (-1 reads as 2^32 - 1, as it was written)
//   float    the number with its fraction
//   bool     true unless the text is exactly "false" (TrueFlagKey: only exactly "true")
// An entry whose key matches none and whose value is a table is a nested record: its
// "modeltype" (0 when absent, truncated) chooses what the record does with it. Anything else
// is ignored without a word; no order of named fields may matter.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/engine_string.h"
#include "script/lua_object_wrapper.h"
#include "script/lua_table_reader.h"

// One entry of a walk. The wrappers belong to the walk and go before the next entry.
class CRecordEntry {
 public:
  CRecordEntry(TLuaObjectWrapper& key, TLuaObjectWrapper& value);

  // The key as text: a positional key gives its number's text ("1"), which names no field.
  const std::string& GetKey() const { return mKey; }
  bool Is(const std::string& key) const { return mKey == key; }
  // The key as a number (a numeric string converts, other keys give 0).
  double KeyNumber() const { return mKeyNumber; }

  double Number() const;
  int32_t Whole() const;
  uint32_t Unsigned() const;
  float Real() const;
  TString String() const;
  bool Flag() const;
  bool TrueFlag() const;
  template <typename T>
  T As() const;

  bool IsTable() const { return mType == LUA_TTABLE; }
  // A string or a number: a value with a text.
  bool IsText() const { return mType == LUA_TSTRING || mType == LUA_TNUMBER; }
  // A reader over the value when it is a table, else null.
  std::unique_ptr<TLuaTable> Table() const;

 private:
  TLuaObjectWrapper& mValue;
  std::string mKey;
  double mKeyNumber = 0;
  int mType = LUA_TNIL;
};

template <>
inline TString CRecordEntry::As<TString>() const { return String(); }
template <>
inline int32_t CRecordEntry::As<int32_t>() const { return Whole(); }
template <>
inline uint32_t CRecordEntry::As<uint32_t>() const { return Unsigned(); }
template <>
inline float CRecordEntry::As<float>() const { return Real(); }
template <>
inline bool CRecordEntry::As<bool>() const { return Flag(); }

// Visits every entry of the table once, in traversal order.
void WalkRecord(TLuaTable& table, const std::function<void(const CRecordEntry&)>& visit);
// The values of every entry but "modeltype", in traversal order (a list record's items).
void WalkListValues(TLuaTable& table, const std::function<void(const CRecordEntry&)>& visit);
// A nested record's model type: its "modeltype" field truncated, 0 when absent.
int32_t ModelTypeOf(TLuaTable& table);
// The model type of a nested table that has no "modeltype" (a plain list in a record).
constexpr int32_t PlainTableType = 0;

// The setter shorthands of CRecordRules apply to the walk's target itself, or, when the
// setter belongs to another class, to what the target's Subject() answers (a record that
// gathers locals around the object it fills).
template <typename Obj, typename Target>
Obj& SubjectOf(Target& target) {
  if constexpr (std::is_base_of_v<Obj, Target>)
    return target;
  else
    return target.Subject();
}

// The keys of one record kind and the nested records it accepts, and the walk that applies
// them to a target.
template <typename Target>
class CRecordRules {
 public:
  using Apply = std::function<void(Target&, const CRecordEntry&)>;
  using Compose = std::function<void(Target&, TLuaTable&)>;

  // Keys are tested in the order they are added.
  CRecordRules& Key(std::string key, Apply apply) {
    mKeys.push_back({std::move(key), std::move(apply)});
    return *this;
  }
  // The value read in the form of the setter's parameter.
  template <typename Obj, typename Arg>
  CRecordRules& Key(std::string key, void (Obj::*setter)(Arg)) {
    using Value = std::remove_cv_t<std::remove_reference_t<Arg>>;
    return Key(std::move(key), [setter](Target& target, const CRecordEntry& entry) {
      (SubjectOf<Obj>(target).*setter)(entry.As<Value>());
    });
  }
  // A local of the target, read in the form of its type (for records that gather values to
  // apply after the walk).
  template <typename Value>
  CRecordRules& Field(std::string key, Value Target::*field) {
    return Key(std::move(key), [field](Target& target, const CRecordEntry& entry) {
      target.*field = entry.As<Value>();
    });
  }
  // A flag that is true only for exactly "true".
  template <typename Obj>
  CRecordRules& TrueFlagKey(std::string key, void (Obj::*setter)(bool)) {
    return Key(std::move(key), [setter](Target& target, const CRecordEntry& entry) {
      (SubjectOf<Obj>(target).*setter)(entry.TrueFlag());
    });
  }
  // What a nested record of that model type does; a later rule for a type replaces one.
  CRecordRules& Nested(int32_t modelType, Compose compose) {
    mNested[modelType] = std::move(compose);
    return *this;
  }

  void Walk(Target& target, TLuaTable& table) const {
    WalkRecord(table, [&](const CRecordEntry& entry) {
      for (const auto& rule : mKeys) {
        if (entry.Is(rule.key)) {
          rule.apply(target, entry);
          return;
        }
      }
      if (mNested.empty() || !entry.IsTable()) return;
      std::unique_ptr<TLuaTable> nested = entry.Table();
      if (!nested) return;
      auto it = mNested.find(ModelTypeOf(*nested));
      if (it != mNested.end()) it->second(target, *nested);
    });
  }

 private:
  struct Rule {
    std::string key;
    Apply apply;
  };
  std::vector<Rule> mKeys;
  std::map<int32_t, Compose> mNested;
};
