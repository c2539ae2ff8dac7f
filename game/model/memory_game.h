#pragma once
// CMemoryGame: the model of the memory game: pairs of cards dealt face down at random into a
// grid; the player uncovers two at a time, a matching pair leaves the board, and the game is
// won when no card is left. The saved text keeps the pairs, not the progress: a reloaded
// game deals all pairs anew.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

// One card. Its id and name are the pair's with a one-letter suffix ("A" for the first card
// of a pair, "B" for the second); both cards of a pair show the same image.
class CMemoryPiece {
 public:
  virtual ~CMemoryPiece() = default;
  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }

 private:
  TString mId;
  TString mName;
  TString mImage;
};

class CMemoryGame : public CScene {
 public:
  // True for 40 only.
  bool IsOfType(int modelType) const override;
  // The MakeMemoryGame record: the scene fields, the sounds that are set, the layout, and
  // one MakeMemoryPair per pair, in the order their first card was dealt (in loading order
  // while the cards have not been dealt).
  void Serialize(std::string& out) const override;

  // Two cards form a pair when their ids match without their last character.
  static bool IsPair(const TString& firstId, const TString& secondId);

  void SetUncoverSound(const TString& file) { mUncoverSound = file; }
  void SetWonSound(const TString& file) { mWonSound = file; }
  void SetRightPairSound(const TString& file) { mRightPairSound = file; }
  void SetWrongPairSound(const TString& file) { mWrongPairSound = file; }
  void SetDistanceCards(int32_t distance) { mDistanceCards = distance; }
  void SetStartPositionCards(int32_t x, int32_t y);
  void SetCardBackside(const TString& image) { mCardBackside = image; }
  void SetTimeTwoCardsUncoveredShown(int32_t ms) { mTimeTwoCardsUncoveredShown = ms; }
  // Appends the two cards of a pair; a pair missing a card is ignored.
  void AddPair(std::unique_ptr<CMemoryPiece> first, std::unique_ptr<CMemoryPiece> second);

  bool HasUncoverSound() const { return !mUncoverSound.IsEmpty(); }
  bool HasWonSound() const { return !mWonSound.IsEmpty(); }
  bool HasRightPairSound() const { return !mRightPairSound.IsEmpty(); }
  bool HasWrongPairSound() const { return !mWrongPairSound.IsEmpty(); }
  const TString& GetUncoverSound() const { return mUncoverSound; }
  const TString& GetWonSound() const { return mWonSound; }
  const TString& GetRightPairSound() const { return mRightPairSound; }
  const TString& GetWrongPairSound() const { return mWrongPairSound; }
  int32_t GetStartPositionCardsX() const { return mStartPositionCardsX; }
  int32_t GetStartPositionCardsY() const { return mStartPositionCardsY; }
  int32_t GetDistanceCards() const { return mDistanceCards; }
  const TString& GetCardBackside() const { return mCardBackside; }
  int32_t GetTimeTwoCardsUncoveredShown() const { return mTimeTwoCardsUncoveredShown; }
  int32_t GetGridColumns() const { return mGridColumns; }
  int32_t GetPairCount() const { return int32_t(mFirstCards.size()); }
  // The dealt cards cell by cell, row by row; null where a pair has left the board. The
  // game keeps the cards.
  std::vector<CMemoryPiece*> GetCardGrid() const { return mCardGrid; }

  // Deals every card into the grid at random (the generator seeded from the wall clock),
  // as many columns as the smallest square that holds them has.
  void DealCards();
  // Takes every card of that id off the board.
  void RemoveCard(const TString& id);
  // No card left on the board (also when there are no cards at all).
  bool IsWon() const;

 private:
  TString mUncoverSound;
  TString mWonSound;
  TString mRightPairSound;
  TString mWrongPairSound;
  int32_t mStartPositionCardsX = 0;
  int32_t mStartPositionCardsY = 0;
  int32_t mDistanceCards = 10;
  std::vector<std::unique_ptr<CMemoryPiece>> mFirstCards;
  std::vector<std::unique_ptr<CMemoryPiece>> mSecondCards;
  std::vector<CMemoryPiece*> mCardGrid;
  std::vector<CMemoryPiece> mDealtCards;
  TString mCardBackside;
  int32_t mGridColumns = 0;
  int32_t mTimeTwoCardsUncoveredShown = 100;
};
