#include "model/jigsaw_puzzle.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

namespace {

// A place in the picture relative to another, kept in the 32-bit range it is drawn in.
int32_t Offset(int64_t base, int64_t from, int64_t to) {
  return int32_t(std::clamp<int64_t>(base + to - from, INT32_MIN, INT32_MAX));
}

}  // namespace

bool CJigsawPuzzle::IsOfType(int modelType) const { return modelType == ModelJigsawPuzzle; }

TString CJigsawPuzzle::PieceName(uint32_t number) { return TString(PiecePrefix) + TString::Printf("%u", number); }

TString CJigsawPuzzle::AddPiece(uint32_t number) {
  TString name = PieceName(number);
  std::string key = BytesOf(name);
  if (mPieces.count(key)) {
    LogPrintf("Jigsaw %d: piece %u is given twice; the second is left out", GetSeqId(), number);
    return TString();
  }
  auto piece = std::make_unique<CJigsawPiece>();
  piece->SetName(name);
  mPieces.emplace(key, std::move(piece));
  mGroups.push_back({name});
  return name;
}

void CJigsawPuzzle::AddNeighbour(const TString& pieceName, uint32_t number) {
  if (CJigsawPiece* piece = FindPiece(pieceName)) piece->AddNeighbourName(PieceName(number));
}

CJigsawPiece* CJigsawPuzzle::FindPiece(const TString& name) const {
  auto it = mPieces.find(BytesOf(name));
  return it == mPieces.end() ? nullptr : it->second.get();
}

bool CJigsawPuzzle::InGroup(const Group& group, const TString& name) const {
  return std::any_of(group.begin(), group.end(), [&](const TString& member) { return SameBytes(member, name); });
}

int32_t CJigsawPuzzle::FindGroup(const TString& name) const {
  for (size_t i = 0; i < mGroups.size(); ++i) {
    if (InGroup(mGroups[i], name)) return int32_t(i);
  }
  return -1;
}

void CJigsawPuzzle::AlignGroupTo(const CJigsawPiece& piece) {
  int32_t group = FindGroup(piece.GetName());
  if (group < 0) return;
  for (const TString& name : mGroups[size_t(group)]) {
    CJigsawPiece* member = FindPiece(name);
    if (!member || member == &piece) continue;
    member->SetPosX(Offset(piece.GetPosX(), piece.GetEndPosX(), member->GetEndPosX()));
    member->SetPosY(Offset(piece.GetPosY(), piece.GetEndPosY(), member->GetEndPosY()));
  }
}

bool CJigsawPuzzle::Near(int64_t a, int64_t b) const { return std::llabs(a - b) < mDelta; }

bool CJigsawPuzzle::Fits(const CJigsawPiece& member, const CJigsawPiece& neighbour) const {
  return Near(int64_t(neighbour.GetEndPosX()) - member.GetEndPosX(), int64_t(neighbour.GetPosX()) - member.GetPosX()) &&
         Near(int64_t(neighbour.GetEndPosY()) - member.GetEndPosY(), int64_t(neighbour.GetPosY()) - member.GetPosY());
}

void CJigsawPuzzle::MoveGroup(const TString& name, int32_t x, int32_t y) {
  CJigsawPiece* piece = FindPiece(name);
  if (!piece || !piece->IsMovable()) return;
  piece->SetPosX(x);
  piece->SetPosY(y);
  AlignGroupTo(*piece);
}

