#include "model/mix_potion_pipe.h"

#include <algorithm>
#include <utility>

#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

namespace {

const char* const ColorNames[] = {"green", "orange", "black", "purple"};
const char* const ColorLetters[] = {"g", "o", "b", "p"};
constexpr uint32_t NamedColors = 4;

// Two different colours of the four, in either order, and what they mix to.
struct TMix {
  uint32_t a, b, result;
};
const TMix Mixes[] = {
    {PotionOrange, PotionGreen, PotionBlack},  {PotionOrange, PotionPurple, PotionBlack},
    {PotionGreen, PotionPurple, PotionOrange}, {PotionBlack, PotionPurple, PotionGreen},
    {PotionBlack, PotionGreen, PotionPurple},  {PotionBlack, PotionOrange, PotionPurple},
};

}  // namespace

TString ColorLetter(uint32_t color) {
  if (color < NamedColors) return ColorLetters[color];
  return color == PotionNone ? "u" : "";
}

TString ColorName(uint32_t color) { return color < NamedColors ? ColorNames[color] : "none"; }

uint32_t ColorFromName(const TString& name) {
  for (uint32_t i = 0; i < NamedColors; ++i) {
    if (SameBytes(name, ColorNames[i])) return i;
  }
  return PotionNone;
}

uint32_t MixColors(const uint32_t* colors, uint32_t count, uint32_t colorSystem) {
  if (count == 1) return colors[0];
  if (count != 2 || colorSystem != 1) return PotionNone;
  uint32_t a = colors[0], b = colors[1];
  if (a == b) return a;
  if (a == PotionNone) return b;
  if (b == PotionNone) return a;
  for (const TMix& mix : Mixes) {
    if ((mix.a == a && mix.b == b) || (mix.a == b && mix.b == a)) return mix.result;
  }
  return PotionNone;
}

CMixPotionPipe::CMixPotionPipe(uint32_t x, uint32_t y, uint32_t h) : mX(x), mY(y), mH(h) {}

void CMixPotionPipe::SetConnectionIds(const std::vector<uint32_t>& ids) {
  if (ids.size() > MaxConnections)
    LogPrintf("Mix potion: pipe %u connects to %u pipes; the first %u are kept", mId, unsigned(ids.size()),
              unsigned(MaxConnections));
  mConnectionIds.assign(ids.begin(), ids.begin() + std::ptrdiff_t(std::min(ids.size(), MaxConnections)));
}

std::vector<uint32_t> CMixPotionPipe::GetConnectionIds() const { return mConnectionIds; }

void CMixPotionPipe::LinkTo(CMixPotionPipe* other) {
  if (!other) return;
  mChildren.push_back(other);
  other->mParents.push_back(this);
}

void CMixPotionPipe::ClearLinks() {
  mChildren.clear();
  mParents.clear();
}

int CMixPotionPipe::TSides::Count() const { return int(std::count(used.begin(), used.end(), true)); }

CMixPotionPipe::TSide CMixPotionPipe::SideTowards(const CMixPotionPipe& other) const {
  // Compared as the signed cells the board shows.
  if (other.GetX() == GetX()) return GetY() >= other.GetY() ? Up : Down;
  return GetX() > other.GetX() ? Left : Right;
}

CMixPotionPipe::TSides CMixPotionPipe::Sides() const {
  TSides sides;
  if (mParents.empty()) sides.used[Up] = true;
  if (mChildren.empty()) sides.used[Down] = true;
  for (const CMixPotionPipe* parent : mParents) {
    TSide side = SideTowards(*parent);
    sides.used[side] = true;
    sides.color[side] = parent->mColor;
  }
  for (const CMixPotionPipe* child : mChildren) {
    TSide side = SideTowards(*child);
    sides.used[side] = true;
    sides.outflow[side] = true;
    sides.color[side] = mColor;
  }
  return sides;
}

int32_t CMixPotionPipe::GetPipeKind() const {
  const TSides sides = Sides();
  const auto& used = sides.used;
  const auto& out = sides.outflow;
  if (sides.Count() == 2) {
    if (used[Down] && used[Left]) return 0;
    if (used[Right] && used[Down]) return 1;
    if (used[Right] && used[Left]) return 2;
    if (used[Up] && used[Down]) return 3;
    if (used[Up] && used[Left]) return 4;
    if (used[Up] && used[Right]) return 5;
  } else if (sides.Count() == 3 && out[Down] && !out[Up]) {
    if (!used[Right] && !out[Right]) return out[Left] ? 7 : 6;
    if (!used[Left] && !out[Left]) return out[Right] ? 9 : 8;
  }
  return NoGraphic;
}

TString CMixPotionPipe::GetColorSuffix() const {
  const TSides sides = Sides();
  TString suffix = "_";
  if (sides.Count() == 2) {
    suffix += ColorLetter(mColor);
  } else if (sides.Count() == 3 && mParents.size() == 1) {
    suffix += ColorLetter(mColor) + ColorLetter(mColor) + ColorLetter(mColor);
  } else if (sides.Count() == 3) {
    for (int side = Up; side < SideCount; ++side) {
      if (sides.used[size_t(side)]) suffix += ColorLetter(sides.color[size_t(side)]);
    }
  }
  return suffix;
}

void CMixPotionPipe::Serialize(std::string& out) const {
  CRecordWriter record("MakeMixPotionPipe");
  record.Number("id", mId);
  record.Number("x", mX);
  record.Number("y", mY);
  record.Number("h", mH);
  if (!mConnectionIds.empty()) record.LastList(mConnectionIds);
  record.Finish(out);
}
