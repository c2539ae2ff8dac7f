#pragma once
// CMastermindGame: the model of the colour-code game: the player fills guess rows with pegs
// of the colours in play and asks for a check, which answers with a white answer peg for each
// peg of the right colour in the right place and a black one for a right colour elsewhere,
// until a row matches the secret. Board, secret and answers are never saved: every visit
// starts a new game (StartNewGame when the window opens, Reset when it closes).
//
// A slot holds "" or the name of the palette peg put there: "peg" and a colour letter.

#include <cstdint>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

class CMastermindGame : public CScene {
 public:
  using Row = std::vector<TString>;
  // The window names slots and answer pegs with one digit for the row and one for the
  // column, so a board holds at most this many rows and pegs a row.
  static constexpr int32_t MaxRowsOrPegs = 10;

  // "g", "y", "r", "b", "s" (black), "p", "o" or "w" for the eight colour names; "" else.
  static TString GetColorLetter(const TString& color);
  // True for one of the eight colour names.
  static bool IsColorName(const TString& color);

  // True for 37 only.
  bool IsOfType(int modelType) const override;
  // The MakeMastermindGame record: the scene fields, the layout (positions as unsigned
  // 32-bit numbers, as the loader wraps them back), the sounds that are set, the colours.
  void Serialize(std::string& out) const override;

  // Layout and sounds, from the record.
  void SetGameColorsCount(int32_t count) { mGameColorsCount = count; }
  void SetRows(int32_t rows) { mRows = rows; }
  void SetDistancePegs(int32_t distance) { mDistancePegs = distance; }
  void SetDistanceAnswerpegs(int32_t distance) { mDistanceAnswerpegs = distance; }
  void SetDistanceSlots(int32_t distance) { mDistanceSlots = distance; }
  void SetDistanceRows(int32_t distance) { mDistanceRows = distance; }
  void SetCheckButtonPosition(int32_t x, int32_t y);
  void SetResetButtonPosition(int32_t x, int32_t y);
  void SetStartPositionPegs(int32_t x, int32_t y);
  void SetStartPositionAnswerpegs(int32_t x, int32_t y);
  void SetStartPositionSlot(int32_t x, int32_t y);
  void SetPeg(const TString& image) { mPeg = image; }
  void SetAnswerpeg(const TString& image) { mAnswerpeg = image; }
  void SetCheckButton(const TString& image) { mCheckbutton = image; }
  void SetResetButton(const TString& image) { mResetbutton = image; }
  void SetCheckSoundFile(const TString& file);
  void SetWonSoundFile(const TString& file);
  void SetResetSoundFile(const TString& file);
  void AddColor(const TString& color) { mColors.push_back(color); }

  // The pegs of a row in play: the record's count, but no more than there are colours to
  // draw the secret from (each is drawn once) and no more than MaxRowsOrPegs.
  int32_t GetGameColorsCount() const;
  // The rows in play: the record's count between 1 and MaxRowsOrPegs.
  int32_t GetRows() const;
  int32_t GetCurrentRow() const { return mCurrentRow; }
  int32_t GetDistancePegs() const { return mDistancePegs; }
  int32_t GetDistanceAnswerpegs() const { return mDistanceAnswerpegs; }
  int32_t GetDistanceSlots() const { return mDistanceSlots; }
  int32_t GetDistanceRows() const { return mDistanceRows; }
  int32_t GetCheckButtonX() const { return mCheckbuttonX; }
  int32_t GetCheckButtonY() const { return mCheckbuttonY; }
  int32_t GetResetButtonX() const { return mResetbuttonX; }
  int32_t GetResetButtonY() const { return mResetbuttonY; }
  int32_t GetStartPositionPegsX() const { return mStartPositionPegsX; }
  int32_t GetStartPositionPegsY() const { return mStartPositionPegsY; }
  int32_t GetStartPositionAnswerpegsX() const { return mStartPositionAnswerpegsX; }
  int32_t GetStartPositionAnswerpegsY() const { return mStartPositionAnswerpegsY; }
  int32_t GetStartPositionSlotX() const { return mStartPositionSlotX; }
  int32_t GetStartPositionSlotY() const { return mStartPositionSlotY; }
  const TString& GetPeg() const { return mPeg; }
  const TString& GetAnswerpeg() const { return mAnswerpeg; }
  const TString& GetCheckButton() const { return mCheckbutton; }
  const TString& GetResetButton() const { return mResetbutton; }
  const TString& GetCheckSoundFile() const { return mCheckSoundFile; }
  const TString& GetWonSoundFile() const { return mWonSoundFile; }
  const TString& GetResetSoundFile() const { return mResetSoundFile; }
  bool HasCheckSoundFile() const { return mHasCheckSound; }
  bool HasWonSoundFile() const { return mHasWonSound; }
  bool HasResetSoundFile() const { return mHasResetSound; }
  std::vector<TString> GetColors() const { return mColors; }
  std::vector<TString> GetSecret() const { return mSecret; }
  std::vector<Row> GetAnswers() const { return mAnswers; }
  // One slot or answer peg; "" outside the board.
  TString GetSlot(int32_t row, int32_t column) const;
  TString GetAnswerPeg(int32_t row, int32_t index) const;
  // True once a check matched the secret, until Reset.
  bool IsWon() const { return mWon; }

  // Appends the rows of empty slots and draws the secret (the generator seeded from the wall
  // clock), each colour at most once.
  void StartNewGame();
  // Slot changes; a place outside the board is ignored.
  void SetSlot(int32_t row, int32_t column, const TString& value);
  void ClearSlot(int32_t row, int32_t column);
  void ClearCurrentRow();
  // No slot of the current row is empty.
  bool IsRowComplete() const;
  // Scores the current row into the answer row of its index; true when it matches the
  // secret, which also wins the game.
  bool CheckRow();
  // On to the next row; the last row stays.
  void NextRow();
  // The oldest row leaves the top and an empty one comes in at the bottom.
  void ScrollBoardUp();
  void ScrollAnswersUp();
  // Empties board, secret and answers, back at the first row, not won; the colours and the
  // layout stay.
  void Reset();

 private:
  Row* CurrentRow();
  const Row* CurrentRow() const;

  TString mCheckSoundFile;
  TString mWonSoundFile;
  TString mResetSoundFile;
  bool mHasCheckSound = false;
  bool mHasWonSound = false;
  bool mHasResetSound = false;
  int32_t mGameColorsCount = 0;
  std::vector<TString> mColors;
  std::vector<TString> mSecret;
  TString mCheckbutton;
  int32_t mCheckbuttonX = 0;
  int32_t mCheckbuttonY = 0;
  TString mResetbutton;
  int32_t mResetbuttonX = 0;
  int32_t mResetbuttonY = 0;
  TString mPeg;
  TString mAnswerpeg;
  int32_t mStartPositionPegsX = 0;
  int32_t mStartPositionPegsY = 0;
  int32_t mStartPositionAnswerpegsX = 0;
  int32_t mStartPositionAnswerpegsY = 0;
  int32_t mStartPositionSlotX = 0;
  int32_t mStartPositionSlotY = 0;
  std::vector<Row> mBoard;
  std::vector<Row> mAnswers;
  int32_t mDistancePegs = 0;
  int32_t mDistanceAnswerpegs = 0;
  int32_t mDistanceSlots = 0;
  int32_t mDistanceRows = 0;
  bool mWon = false;
  int32_t mRows = 1;
  int32_t mCurrentRow = 0;
};