void CJigsawPuzzle::DropPiece(const TString& name, int32_t x, int32_t y) {
  CJigsawPiece* piece = FindPiece(name);
  int32_t group = FindGroup(name);
  if (!piece || group < 0) return;
  piece->SetPosX(x);
  piece->SetPosY(y);

  if (mHookPieces) {
    Group& joined = mGroups[size_t(group)];
    const Group before = joined;
    std::set<size_t> taken;
    for (const TString& memberName : before) {
      const CJigsawPiece* member = FindPiece(memberName);
      if (!member) continue;
      for (uint32_t i = 0; i < member->GetNeighbourCount(); ++i) {
        TString neighbourName = member->GetNeighbour(i);
        if (InGroup(joined, neighbourName)) continue;
        const CJigsawPiece* neighbour = FindPiece(neighbourName);
        int32_t other = FindGroup(neighbourName);
        if (!neighbour || other < 0 || !Fits(*member, *neighbour)) continue;
        const Group& adding = mGroups[size_t(other)];
        joined.insert(joined.end(), adding.begin(), adding.end());
        taken.insert(size_t(other));
      }
    }
    for (auto it = taken.rbegin(); it != taken.rend(); ++it) mGroups.erase(mGroups.begin() + std::ptrdiff_t(*it));
  }

  int64_t endX = int64_t(piece->GetEndPosX()) + mOffsetX;
  int64_t endY = int64_t(piece->GetEndPosY()) + mOffsetY;
  if (mStickOnBackground && Near(piece->GetPosX(), endX) && Near(piece->GetPosY(), endY)) {
    for (const TString& memberName : mGroups[size_t(FindGroup(name))]) {
      if (CJigsawPiece* member = FindPiece(memberName)) {
        member->SetPosX(Offset(member->GetEndPosX(), 0, mOffsetX));
        member->SetPosY(Offset(member->GetEndPosY(), 0, mOffsetY));
        member->SetMovable(false);
      }
    }
  } else {
    AlignGroupTo(*piece);
  }
}

bool CJigsawPuzzle::IsWon() const {
  if (mStickOnBackground) {
    return std::all_of(mPieces.begin(), mPieces.end(), [this](const auto& entry) {
      const CJigsawPiece& piece = *entry.second;
      return Near(piece.GetPosX(), int64_t(piece.GetEndPosX()) + mOffsetX) &&
             Near(piece.GetPosY(), int64_t(piece.GetEndPosY()) + mOffsetY);
    });
  }
  return mHookPieces && int64_t(mGroups.size()) <= mNumberOfGroupsToWin;
}

void CJigsawPuzzle::SelectGroupOf(const TString& name) {
  mSelectedGroup = FindGroup(name);
  mNextMember = 0;
}

bool CJigsawPuzzle::HasMoreGroupMembers() const {
  return mSelectedGroup >= 0 && size_t(mSelectedGroup) < mGroups.size() &&
         mNextMember < mGroups[size_t(mSelectedGroup)].size();
}

TString CJigsawPuzzle::GetNextGroupMember() {
  if (!HasMoreGroupMembers()) return TString();
  return mGroups[size_t(mSelectedGroup)][mNextMember++];
}

void CJigsawPuzzle::Serialize(std::string& out) const {
  CRecordWriter record("MakeJigsawPuzzle");
  CScene::Serialize(record.Buffer());
  record.Number("offsetX", mOffsetX);
  record.Number("offsetY", mOffsetY);
  record.Flag("hookPieces", mHookPieces);
  record.Flag("stickOnBackground", mStickOnBackground);
  record.Number("delta", mDelta);
  record.Number("numberOfGroupsToWin", mNumberOfGroupsToWin);
  const size_t prefix = strlen(PiecePrefix);
  auto number = [prefix](const TString& name) {
    return uint32_t(strtoul(name.c_str() + std::min<size_t>(prefix, name.Length()), nullptr, 10));
  };
  for (const auto& entry : mPieces) {
    const CJigsawPiece& piece = *entry.second;
    CRecordWriter text("MakeJigsawPiece");
    text.Number("id", number(piece.GetName()));
    text.String("image", piece.GetImage());
    text.Number("startPosX", piece.GetPosX());
    text.Number("startPosY", piece.GetPosY());
    text.Number("endPosX", piece.GetEndPosX());
    text.Number("endPosY", piece.GetEndPosY());
    if (piece.GetNeighbourCount() > 0) {
      std::vector<uint32_t> neighbours;
      for (uint32_t i = 0; i < piece.GetNeighbourCount(); ++i) neighbours.push_back(number(piece.GetNeighbour(i)));
      text.LastList(neighbours);
    }
    text.Finish(record.Buffer());
  }
  record.Finish(out);
}
