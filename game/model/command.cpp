#include "model/command.h"

#include "model/model_services.h"
#include "model/record_writer.h"
#include "platform/log.h"
#include "script/script.h"

void CCommandLua::Serialize(std::string& out) const { out += mCode.c_str(); }

void CCommandLua::Execute() {
  TScript* script = GetModelScript();
  if (!script) {
    LogPrintf("Command not run (no model script): %s", mCode.c_str());
    return;
  }
  // A copy: the code may delete this command.
  TString code = mCode;
  script->DoLuaString(code);
}

void ActionMap::Set(const TString& event, std::shared_ptr<CCommand> command) {
  if (command) mEntries[event.ToStd()] = std::move(command);
}

CCommand* ActionMap::Find(const TString& event) const {
  auto it = mEntries.find(event.ToStd());
  return it == mEntries.end() ? nullptr : it->second.get();
}

bool ActionMap::Execute(const TString& event) const {
  auto it = mEntries.find(event.ToStd());
  if (it == mEntries.end()) return false;
  std::shared_ptr<CCommand> command = it->second;
  command->Execute();
  return true;
}

void ActionMap::CopyEntriesFrom(const ActionMap& other) {
  for (const auto& [event, command] : other.mEntries) mEntries[event] = command;
}

void ActionMap::Serialize(std::string& out) const {
  if (mEntries.empty()) return;
  CRecordWriter record("MakeActionMap");
  for (const auto& [event, command] : mEntries) {
    std::string code;
    command->Serialize(code);
    std::string& text = record.Buffer();
    text += '{';
    AppendLuaString(text, TString(event));
    text += " ,";
    AppendLuaString(text, TString(code));
    text += "},\n";
  }
  record.Finish(out);
}
