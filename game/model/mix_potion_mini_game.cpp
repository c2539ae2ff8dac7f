#include "model/mix_potion_mini_game.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "platform/log.h"

namespace {

// The visits of one flow pass: a pipe met again at the same level changes nothing (levels
// only grow during a pass), so the pass walks each (pipe, level) once however many paths
// lead there.
using TVisits = std::set<std::pair<const CMixPotionPipe*, uint32_t>>;

void Propagate(CMixPotionPipe& pipe, uint32_t level, uint32_t maxLevel, uint32_t colorSystem, TVisits& visits) {
  // Deeper than the pass goes nothing changes.
  if (level > maxLevel || !visits.insert({&pipe, level}).second) return;
  if (pipe.GetParentCount() > 0 && level > pipe.GetLevel()) {
    uint32_t slots[2] = {PotionNone, PotionNone};
    for (uint32_t i = 0; i < 2; ++i) {
      const CMixPotionPipe* parent = pipe.GetParent(i);
      if (parent && parent->GetLevel() < level) slots[i] = parent->GetColor();
    }
    pipe.SetColor(MixColors(slots, pipe.GetParentCount(), colorSystem));
    pipe.SetLevel(level);
  }
  for (uint32_t i = 0; i < pipe.GetChildCount(); ++i)
    Propagate(*pipe.GetChild(i), level + 1, maxLevel, colorSystem, visits);
}

uint32_t Depth(const CMixPotionPipe& pipe, std::map<const CMixPotionPipe*, uint32_t>& known) {
  auto it = known.find(&pipe);
  if (it != known.end()) return it->second;
  uint32_t depth = 0;
  for (uint32_t i = 0; i < pipe.GetChildCount(); ++i) depth = std::max(depth, Depth(*pipe.GetChild(i), known));
  return known[&pipe] = depth + 1;
}

}  // namespace

const char* const CMixPotionMiniGame::GraphicKeys[GraphicCount] = {
    "kPipe2_dl",   "kPipe2_rd",    "kPipe2_rl",    "kPipe2_ud",     "kPipe2_ul", "kPipe2_ur",
    "kPipe3_udl_d", "kPipe3_udl_dl", "kPipe3_urd_d", "kPipe3_urd_rd", "flask",     "funnel",
    "button",      "resetbutton",  "targetColor",  "moveableflask", "cboard",
};

bool CMixPotionMiniGame::IsOfType(int modelType) const { return modelType == ModelMixPotionMiniGame; }

void CMixPotionMiniGame::SetButtonPosition(uint32_t x, uint32_t y) {
  mButtonX = x;
  mButtonY = y;
}

void CMixPotionMiniGame::SetResetButtonPosition(uint32_t x, uint32_t y) {
  mResetButtonX = x;
  mResetButtonY = y;
}

void CMixPotionMiniGame::SetCboardPosition(uint32_t x, uint32_t y) {
  mCboardX = x;
  mCboardY = y;
}

void CMixPotionMiniGame::SetGraphic(uint32_t index, const TString& name) {
  if (index < GraphicCount) mGraphics[index] = name;
}

TString CMixPotionMiniGame::GetGraphic(uint32_t index) const {
  return index < GraphicCount ? mGraphics[index] : TString();
}

bool CMixPotionMiniGame::AddPipe(uint32_t x, uint32_t y, uint32_t h, uint32_t id,
                                 const std::vector<uint32_t>& connectionIds) {
  if (mPipes.size() >= MaxPipes) {
    LogPrintf("Mix potion %d: a network holds at most %u pipes; pipe %u is left out", GetSeqId(), MaxPipes, id);
    return false;
  }
  auto pipe = std::make_unique<CMixPotionPipe>(x, y, h);
  pipe->SetId(id);
  pipe->SetConnectionIds(connectionIds);
  mSorted.push_back(pipe.get());
  mPipes.push_back(std::move(pipe));
  return true;
}

bool CMixPotionMiniGame::Reaches(const CMixPotionPipe* from, const CMixPotionPipe* to) const {
  std::vector<const CMixPotionPipe*> open{from};
  std::set<const CMixPotionPipe*> seen{from};
  while (!open.empty()) {
    const CMixPotionPipe* pipe = open.back();
    open.pop_back();
    if (pipe == to) return true;
    for (uint32_t i = 0; i < pipe->GetChildCount(); ++i) {
      if (seen.insert(pipe->GetChild(i)).second) open.push_back(pipe->GetChild(i));
    }
  }
  return false;
}

