#include "model/mastermind_game.h"

#include <algorithm>
#include <numeric>

#include "model/model_types.h"
#include "model/random_draw.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

namespace {

const struct {
  const char* name;
  const char* letter;
} Colors[] = {{"green", "g"},  {"yellow", "y"}, {"red", "r"},    {"blue", "b"},
              {"black", "s"},  {"purple", "p"}, {"orange", "o"}, {"white", "w"}};

// The colour letter of a slot: the character after "peg"; "" when the value is shorter.
TString SlotLetter(const TString& slot) {
  char letter = slot.CharAt(3);
  return letter ? TString(&letter, 1) : TString();
}

// Entry `index' of a board list, or null outside it.
template <typename List>
auto Element(List& list, int32_t index) -> decltype(&list[0]) {
  return index >= 0 && size_t(index) < list.size() ? &list[size_t(index)] : nullptr;
}

}  // namespace

TString CMastermindGame::GetColorLetter(const TString& color) {
  for (const auto& c : Colors) {
    if (SameBytes(color, c.name)) return c.letter;
  }
  return TString();
}

bool CMastermindGame::IsColorName(const TString& color) { return !GetColorLetter(color).IsEmpty(); }

bool CMastermindGame::IsOfType(int modelType) const { return modelType == ModelMastermindGame; }

void CMastermindGame::SetCheckButtonPosition(int32_t x, int32_t y) {
  mCheckbuttonX = x;
  mCheckbuttonY = y;
}

void CMastermindGame::SetResetButtonPosition(int32_t x, int32_t y) {
  mResetbuttonX = x;
  mResetbuttonY = y;
}

void CMastermindGame::SetStartPositionPegs(int32_t x, int32_t y) {
  mStartPositionPegsX = x;
  mStartPositionPegsY = y;
}

void CMastermindGame::SetStartPositionAnswerpegs(int32_t x, int32_t y) {
  mStartPositionAnswerpegsX = x;
  mStartPositionAnswerpegsY = y;
}

void CMastermindGame::SetStartPositionSlot(int32_t x, int32_t y) {
  mStartPositionSlotX = x;
  mStartPositionSlotY = y;
}

void CMastermindGame::SetCheckSoundFile(const TString& file) {
  mCheckSoundFile = file;
  mHasCheckSound = true;
}

void CMastermindGame::SetWonSoundFile(const TString& file) {
  mWonSoundFile = file;
  mHasWonSound = true;
}

void CMastermindGame::SetResetSoundFile(const TString& file) {
  mResetSoundFile = file;
  mHasResetSound = true;
}

int32_t CMastermindGame::GetGameColorsCount() const {
  int32_t colors = int32_t(std::min<size_t>(mColors.size(), MaxRowsOrPegs));
  return std::clamp(mGameColorsCount, 0, colors);
}

int32_t CMastermindGame::GetRows() const { return std::clamp(mRows, 1, MaxRowsOrPegs); }

TString CMastermindGame::GetSlot(int32_t row, int32_t column) const {
  const Row* slots = Element(mBoard, row);
  const TString* slot = slots ? Element(*slots, column) : nullptr;
  return slot ? *slot : TString();
}

TString CMastermindGame::GetAnswerPeg(int32_t row, int32_t index) const {
  const Row* answer = Element(mAnswers, row);
  const TString* peg = answer ? Element(*answer, index) : nullptr;
  return peg ? *peg : TString();
}

CMastermindGame::Row* CMastermindGame::CurrentRow() { return Element(mBoard, mCurrentRow); }

const CMastermindGame::Row* CMastermindGame::CurrentRow() const { return Element(mBoard, mCurrentRow); }

void CMastermindGame::StartNewGame() {
  int32_t pegs = GetGameColorsCount();
  if (pegs != mGameColorsCount || GetRows() != mRows)
    LogPrintf("Mastermind %d: %d pegs in %d rows with %zu colours; playing %d pegs in %d rows", GetSeqId(),
              mGameColorsCount, mRows, mColors.size(), pegs, GetRows());
  // A new game starts from nothing, whatever an earlier one left.
  Reset();
  mBoard.assign(size_t(GetRows()), Row(size_t(pegs)));
  std::vector<size_t> pool(mColors.size());
  std::iota(pool.begin(), pool.end(), 0);
  SeedGameRandFromWallClock();
  for (size_t index : DrawWithoutRepetition(pool, size_t(pegs))) mSecret.push_back(mColors[index]);
}

