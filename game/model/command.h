#pragma once
// Commands: the pieces of Lua that content attaches to events of hotspots, scene objects,
// hidden objects and inventory items, and the action maps that hold them by event name
// ("OnClick", "OnPickedUp" ...).

#include <map>
#include <memory>
#include <string>

#include "model/serializable.h"
#include "platform/engine_string.h"

class CCommand : public ISerializable {
 public:
  // Appends the command's own text (the action map writes it as a string).
  void Serialize(std::string& out) const override = 0;
  virtual void Execute() = 0;
};

// A piece of Lua code, run as one chunk on the model script.
class CCommandLua : public CCommand {
 public:
  explicit CCommandLua(const TString& code = TString()) : mCode(code) {}
  void SetScript(const TString& code) { mCode = code; }
  const TString& GetScript() const { return mCode; }
  // The code verbatim, without quotes or escapes.
  void Serialize(std::string& out) const override;
  // Errors are logged by the script runtime; the command keeps its code. The code may
  // delete the command's holder (it may load another game): nothing of the command is
  // touched once the code has started.
  void Execute() override;

 private:
  TString mCode;
};

// An ordered map from event name to command. Copies of a map share its commands (copying
// the entries of one map into another is how scene objects and items take a composed map).
class ActionMap {
 public:
  using Entries = std::map<std::string, std::shared_ptr<CCommand>>;

  // Stores the command under the event, replacing an earlier one; a null command is ignored.
  void Set(const TString& event, std::shared_ptr<CCommand> command);
  CCommand* Find(const TString& event) const;
  bool Has(const TString& event) const { return Find(event) != nullptr; }
  // Runs the event's command; false when the map holds none. The command is kept alive
  // while it runs, even if it deletes the map's holder.
  bool Execute(const TString& event) const;
  // Copies every entry of `other' into this map, over entries of the same event.
  void CopyEntriesFrom(const ActionMap& other);

  bool IsEmpty() const { return mEntries.empty(); }
  size_t GetSize() const { return mEntries.size(); }
  const Entries& GetEntries() const { return mEntries; }

  // Appends the MakeActionMap record (entries in event-name order), or nothing when empty.
  void Serialize(std::string& out) const;

 private:
  Entries mEntries;
};

// What scene objects, hidden objects and inventory items share: their commands by event,
// taken over from a composed map by copying its entries.
class CActionHolder {
 public:
  const ActionMap& GetActionMap() const { return mActions; }
  // Copies the map's entries into the holder's own.
  void SetActionMap(const ActionMap& map) { mActions.CopyEntriesFrom(map); }
  // Runs the event's command; false when there is none. The command may delete the holder.
  bool ExecuteAction(const TString& event) const { return mActions.Execute(event); }

 protected:
  ActionMap mActions;
};
