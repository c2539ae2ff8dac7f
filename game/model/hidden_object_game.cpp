#include "model/hidden_object_game.h"

#include <algorithm>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/random.h"
#include "platform/timer.h"

namespace {

const char* const NoItem = "none";

}  // namespace

// What the list's size rules look at: the objects of groups, the largest group id, and the
// ungrouped objects already listed and still to choose from.
struct CHiddenObjectGame::TListCounts {
  int32_t grouped = 0;
  int32_t largestGroup = 0;
  int32_t listed = 0;
  std::vector<CHiddenObject*> candidates;
};

bool CHiddenObjectGame::IsOfType(int modelType) const { return modelType == ModelHiddenObjectGame; }

void CHiddenObjectGame::SetObjectActive(const TString& id, bool active) {
  if (CHiddenObject* object = GetHiddenObject(id)) object->SetActive(active);
}

void CHiddenObjectGame::SetObjectVisible(const TString& id, bool visible) {
  if (CHiddenObject* object = GetHiddenObject(id)) object->SetVisible(visible);
  NotifyObservers();
}

void CHiddenObjectGame::AddGroup(const TString& name, int32_t minItems) {
  mGroups.emplace(BytesOf(name), minItems);
}

void CHiddenObjectGame::AddHiddenObject(std::unique_ptr<CHiddenObject> object) {
  if (object) mObjects.push_back(std::move(object));
}

CHiddenObject* CHiddenObjectGame::GetHiddenObject(const TString& id) const {
  for (auto it = mObjects.rbegin(); it != mObjects.rend(); ++it) {
    if (SameBytes((*it)->GetId(), id)) return it->get();
  }
  return nullptr;
}

CHiddenObject* CHiddenObjectGame::GetNextHiddenObject() {
  if (mObjects.empty()) return nullptr;
  size_t position = std::min(mCursor, mObjects.size() - 1);
  if (mCursor < mObjects.size()) ++mCursor;
  return mObjects[position].get();
}

const TString* CHiddenObjectGame::GetObjectNameById(const TString& id) const {
  const CHiddenObject* object = GetHiddenObject(id);
  return object ? &object->GetName() : nullptr;
}

int32_t CHiddenObjectGame::GetGroupIdOfObject(const TString& id) const {
  const CHiddenObject* object = GetHiddenObject(id);
  return object ? object->GetGroupId() : 0;
}

TString CHiddenObjectGame::GetGroupNameOfGroupId(int32_t groupId) const {
  if (groupId < 1) return TString();
  for (const auto& object : mObjects) {
    if (object->GetGroupId() == groupId) return object->GetGroupName();
  }
  return TString();
}

int32_t CHiddenObjectGame::CountObjectsInGroup(int32_t groupId) const {
  return int32_t(std::count_if(mObjects.begin(), mObjects.end(),
                               [&](const auto& object) { return object->GetGroupId() == groupId; }));
}

int32_t CHiddenObjectGame::GetNeededCountOfGroup(int32_t groupId) const {
  int32_t count = CountObjectsInGroup(groupId);
  auto group = mGroups.find(BytesOf(GetGroupNameOfGroupId(groupId)));
  if (group != mGroups.end() && group->second < count) return group->second;
  return count;
}

void CHiddenObjectGame::HideFoundObjects() {
  for (const TFindEntry& entry : mToFind) {
    if (!entry.toFind && entry.object) entry.object->SetVisible(false);
  }
}

bool CHiddenObjectGame::AddEntry(const TString& id, CHiddenObject* object) {
  bool grouped = object && object->GetGroupId() != 0;
  if (!grouped) {
    if (mFixItemCount >= mItemListCount || mFixItemCount >= GetHiddenObjectCount()) return false;
    ++mFixItemCount;
  }
  bool present = object && std::any_of(mToFind.begin(), mToFind.end(),
                                       [&](const TFindEntry& entry) { return entry.object == object; });
  if (!present) mToFind.push_back({id, object, true});
  return true;
}

bool CHiddenObjectGame::AddFixItem(CHiddenObject& object) { return AddEntry(object.GetId(), &object); }

bool CHiddenObjectGame::AddFixItem(const TString& id) {
  CHiddenObject* object = GetHiddenObject(id);
  return object ? AddFixItem(*object) : AddEntry(id, nullptr);
}

bool CHiddenObjectGame::IsItemToFind(const TString& id) const {
  return std::any_of(mToFind.begin(), mToFind.end(), [&](const TFindEntry& entry) { return SameBytes(entry.id, id); });
}

bool CHiddenObjectGame::IsItemAlreadyFound(const TString& id) const {
  for (auto it = mToFind.rbegin(); it != mToFind.rend(); ++it) {
    if (SameBytes(it->id, id)) return !it->toFind;
  }
  return false;
}

bool CHiddenObjectGame::SetItemFound(const TString& id) {
  bool listed = false;
  for (TFindEntry& entry : mToFind) {
    if (SameBytes(entry.id, id)) {
      entry.toFind = false;
      listed = true;
    }
  }
  NotifyObservers();
  if (AreAllItemsFound()) EmptyDisplayList();
  return listed;
}

bool CHiddenObjectGame::AreAllItemsFound() const {
  return std::none_of(mToFind.begin(), mToFind.end(), [](const TFindEntry& entry) { return entry.toFind; });
}

