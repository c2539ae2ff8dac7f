#include "model/global_information_system.h"

#include "model/record_writer.h"

namespace {

std::unique_ptr<CGlobalInformationSystem> gInstance;

template <typename Map, typename Value>
Value Lookup(const Map& map, const TString& key, Value absent) {
  auto it = map.find(key);
  return it == map.end() ? absent : it->second;
}

// "Name("key", " for one setter call; the value and ");" follow.
void BeginCall(std::string& out, const char* name, const TString& key) {
  out += name;
  out += '(';
  AppendLuaString(out, key);
  out += ", ";
}

}  // namespace

CGlobalInformationSystem* CGlobalInformationSystem::GetInstance() { return gInstance.get(); }

CGlobalInformationSystem* CGlobalInformationSystem::CreateInstance() {
  gInstance.reset();
  gInstance = std::make_unique<CGlobalInformationSystem>();
  return gInstance.get();
}

void CGlobalInformationSystem::DestroyInstance() { gInstance.reset(); }

CGlobalInformationSystem::CGlobalInformationSystem() {
  mBinding.Bind("GetGlobalString", this, &CGlobalInformationSystem::GetGlobalString);
  mBinding.Bind("GetGlobalNumber", this, &CGlobalInformationSystem::GetGlobalNumber);
  mBinding.Bind("GetGlobalBool", this, &CGlobalInformationSystem::GetGlobalBool);
  mBinding.Bind("SetGlobalString", this, &CGlobalInformationSystem::SetGlobalString);
  mBinding.Bind("SetGlobalNumber", this, &CGlobalInformationSystem::SetGlobalNumber);
  mBinding.Bind("SetGlobalBool", this, &CGlobalInformationSystem::SetGlobalBool);
}

TString CGlobalInformationSystem::GetGlobalString(const TString& key) const {
  return Lookup(mStrings, key, TString());
}

double CGlobalInformationSystem::GetGlobalNumber(const TString& key) const { return Lookup(mNumbers, key, 0.0); }

bool CGlobalInformationSystem::GetGlobalBool(const TString& key) const { return Lookup(mBools, key, false); }

void CGlobalInformationSystem::SetGlobalString(const TString& key, const TString& value) { mStrings[key] = value; }

void CGlobalInformationSystem::SetGlobalNumber(const TString& key, double value) { mNumbers[key] = value; }

void CGlobalInformationSystem::SetGlobalBool(const TString& key, bool value) { mBools[key] = value; }

void CGlobalInformationSystem::Serialize(std::string& out) const {
  std::string text = "\n";
  for (const auto& [key, value] : mStrings) {
    BeginCall(text, "SetGlobalString", key);
    AppendLuaString(text, value);
    text += ");";
  }
  for (const auto& [key, value] : mNumbers) {
    BeginCall(text, "SetGlobalNumber", key);
    text += FormatLuaNumber(value);
    text += ");";
  }
  for (const auto& [key, value] : mBools) {
    BeginCall(text, "SetGlobalBool", key);
    text += value ? "true" : "false";
    text += ");";
  }
  out += text;
}
