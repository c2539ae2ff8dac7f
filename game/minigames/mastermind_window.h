#pragma once
// TMastermindWindow ("MastermindWindow"): the colour-code board on its CMastermindGame. All
// pieces are sprites of the scene's sprite window:
// - the palette, one peg per colour in play (kind 32, "peg" + letter): a click picks the peg
//   up and it follows the pointer; the next click drops it into a slot of the current row,
//   or anywhere else back into the palette. A colour that stands in the current row is not
//   in the palette;
// - the slots of every row (kind 34, "slot" + row + column, one digit each): a filled slot of
//   the current row gives its peg back into the hand;
// - the answer pegs beside each checked row (kind 33, "answerpeg" + row + index), whites
//   first;
// - the check button (kind 35) scores a full row ("CheckSound", or "WonSound" and the scene
//   finishes), the reset button (kind 18) empties the current row ("ResetSound").
// Once the last row has been checked the board scrolls up a row on every check. The model
// starts a new game when the window opens and is reset when it goes (unless the game is
// quitting). The play clock is paused while the window lives.

#include <cstdint>
#include <memory>

#include "minigames/mini_game_window.h"

class CMastermindGame;

enum TMastermindSpriteKind : int32_t {
  SpriteKindMastermindReset = 18,
  SpriteKindMastermindPeg = 32,
  SpriteKindMastermindAnswer = 33,
  SpriteKindMastermindSlot = 34,
  SpriteKindMastermindCheck = 35,
};

class TMastermindWindow : public TMiniGameWindow {
 public:
  TARVELON_CLASS_ID()
  TMastermindWindow();
  // Resumes the play clock; the model starts afresh next time.
  ~TMastermindWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TMastermindWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMiniGameWindow::IsKindOf(id); }

  // The buttons and the scene, then a new game: the check and reset buttons, the palette
  // and the board.
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  // A held peg follows the pointer ("use" cursor over a slot of the current row).
  bool OnMouseMove(TPoint point) override;
  bool IsWon() override;

  CMastermindGame* GetGame() const { return mGame; }
  // The size the board is laid out with: the pictures of a green peg and a white answer peg.
  TPoint GetPegSize() const { return TPoint(mPegWidth, mPegHeight); }
  TPoint GetAnswerpegSize() const { return TPoint(mAnswerpegWidth, mAnswerpegHeight); }
  // "peg" + the letter of the peg in the hand; "" when the hand is empty.
  TString GetHeldPeg();

  // prefix + row + column in decimal.
  static TString MakeCellName(const char* prefix, int32_t row, int32_t column);
  // "blue" for 'b' and so on; "undefined" for a character that is no colour letter.
  static TString ColorOfLetter(char letter);

 private:
  void BuildPalette(bool create);
  void RebuildPalette();
  void BuildBoard();
  void RemoveBoardSprites();
  void BuildAnswerPegs();
  void RemoveAnswerPegs();
  // The listed record of the peg in the hand, or null.
  GeneralSprite* HeldPeg();
  // The slot of the current row whose picture holds the point; -1 for none.
  int32_t CurrentRowSlotAt(TPoint point);
  void DropPeg(GeneralSprite& peg, TPoint point);
  void PickUp(GeneralSprite& peg);
  void TakeBackFromSlot(int32_t column, TPoint point);
  // The peg's picture to the pointer, less the grab offsets.
  void HangFromPointer(const GeneralSprite& peg, TPoint point);
  void ResetRow();
  void Check();
  // Reads the pegs' sizes from their pictures; a picture that does not load keeps the size
  // before, with a log line.
  void MeasurePegs();

  CMastermindGame* mGame = nullptr;  // CGame's, or mStandIn's
  std::unique_ptr<CMastermindGame> mStandIn;
  int32_t mPegWidth = 10;
  int32_t mPegHeight = 10;
  int32_t mAnswerpegWidth = 0;
  int32_t mAnswerpegHeight = 0;
  // Where the held peg hangs from the pointer: its top-left corner at the pointer minus these.
  int32_t mGrabOffsetX = 0;
  int32_t mGrabOffsetY = 0;
};