TString CHiddenObjectGame::PickRandomItemToFind() {
  if (AreAllItemsFound()) return NoItem;
  GameSrand(uint32_t(GetWallTime()));
  // Draws until one lands on an entry still to find; the bound only guards against a
  // generator that never reaches it.
  size_t size = mToFind.size();
  for (size_t tries = 0; tries < 64 * size + 64; ++tries) {
    const TFindEntry& entry = mToFind[size_t(GameRand()) % size];
    if (entry.toFind) return entry.id;
  }
  for (const TFindEntry& entry : mToFind) {
    if (entry.toFind) return entry.id;
  }
  return NoItem;
}

void CHiddenObjectGame::EmptyDisplayList() {
  mFixItemCount -= int32_t(mDisplayList.size());
  mDisplayList.clear();
}

const std::vector<TString>& CHiddenObjectGame::GetItemsToFindList() {
  EmptyDisplayList();
  for (const TFindEntry& entry : mToFind) mDisplayList.push_back(entry.toFind ? entry.id : TString(NoItem));
  return mDisplayList;
}

const std::vector<TString>& CHiddenObjectGame::GetItemList() {
  EmptyDisplayList();
  for (const TFindEntry& entry : mToFind) mDisplayList.push_back(entry.id);
  return mDisplayList;
}

CHiddenObjectGame::TListCounts CHiddenObjectGame::CountForList() const {
  TListCounts counts;
  for (const auto& object : mObjects) {
    if (object->GetGroupId() != 0) {
      counts.grouped++;
      counts.largestGroup = std::max(counts.largestGroup, object->GetGroupId());
    } else if (IsItemToFind(object->GetId())) {
      counts.listed++;
    } else if (object->IsActive()) {
      counts.candidates.push_back(object.get());
    }
  }
  return counts;
}

bool CHiddenObjectGame::FillItemList() {
  if (!mFillItemList) return true;
  TListCounts counts = CountForList();
  int64_t grouped = counts.grouped;
  int64_t free = int64_t(counts.candidates.size());
  // The size comparison is unsigned: more listed entries than the list holds takes every
  // candidate.
  int64_t slots = uint32_t(int64_t(mItemListCount) - counts.listed) < uint32_t(free + counts.largestGroup)
                      ? int64_t(mItemListCount) - counts.listed - counts.largestGroup + grouped
                      : grouped + free;
  // A list too short for its groups still lists every grouped object (fewer slots than
  // grouped objects would put them past the slots' end), and there are never more slots than
  // objects to fill them (an empty slot would be an entry that can never be found).
  slots = std::clamp(slots, grouped, grouped + free);

  std::vector<CHiddenObject*> slot(size_t(slots), nullptr);
  size_t next = slot.size();
  for (const auto& object : mObjects) {
    if (object->GetGroupId() != 0 && next > 0) slot[--next] = object.get();
  }
  GameSrand(uint32_t(GetWallTime()));
  std::vector<CHiddenObject*>& candidates = counts.candidates;
  for (int64_t pick = slots - grouped; pick > 0 && !candidates.empty(); --pick) {
    size_t chosen = size_t(GameRand()) % candidates.size();
    size_t empty = size_t(std::count(slot.begin(), slot.end(), nullptr));
    if (empty == 0) break;
    size_t place = size_t(GameRand()) % empty;
    for (CHiddenObject*& s : slot) {
      if (!s && place-- == 0) {
        s = candidates[chosen];
        break;
      }
    }
    candidates.erase(candidates.begin() + ptrdiff_t(chosen));
  }
  for (CHiddenObject* object : slot) {
    if (object && !IsItemToFind(object->GetId())) mToFind.push_back({object->GetId(), object, true});
  }
  return true;
}

int32_t CHiddenObjectGame::SavedItemListCount() const {
  TListCounts counts = CountForList();
  int64_t free = int64_t(counts.candidates.size());
  // Enough candidates: the count itself; else what the list can hold, each group once.
  if (uint32_t(int64_t(mItemListCount) - counts.listed) <= uint32_t(free + counts.largestGroup)) return mItemListCount;
  return int32_t(free + counts.listed + counts.largestGroup);
}

void CHiddenObjectGame::WriteLists(std::string& out) const {
  if (!mGroups.empty()) {
    out += "\nMakeMinItemsCount\n{\n";
    for (const auto& [name, minItems] : mGroups) {
      out += "\nMakeMinItemsGroupCount\n{\ngroupName=";
      AppendLuaString(out, TString(name.data(), name.size()));
      out += ",\nminItems =" + std::to_string(minItems) + ",\n}; -- MakeMinItemsGroupCount end\n";
    }
    out += "}; -- MakeMinItemsCount end\n";
  }
  auto writeIds = [&](const char* record, bool foundOnly) {
    out += std::string("\n") + record + "\n{\n";
    for (const TFindEntry& entry : mToFind) {
      if (foundOnly && entry.toFind) continue;
      AppendLuaString(out, entry.id);
      out += ",\n";
    }
    out += std::string("}; -- ") + record + " end\n";
  };
  if (!mToFind.empty()) writeIds("MakeFixItems", false);
  if (std::any_of(mToFind.begin(), mToFind.end(), [](const TFindEntry& entry) { return !entry.toFind; }))
    writeIds("MakeFoundItems", true);
}

void CHiddenObjectGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeHiddenObjectGame");
  CScene::Serialize(record.Buffer());
  record.Number("itemListCount", SavedItemListCount());
  record.String("hitClickSound", mHitClickSound);
  record.String("missClickSound", mMissClickSound);
  record.QuotedNumber("STDLeftSideOfActiveSide", mSTDLeftSideOfActiveSide);
  record.String("pickedUpInventoryItemOnWon", mPickedUpInventoryItemOnWon);
  WriteLists(record.Buffer());
  for (const auto& object : mObjects) record.Nested(*object);
  record.Finish(out);
}
