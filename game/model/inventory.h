#pragma once
// CInventory: the names of the items the player carries, in the order picked up (the same
// name may stand more than once), with a read cursor. The screens that show it observe it.

#include <cstdint>
#include <vector>

#include "model/observed_subject.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CInventory : public CObservedSubject, public ISerializable {
 public:
  // Copies take everything, the observers too: a copy notifies the same windows.
  CInventory() = default;
  CInventory(const CInventory&) = default;
  CInventory& operator=(const CInventory&) = default;

  // The MakeInventory record: one positional string per name.
  void Serialize(std::string& out) const override;

  // Takes over the names and the cursor of another inventory, keeping its own observers,
  // and notifies them (a loaded inventory replaces the one the windows watch).
  void AssignItems(const CInventory& other);
  // Appends the name and notifies the observers.
  void AddItem(const TString& name);
  // Erases the last name equal to this one (byte for byte) and notifies the observers;
  // without an equal name nothing changes and nobody is notified.
  void RemoveItem(const TString& name);
  int32_t GetItemCount() const { return int32_t(mNames.size()); }
  // The name at the index; null outside 0 to count - 1.
  const TString* GetItemName(int32_t index) const;

  void Rewind() { mCursor = 0; }
  bool HasNext() const { return mCursor < mNames.size(); }
  // The name under the cursor, which then moves on; null at the end.
  const TString* Next();

 private:
  std::vector<TString> mNames;
  size_t mCursor = 0;
};
