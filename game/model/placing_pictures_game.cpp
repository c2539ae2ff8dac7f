#include "model/placing_pictures_game.h"

#include <algorithm>
#include <set>
#include <utility>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "model/scene_hotspot.h"
#include "platform/log.h"

namespace {

// The value of a hotspot id: its leading decimal digits after an optional sign (0 without
// any), as an unsigned 32-bit number, so that "-1" is the largest.
uint32_t IdValue(const TString& id) {
  const char* text = id.c_str();
  size_t length = id.Length();
  size_t at = 0;
  bool negative = false;
  if (at < length && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  int64_t value = 0;
  for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at)
    value = std::min<int64_t>(value * 10 + (text[at] - '0'), int64_t(1) << 32);
  return uint32_t(negative ? -value : value);
}

}  // namespace

bool CPlacingPicturesGame::IsOfType(int modelType) const { return modelType == ModelPlacingPicturesGame; }

void CPlacingPicturesGame::SetCheckbuttonPosition(uint32_t x, uint32_t y) {
  mCheckbuttonX = x;
  mCheckbuttonY = y;
}

int32_t CPlacingPicturesGame::Corner(const std::vector<int32_t>& list, int32_t i) {
  return i >= 0 && size_t(i) < list.size() ? list[size_t(i)] : 0;
}

TString CPlacingPicturesGame::Text(const std::vector<TString>& list, int32_t i) {
  return i >= 0 && size_t(i) < list.size() ? list[size_t(i)] : TString();
}

void CPlacingPicturesGame::ClearHotspots() {
  for (auto& corners : mX) corners.clear();
  for (auto& corners : mY) corners.clear();
  mIds.clear();
  mImageStart.clear();
}

void CPlacingPicturesGame::AddHotspotObject(CSceneHotspot* hotspot) {
  if (hotspot) mHotspotObjects.push_back(hotspot);
}

CSceneHotspot* CPlacingPicturesGame::GetHotspotObject(int32_t i) const {
  return i >= 0 && size_t(i) < mHotspotObjects.size() ? mHotspotObjects[size_t(i)] : nullptr;
}

int32_t CPlacingPicturesGame::FindHotspotObject(const CSceneHotspot* hotspot) const {
  auto it = std::find(mHotspotObjects.begin(), mHotspotObjects.end(), hotspot);
  return hotspot && it != mHotspotObjects.end() ? int32_t(it - mHotspotObjects.begin()) : -1;
}

void CPlacingPicturesGame::ClearHotspotObjects() {
  mHotspotObjects.clear();
  mCarried = TString();
  mCarriedFrom = -1;
}

void CPlacingPicturesGame::TakeBackSceneHotspots() {
  if (GetSceneHotspots().empty()) return;
  ClearHotspots();
  std::vector<std::pair<uint32_t, const CSceneHotspot*>> board;
  for (const auto& entry : GetSceneHotspots()) board.push_back({IdValue(entry.second->GetId()), entry.second.get()});
  // Sorted rather than counted through from the smallest value to the largest, which with
  // an id of "-1" would be four billion steps.
  std::stable_sort(board.begin(), board.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t k = 0; k < board.size(); ++k) {
    const CSceneHotspot& hotspot = *board[k].second;
    if (k > 0 && board[k].first == board[k - 1].first) {
      LogPrintf("Placing pictures %d: the hotspot id \"%s\" has the value of an earlier one; the hotspot is left out",
                GetSeqId(), hotspot.GetId().c_str());
      continue;
    }
    AddHotspotX1(hotspot.GetPositionX1());
    AddHotspotX2(hotspot.GetPositionX2());
    AddHotspotX3(hotspot.GetPositionX3());
    AddHotspotX4(hotspot.GetPositionX4());
    AddHotspotY1(hotspot.GetPositionY1());
    AddHotspotY2(hotspot.GetPositionY2());
    AddHotspotY3(hotspot.GetPositionY3());
    AddHotspotY4(hotspot.GetPositionY4());
    AddHotspotId(hotspot.GetId());
    AddHotspotImageStart(hotspot.GetName());
  }
  std::vector<TString> ids;
  for (const auto& entry : GetSceneHotspots()) ids.push_back(entry.second->GetId());
  for (const TString& id : ids) RemoveSceneHotspot(id);
}

void CPlacingPicturesGame::RemoveHotspotEntry(size_t i) {
  auto erase = [i](auto& list) {
    if (i < list.size()) list.erase(list.begin() + std::ptrdiff_t(i));
  };
  for (auto& corners : mX) erase(corners);
  for (auto& corners : mY) erase(corners);
  erase(mIds);
  erase(mImageStart);
  erase(mImageEnd);
}

