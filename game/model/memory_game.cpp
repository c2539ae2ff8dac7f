#include "model/memory_game.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "model/model_types.h"
#include "model/random_draw.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"

namespace {

// The text without its last character: a card's id or name gives its pair's.
TString PairPart(const TString& text) { return text.IsEmpty() ? text : text.Substr(0, int32_t(text.Length() - 1)); }

// The number of columns of the smallest square grid that holds n cells.
int32_t SquareColumns(int32_t n) {
  int32_t side = int32_t(std::sqrt(double(n)));
  while (side > 0 && int64_t(side) * side > n) --side;
  while (int64_t(side + 1) * (side + 1) <= n) ++side;
  return int64_t(side) * side < n ? side + 1 : side;
}

void WritePair(CRecordWriter& game, const CMemoryPiece& card) {
  CRecordWriter pair("MakeMemoryPair");
  pair.String("id", PairPart(card.GetId()));
  pair.String("name", PairPart(card.GetName()));
  pair.String("image", card.GetImage());
  pair.Finish(game.Buffer());
}

}  // namespace

bool CMemoryGame::IsOfType(int modelType) const { return modelType == ModelMemoryGame; }

bool CMemoryGame::IsPair(const TString& firstId, const TString& secondId) {
  return SameBytes(PairPart(firstId), PairPart(secondId));
}

void CMemoryGame::SetStartPositionCards(int32_t x, int32_t y) {
  mStartPositionCardsX = x;
  mStartPositionCardsY = y;
}

void CMemoryGame::AddPair(std::unique_ptr<CMemoryPiece> first, std::unique_ptr<CMemoryPiece> second) {
  if (!first || !second) return;
  mFirstCards.push_back(std::move(first));
  mSecondCards.push_back(std::move(second));
}

void CMemoryGame::DealCards() {
  mCardGrid.clear();
  mDealtCards.clear();
  int32_t cards = 2 * GetPairCount();
  mGridColumns = SquareColumns(cards);
  std::vector<CMemoryPiece*> deck;
  for (const auto& card : mFirstCards) deck.push_back(card.get());
  for (const auto& card : mSecondCards) deck.push_back(card.get());
  SeedGameRandFromWallClock();
  mCardGrid = DrawWithoutRepetition(deck, size_t(cards));
  for (const CMemoryPiece* card : mCardGrid) mDealtCards.push_back(*card);
}

void CMemoryGame::RemoveCard(const TString& id) {
  for (CMemoryPiece*& cell : mCardGrid) {
    if (cell && SameBytes(cell->GetId(), id)) cell = nullptr;
  }
}

bool CMemoryGame::IsWon() const {
  return std::all_of(mCardGrid.begin(), mCardGrid.end(), [](const CMemoryPiece* cell) { return !cell; });
}

void CMemoryGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeMemoryGame");
  CScene::Serialize(record.Buffer());
  if (HasUncoverSound()) record.String("uncoverSound", mUncoverSound);
  if (HasWonSound()) record.String("wonSound", mWonSound);
  if (HasRightPairSound()) record.String("rightPairSound", mRightPairSound);
  if (HasWrongPairSound()) record.String("wrongPairSound", mWrongPairSound);
  record.Number("distanceCards", mDistanceCards);
  record.Number("startPositionCardsX", uint32_t(mStartPositionCardsX));
  record.Number("startPositionCardsY", uint32_t(mStartPositionCardsY));
  record.String("cardBackside", mCardBackside);
  record.Number("timeTwoCardsUncoveredShown", mTimeTwoCardsUncoveredShown);
  if (mDealtCards.empty()) {
    // Not dealt since loading (the window has not opened in this run): the pairs as loaded.
    for (const auto& card : mFirstCards) WritePair(record, *card);
  } else {
    // A pair is written at its first card dealt; the third card of an id starts a second
    // pair of that id, so that pairs sharing an id are all kept.
    std::map<std::string, int32_t> seen;
    for (const CMemoryPiece& card : mDealtCards) {
      if (seen[BytesOf(PairPart(card.GetId()))]++ % 2 == 0) WritePair(record, card);
    }
  }
  record.Finish(out);
}
