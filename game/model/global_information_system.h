#pragma once
// CGlobalInformationSystem: the game's free-form global state, named strings, numbers and
// flags that scripts and a few windows set and read while a player plays. One instance per
// selected player; it is saved with the game (the "gamestate" text) as Lua calls of its
// own setters, and restored by running that text.
//
// The three maps are independent (one key may stand in all three) and are kept in key
// order; nothing is ever removed. A get never inserts.

#include <map>
#include <memory>
#include <string>

#include "model/model_services.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CGlobalInformationSystem : public ISerializable {
 public:
  // The current instance, or null before the first player is selected.
  static CGlobalInformationSystem* GetInstance();
  // Deletes the current instance (its Lua functions go with it), then makes a new, empty one
  // whose functions replace them.
  static CGlobalInformationSystem* CreateInstance();
  static void DestroyInstance();

  // Registers "GetGlobalString", "GetGlobalNumber", "GetGlobalBool", "SetGlobalString",
  // "SetGlobalNumber" and "SetGlobalBool" on the model script.
  CGlobalInformationSystem();
  CGlobalInformationSystem(const CGlobalInformationSystem&) = delete;
  CGlobalInformationSystem& operator=(const CGlobalInformationSystem&) = delete;

  // Absent keys give "", 0 and false.
  TString GetGlobalString(const TString& key) const;
  double GetGlobalNumber(const TString& key) const;
  bool GetGlobalBool(const TString& key) const;
  void SetGlobalString(const TString& key, const TString& value);
  void SetGlobalNumber(const TString& key, double value);
  void SetGlobalBool(const TString& key, bool value);

  // Appends a line feed and one setter call per entry (strings, then numbers, then flags,
  // each in key order), with nothing between the calls: Lua that rebuilds the store.
  void Serialize(std::string& out) const override;

 private:
  std::map<TString, TString> mStrings;
  std::map<TString, double> mNumbers;
  std::map<TString, bool> mBools;
  CModelBinding mBinding{this};
};