void CPlacingPicturesGame::LayOutBoard() {
  ClearHotspotObjects();
  TakeBackSceneHotspots();
  // One scene hotspot per id: a second one would replace (delete) the first.
  std::set<std::string> ids;
  for (size_t i = 0; i < mImageStart.size();) {
    TString id = GetHotspotId(int32_t(i));
    if (ids.insert(BytesOf(id)).second) {
      ++i;
      continue;
    }
    LogPrintf("Placing pictures %d: the hotspot id \"%s\" is given twice; the later hotspot is left out", GetSeqId(),
              id.c_str());
    RemoveHotspotEntry(i);
  }
  for (int32_t i = 0; i < GetHotspotCount(); ++i) {
    auto hotspot = std::make_unique<CSceneHotspot>();
    hotspot->SetCorner(1, GetHotspotX1(i), GetHotspotY1(i));
    hotspot->SetCorner(2, GetHotspotX2(i), GetHotspotY2(i));
    hotspot->SetCorner(3, GetHotspotX3(i), GetHotspotY3(i));
    hotspot->SetCorner(4, GetHotspotX4(i), GetHotspotY4(i));
    hotspot->SetName(GetHotspotImageStart(i));
    hotspot->SetId(GetHotspotId(i));
    hotspot->SetActive(mSwopMode || hotspot->GetName().IsEmpty());
    mHotspotObjects.push_back(hotspot.get());
    AddSceneHotspot(std::move(hotspot));
  }
}

bool CPlacingPicturesGame::PickUpPicture(const TString& picture) {
  if (IsCarrying() || picture.IsEmpty()) return false;
  for (size_t i = 0; i < mHotspotObjects.size(); ++i) {
    CSceneHotspot& hotspot = *mHotspotObjects[i];
    if (!SameBytes(hotspot.GetName(), picture)) continue;
    hotspot.SetName(TString());
    hotspot.SetActive(true);
    mCarried = picture;
    mCarriedFrom = int32_t(i);
    return true;
  }
  return false;
}

CPlacingPicturesGame::TDrop CPlacingPicturesGame::DropPicture(int32_t target) {
  TDrop drop;
  CSceneHotspot* hotspot = GetHotspotObject(target);
  if (!IsCarrying() || !hotspot || !hotspot->IsActive()) return drop;
  if (mSwopMode) {
    TString displaced = hotspot->GetName();
    if (!displaced.IsEmpty() && target != mCarriedFrom) {
      mHotspotObjects[size_t(mCarriedFrom)]->SetName(displaced);
      drop.returned = displaced;
      drop.returnedTo = mCarriedFrom;
    }
  } else {
    hotspot->SetActive(false);
  }
  hotspot->SetName(mCarried);
  drop.placed = true;
  mCarried = TString();
  mCarriedFrom = -1;
  return drop;
}

bool CPlacingPicturesGame::IsWon() const {
  for (size_t i = 0; i < mHotspotObjects.size(); ++i) {
    TString end = GetHotspotImageEnd(int32_t(i));
    if (!SameBytes(end, AnyPicture) && !SameBytes(mHotspotObjects[i]->GetName(), end)) return false;
  }
  return true;
}

void CPlacingPicturesGame::Serialize(std::string& out) const {
  CRecordWriter record("MakePlacingPicturesGame");
  CScene::Serialize(record.Buffer());
  record.String("filepath", mFilepath);
  WriteTextStyle(record.Buffer());
  record.String("checkbutton", mCheckbutton);
  record.Number("checkbuttonX", mCheckbuttonX);
  record.Number("checkbuttonY", mCheckbuttonY);
  record.Flag("swopMode", mSwopMode);
  std::string& text = record.Buffer();
  WriteTextboxes(text);
  text += "\thotspots = {\n";
  // While the board is laid out its state is in the scene's hotspots, written above, and the
  // records hold only the end pictures; so do the records of end pictures beyond the layout
  // (a game saved with its board up and loaded again), which would otherwise be lost.
  const bool laidOut = !mHotspotObjects.empty();
  const size_t records = laidOut ? mImageEnd.size() : std::max(mImageStart.size(), mImageEnd.size());
  for (size_t n = 0; n < records; ++n) {
    const int32_t i = int32_t(n);
    const bool full = !laidOut && n < mImageStart.size();
    text += "\n\t{";
    if (full) {
      text += "id = ";
      AppendLuaString(text, GetHotspotId(i));
      text += ", imageStart = ";
      AppendLuaString(text, GetHotspotImageStart(i));
      text += ", ";
    }
    text += "imageEnd = ";
    AppendLuaString(text, GetHotspotImageEnd(i));
    if (full) {
      text += ", ";
      const char* const xKeys[] = {"xPos1", "xPos2", "xPos3", "xPos4"};
      const char* const yKeys[] = {"yPos1", "yPos2", "yPos3", "yPos4"};
      for (size_t c = 0; c < 4; ++c) text += std::string(xKeys[c]) + " = " + std::to_string(Corner(mX[c], i)) + ", ";
      for (size_t c = 0; c < 4; ++c) text += std::string(yKeys[c]) + " = " + std::to_string(Corner(mY[c], i)) + ", ";
    }
    text += "},\n";
  }
  text += "\t},\n";
  record.Finish(out);
}
