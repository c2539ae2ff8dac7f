#include "model/nine_mens_morris_game.h"

#include <algorithm>
#include <utility>

#include "model/model_types.h"
#include "model/record_writer.h"
#include "platform/log.h"

namespace {

template <typename T>
T EntryOr(const std::vector<T>& list, int32_t i, T fallback) {
  return i >= 0 && size_t(i) < list.size() ? list[size_t(i)] : fallback;
}

}  // namespace

bool CNineMensMorrisGame::IsOfType(int modelType) const { return modelType == ModelNineMensMorrisGame; }

CNineMensMorrisGame::TPosition CNineMensMorrisGame::GetFieldPosition(int32_t i) const {
  return EntryOr(mPositions, i, TPosition());
}

int32_t CNineMensMorrisGame::GetStatusStart(int32_t i) const { return EntryOr(mStatusStart, i, 0); }

int32_t CNineMensMorrisGame::GetStatusEnd(int32_t i) const { return EntryOr(mStatusEnd, i, 0); }

int32_t CNineMensMorrisGame::GetNeighbourCount(int32_t i) const {
  return int32_t(EntryOr(mNeighbours, i, std::vector<int32_t>()).size());
}

int32_t CNineMensMorrisGame::GetNeighbour(int32_t i, int32_t j) const {
  if (i < 0 || size_t(i) >= mNeighbours.size()) return -1;
  return EntryOr(mNeighbours[size_t(i)], j, -1);
}

void CNineMensMorrisGame::AddField(std::unique_ptr<CNineMensMorrisField> field) {
  if (field) mFields.push_back(std::move(field));
}

void CNineMensMorrisGame::RemoveLastField() {
  if (!mFields.empty()) mFields.pop_back();
}

CNineMensMorrisField* CNineMensMorrisGame::GetField(int32_t i) const { return IsPoint(i) ? mFields[size_t(i)].get() : nullptr; }

void CNineMensMorrisGame::BuildFields() {
  mFields.clear();
  const int32_t count = GetNeighbourListCount();
  if (size_t(count) != mPositions.size() || size_t(count) != mStatusStart.size() || size_t(count) != mStatusEnd.size())
    LogPrintf("Morris %d: %d neighbour lists, %zu positions, %zu start and %zu end statuses; the missing ones are 0",
              GetSeqId(), count, mPositions.size(), mStatusStart.size(), mStatusEnd.size());
  for (int32_t i = 0; i < count; ++i) {
    auto field = std::make_unique<CNineMensMorrisField>();
    field->SetIndex(i);
    field->SetStatus(GetStatusStart(i));
    field->SetStatusEnd(GetStatusEnd(i));
    TPosition position = GetFieldPosition(i);
    field->SetPosition(position.x, position.y);
    for (int32_t neighbour : mNeighbours[size_t(i)]) {
      if (neighbour >= 0 && neighbour < count)
        field->AddNeighbour(neighbour);
      else
        LogPrintf("Morris %d: point %d names the neighbour %d, which is no point of the %d", GetSeqId(), i, neighbour,
                  count);
    }
    mFields.push_back(std::move(field));
  }
}

int32_t CNineMensMorrisGame::GetFieldStatus(int32_t i) const { return IsPoint(i) ? mFields[size_t(i)]->GetStatus() : 0; }

void CNineMensMorrisGame::ExchangeFieldStatus(int32_t a, int32_t b) {
  if (!IsPoint(a) || !IsPoint(b)) return;
  int32_t status = mFields[size_t(a)]->GetStatus();
  mFields[size_t(a)]->SetStatus(mFields[size_t(b)]->GetStatus());
  mFields[size_t(b)]->SetStatus(status);
}

bool CNineMensMorrisGame::IsNeighbour(int32_t a, int32_t b) const {
  return IsPoint(a) && IsPoint(b) && GetFieldStatus(a) != 0 && mFields[size_t(a)]->HasNeighbour(b);
}

bool CNineMensMorrisGame::IsMoveTargetFree(int32_t a, int32_t b) const {
  return IsPoint(a) && IsPoint(b) && (GetFieldStatus(a) == 0 || GetFieldStatus(b) == 0);
}

bool CNineMensMorrisGame::MovePiece(int32_t a, int32_t b) {
  if (!IsNeighbour(a, b) || !IsMoveTargetFree(a, b)) return false;
  ExchangeFieldStatus(a, b);
  return true;
}

bool CNineMensMorrisGame::HasAtMostOneEmpty() const {
  return std::count_if(mFields.begin(), mFields.end(), [](const auto& field) { return field->GetStatus() == 0; }) < 2;
}

int32_t CNineMensMorrisGame::FindFirstEmpty() const {
  for (size_t i = 0; i < mFields.size(); ++i) {
    if (mFields[i]->GetStatus() == 0) return int32_t(i);
  }
  return -1;
}

bool CNineMensMorrisGame::IsWon() const {
  return std::all_of(mFields.begin(), mFields.end(), [](const auto& field) {
    return field->GetStatus() == 0 || field->GetStatus() == field->GetStatusEnd();
  });
}

void CNineMensMorrisGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeNineMensMorrisGame");
  CScene::Serialize(record.Buffer());
  record.String("filepath", mFilepath);
  std::string& text = record.Buffer();
  text += "\t{\n";
  if (!mFields.empty()) {
    for (const auto& field : mFields) field->Serialize(text);
  } else {
    for (int32_t i = 0; i < GetNeighbourListCount(); ++i)
      WriteMorrisPoint(text, GetFieldPosition(i), GetStatusStart(i), GetStatusEnd(i), mNeighbours[size_t(i)]);
  }
  text += "\t}\n";
  record.Finish(out);
}