void CMixPotionMiniGame::ConnectPipes() {
  mRoots.clear();
  mLeaves.clear();
  for (const auto& pipe : mPipes) pipe->ClearLinks();
  for (const auto& pipe : mPipes) {
    for (uint32_t id : pipe->GetConnectionIds()) {
      auto target = std::find_if(mPipes.begin(), mPipes.end(), [id](const auto& other) { return other->GetId() == id; });
      if (target == mPipes.end()) {
        LogPrintf("Mix potion %d: pipe %u connects to pipe %u, which is not in the network", GetSeqId(),
                  pipe->GetId(), id);
      } else if (Reaches(target->get(), pipe.get())) {
        LogPrintf("Mix potion %d: pipe %u cannot feed pipe %u, which feeds it", GetSeqId(), pipe->GetId(), id);
      } else {
        pipe->LinkTo(target->get());
      }
    }
  }
  for (const auto& pipe : mPipes) {
    if (pipe->GetParentCount() == 0) mRoots.push_back(pipe.get());
    if (pipe->GetChildCount() == 0) mLeaves.push_back(pipe.get());
  }
  mSorted.clear();
  for (const auto& pipe : mPipes) mSorted.push_back(pipe.get());
  std::stable_sort(mSorted.begin(), mSorted.end(), [](const auto* a, const auto* b) { return a->GetH() < b->GetH(); });
}

bool CMixPotionMiniGame::GetMoveableFlaskCell(uint32_t k, int32_t& column, int32_t& row) const {
  const CMixPotionPipe* leaf = GetLeaf(0);
  if (!leaf) return false;
  auto clamp = [](int64_t value) {
    return int32_t(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
  };
  column = clamp(int64_t(leaf->GetX()) - 2 - int64_t(k));
  row = clamp(int64_t(leaf->GetY()) + 1);
  return true;
}

void CMixPotionMiniGame::SetRootColor(uint32_t i, uint32_t color) {
  if (CMixPotionPipe* root = GetRoot(i)) root->SetColor(color);
}

void CMixPotionMiniGame::ResetFromRoots(bool resetLevel, bool resetColor) {
  // Every pipe of a network without circles lies below a root.
  for (const auto& pipe : mPipes) {
    if (resetLevel) pipe->SetLevel(0);
    if (resetColor) pipe->SetColor(PotionNone);
  }
}

uint32_t CMixPotionMiniGame::GetMaxDepth() const {
  std::map<const CMixPotionPipe*, uint32_t> known;
  uint32_t depth = 0;
  for (const CMixPotionPipe* root : mRoots) depth = std::max(depth, Depth(*root, known));
  return depth;
}

void CMixPotionMiniGame::FlowColors(uint32_t passes) {
  for (uint32_t pass = 0; pass < passes; ++pass) {
    TVisits visits;
    for (CMixPotionPipe* root : mRoots) Propagate(*root, 0, pass, mColorSystem, visits);
  }
}

void CMixPotionMiniGame::Mix() {
  ResetFromRoots(true, false);
  FlowColors(GetMaxDepth());
}

bool CMixPotionMiniGame::AreAllRootsColored() const {
  return std::none_of(mRoots.begin(), mRoots.end(), [](const auto* root) { return root->GetColor() == PotionNone; });
}

bool CMixPotionMiniGame::IsWon() const {
  if (mLeaves.size() > mNeedColors.size()) return false;
  for (size_t i = 0; i < mLeaves.size(); ++i) {
    if (mLeaves[i]->GetColor() != mNeedColors[i]) return false;
  }
  return true;
}

void CMixPotionMiniGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeMixPotionMiniGame");
  CScene::Serialize(record.Buffer());
  mMixSound.Write(record, "mixSoundFile");
  mWonSound.Write(record, "wonSoundFile");
  mTryAgainSound.Write(record, "tryAgainSoundFile");
  for (uint32_t i = 0; i < GraphicCount; ++i) record.String(GraphicKeys[i], mGraphics[i]);
  record.Number("x", mX);
  record.Number("y", mY);
  record.Number("colorSystem", mColorSystem);
  record.Number("buttonX", mButtonX);
  record.Number("buttonY", mButtonY);
  record.Number("resetbuttonX", mResetButtonX);
  record.Number("resetbuttonY", mResetButtonY);
  record.Number("cboardX", mCboardX);
  record.Number("cboardY", mCboardY);
  for (const auto& [constructor, colors] : {std::make_pair("MakeMixPotionGivenColors", &mGivenColors),
                                            std::make_pair("MakeMixPotionNeedColors", &mNeedColors)}) {
    // Every code keeps its place in the list: one the four names lack is written "none".
    CRecordWriter list(constructor);
    for (uint32_t color : *colors) list.Entry(ColorName(color));
    list.Finish(record.Buffer());
  }
  for (const auto& pipe : mPipes) record.Nested(*pipe);
  record.Finish(out);
}
