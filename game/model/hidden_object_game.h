#pragma once
// CHiddenObjectGame: the model of a hidden-object scene: the objects hidden in the picture,
// the list of objects the player must find (each entry still to find or found), groups of
// objects that the sidebar shows as one entry, the sounds of a hit and a miss, how many
// entries the list shows, the left edge of the play area and the item given when the scene
// is won. The hidden-object window and the sidebar's item list observe it.
//
// The to-find list keeps its entries in the order they were added. An entry made for an
// object (by the record, by FillItemList, or by a script naming an object's id) stands for
// that object: adding the same object again leaves the list as it was. A script may also
// add a text that names no object; such an entry is only ever compared by its text.
//
// A group counts as one entry of the list: grouped objects are listed beside the
// itemListCount entries, and the saved itemListCount counts each group once, so a saved
// scene reads back with the same list and the same count.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/hidden_object.h"
#include "model/scene.h"
#include "platform/engine_string.h"

class CHiddenObjectGame : public CScene {
 public:
  using Objects = std::vector<std::unique_ptr<CHiddenObject>>;
  using Groups = std::map<std::string, int32_t>;

  // True for 5 only.
  bool IsOfType(int modelType) const override;
  // Sets the flag of the object of that id (the last such); no notification.
  void SetObjectActive(const TString& id, bool active) override;
  // Sets the flag of the object of that id, then notifies, also when there is none.
  void SetObjectVisible(const TString& id, bool visible) override;
  // The MakeHiddenObjectGame record: the scene fields, the list settings, the groups, the
  // to-find list and its found entries, then every object.
  void Serialize(std::string& out) const override;

  int32_t GetItemListCount() const { return mItemListCount; }
  void SetItemListCount(int32_t count) { mItemListCount = count; }
  const TString& GetHitClickSound() const { return mHitClickSound; }
  void SetHitClickSound(const TString& sound) { mHitClickSound = sound; }
  bool HasHitClickSound() const { return !mHitClickSound.IsEmpty(); }
  const TString& GetMissClickSound() const { return mMissClickSound; }
  void SetMissClickSound(const TString& sound) { mMissClickSound = sound; }
  bool HasMissClickSound() const { return !mMissClickSound.IsEmpty(); }
  const TString& GetPickedUpInventoryItemOnWon() const { return mPickedUpInventoryItemOnWon; }
  void SetPickedUpInventoryItemOnWon(const TString& item) { mPickedUpInventoryItemOnWon = item; }
  int32_t GetSTDLeftSideOfActiveSide() const { return mSTDLeftSideOfActiveSide; }
  void SetSTDLeftSideOfActiveSide(int32_t x) { mSTDLeftSideOfActiveSide = x; }

  // Group name to minimum item count, by the name's bytes; a group already present keeps
  // its first minimum.
  void AddGroup(const TString& name, int32_t minItems);
  const Groups& GetGroups() const { return mGroups; }

  // Objects, owned, in the order added; a null object is ignored.
  void AddHiddenObject(std::unique_ptr<CHiddenObject> object);
  int32_t GetHiddenObjectCount() const { return int32_t(mObjects.size()); }
  const Objects& GetHiddenObjects() const { return mObjects; }
  // The last object of that id, or null.
  CHiddenObject* GetHiddenObject(const TString& id) const;
  // The first call after a reset answers the first object, each later one the next, and
  // the last again once the end is reached; null while there are no objects.
  void ResetObjectCursor() { mCursor = 0; }
  CHiddenObject* GetNextHiddenObject();
  // The label of the object of that id, or null.
  const TString* GetObjectNameById(const TString& id) const;
  // 0 when no object has the id.
  int32_t GetGroupIdOfObject(const TString& id) const;
  // The group name of the first object of the group; "" for an id below 1 or an empty group.
  TString GetGroupNameOfGroupId(int32_t groupId) const;
  int32_t CountObjectsInGroup(int32_t groupId) const;
  // How many objects of the group must be found: its object count, lowered to the minimum
  // of the group of its name when that is smaller.
  int32_t GetNeededCountOfGroup(int32_t groupId) const;
  // Hides every object whose entry is found; no notification.
  void HideFoundObjects();

  // The to-find list. Adding admits an entry while fewer entries were admitted than both
  // itemListCount and the object count; an object of a group is admitted beside that count.
  // Answers whether the entry was admitted.
  bool AddFixItem(CHiddenObject& object);
  // A script's entry: the object of that id when there is one, else the text itself.
  bool AddFixItem(const TString& id);
  // True when an entry has the text, found or not.
  bool IsItemToFind(const TString& id) const;
  // True when the last entry with the text is found.
  bool IsItemAlreadyFound(const TString& id) const;
  // Flags every entry with the text found, notifies the observers, and empties the display
  // list once nothing is left to find. Answers whether an entry had the text.
  bool SetItemFound(const TString& id);
  bool AreAllItemsFound() const;
  // The id of an entry still to find, drawn at random; "none" when there is none.
  TString PickRandomItemToFind();
  // Removes every entry; the admission count stays.
  void ClearItemsToFind() { mToFind.clear(); }
  // The display list, rebuilt: every entry's id, "none" for a found one / every entry's id.
  // Rebuilding first empties the list, which lowers the admission count by its length.
  const std::vector<TString>& GetItemsToFindList();
  const std::vector<TString>& GetItemList();

  // Fills the to-find list up to itemListCount entries (a group counting once) with every
  // grouped object and randomly chosen active objects; nothing while the fill flag is off.
  void SetFillItemList(bool fill) { mFillItemList = fill; }
  bool FillItemList();

 private:
  struct TFindEntry {
    TString id;
    CHiddenObject* object;  // the object the entry stands for (owned by mObjects), or null
    bool toFind;
  };
  struct TListCounts;

  bool AddEntry(const TString& id, CHiddenObject* object);
  void EmptyDisplayList();
  TListCounts CountForList() const;
  int32_t SavedItemListCount() const;
  void WriteLists(std::string& out) const;

  // Records give the count; one that doesn't lists nothing.
  int32_t mItemListCount = 0;
  size_t mCursor = 0;
  TString mHitClickSound;
  TString mMissClickSound;
  TString mPickedUpInventoryItemOnWon;
  Objects mObjects;
  std::vector<TString> mDisplayList;
  int32_t mFixItemCount = 0;
  std::vector<TFindEntry> mToFind;
  Groups mGroups;
  int32_t mSTDLeftSideOfActiveSide = -1;
  bool mFillItemList = true;
};
