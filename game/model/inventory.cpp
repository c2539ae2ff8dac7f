#include "model/inventory.h"

#include <cstring>

#include "model/record_writer.h"

void CInventory::Serialize(std::string& out) const {
  CRecordWriter record("MakeInventory");
  for (const TString& name : mNames) record.Entry(name);
  record.Finish(out);
}

void CInventory::AssignItems(const CInventory& other) {
  if (&other != this) {
    mNames = other.mNames;
    mCursor = other.mCursor;
  }
  NotifyObservers();
}

void CInventory::AddItem(const TString& name) {
  mNames.push_back(name);
  NotifyObservers();
}

void CInventory::RemoveItem(const TString& name) {
  for (size_t i = mNames.size(); i-- > 0;) {
    // Byte for byte: the collation that TString comparisons may use would join names that
    // the scripts keep apart.
    if (mNames[i].Length() == name.Length() && strcmp(mNames[i].c_str(), name.c_str()) == 0) {
      mNames.erase(mNames.begin() + ptrdiff_t(i));
      NotifyObservers();
      return;
    }
  }
}

const TString* CInventory::GetItemName(int32_t index) const {
  if (index < 0 || size_t(index) >= mNames.size()) return nullptr;
  return &mNames[size_t(index)];
}

const TString* CInventory::Next() {
  if (mCursor >= mNames.size()) return nullptr;
  return &mNames[mCursor++];
}