void CMastermindGame::SetSlot(int32_t row, int32_t column, const TString& value) {
  Row* slots = Element(mBoard, row);
  if (TString* slot = slots ? Element(*slots, column) : nullptr) *slot = value;
}

void CMastermindGame::ClearSlot(int32_t row, int32_t column) { SetSlot(row, column, TString()); }

void CMastermindGame::ClearCurrentRow() {
  if (Row* slots = CurrentRow()) std::fill(slots->begin(), slots->end(), TString());
}

bool CMastermindGame::IsRowComplete() const {
  const Row* slots = CurrentRow();
  if (!slots) return false;
  return std::none_of(slots->begin(), slots->end(), [](const TString& slot) { return slot.IsEmpty(); });
}

bool CMastermindGame::CheckRow() {
  mAnswers.emplace_back();
  // The answers scroll apart from the board; the row of the current index must be there.
  if (mAnswers.size() <= size_t(mCurrentRow)) mAnswers.resize(size_t(mCurrentRow) + 1);
  Row& answer = mAnswers[size_t(mCurrentRow)];
  const Row* guess = CurrentRow();
  int32_t pegs = GetGameColorsCount();
  int32_t exact = 0;
  for (int32_t i = 0; i < pegs; ++i) {
    const TString* slot = guess ? Element(*guess, i) : nullptr;
    TString letter = slot ? SlotLetter(*slot) : TString();
    if (letter.IsEmpty()) continue;
    const TString* secret = Element(mSecret, i);
    if (secret && SameBytes(letter, GetColorLetter(*secret))) {
      ++exact;
      answer.push_back("w");
      continue;
    }
    // The secret's colours are distinct, so this earns at most one black.
    for (const TString& color : mSecret) {
      if (SameBytes(letter, GetColorLetter(color))) answer.push_back("b");
    }
  }
  bool match = exact == pegs;
  if (match) mWon = true;
  return match;
}

void CMastermindGame::NextRow() {
  if (mCurrentRow < GetRows() - 1) ++mCurrentRow;
}

void CMastermindGame::ScrollBoardUp() {
  if (!mBoard.empty()) mBoard.erase(mBoard.begin());
  mBoard.emplace_back(size_t(GetGameColorsCount()));
}

void CMastermindGame::ScrollAnswersUp() {
  if (!mAnswers.empty()) mAnswers.erase(mAnswers.begin());
  mAnswers.emplace_back();
}

void CMastermindGame::Reset() {
  mSecret.clear();
  mAnswers.clear();
  mBoard.clear();
  mCurrentRow = 0;
  mWon = false;
}

void CMastermindGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeMastermindGame");
  CScene::Serialize(record.Buffer());
  record.Number("gameColorsCount", mGameColorsCount);
  record.String("peg", mPeg);
  record.String("answerpeg", mAnswerpeg);
  record.Number("startPositionPegsX", uint32_t(mStartPositionPegsX));
  record.Number("startPositionPegsY", uint32_t(mStartPositionPegsY));
  record.Number("startPositionAnswerpegsX", uint32_t(mStartPositionAnswerpegsX));
  record.Number("startPositionAnswerpegsY", uint32_t(mStartPositionAnswerpegsY));
  record.Number("startPositionSlotX", uint32_t(mStartPositionSlotX));
  record.Number("startPositionSlotY", uint32_t(mStartPositionSlotY));
  record.Number("distancePegs", mDistancePegs);
  record.Number("distanceAnswerpegs", mDistanceAnswerpegs);
  record.Number("distanceSlots", mDistanceSlots);
  record.Number("distanceRows", mDistanceRows);
  record.Number("rows", mRows);
  record.String("checkbutton", mCheckbutton);
  record.Number("checkbuttonX", uint32_t(mCheckbuttonX));
  record.Number("checkbuttonY", uint32_t(mCheckbuttonY));
  record.String("resetbutton", mResetbutton);
  record.Number("resetbuttonX", uint32_t(mResetbuttonX));
  record.Number("resetbuttonY", uint32_t(mResetbuttonY));
  if (mHasCheckSound) record.String("checkSoundFile", mCheckSoundFile);
  if (mHasWonSound) record.String("wonSoundFile", mWonSoundFile);
  if (mHasResetSound) record.String("resetSoundFile", mResetSoundFile);
  if (!mColors.empty()) {
    CRecordWriter colors("MakeMastermindAllColors");
    for (const TString& color : mColors) colors.Entry(color);
    colors.Finish(record.Buffer());
  }
  record.Finish(out);
}
