#include "minigames/mastermind_window.h"

#include <vector>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/highscore_system.h"
#include "model/mastermind_game.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"

namespace {

const char* const CheckButtonName = "CheckButton";
const char* const ResetButtonName = "ResetButton";

// Hit tests of the slots take the picture's whole box, so a peg lands in a slot wherever
// its square is clicked.
constexpr int SlotBoxThreshold = -1;

// The colour letter of a slot value ("peg" + letter); "" for an empty or short value.
TString SlotLetter(const TString& value) { return value.Length() > 3 ? value.Substr(3, 1) : TString(); }

// A digit of a cell name as a number; -1 for any other character.
int32_t NameDigit(const TString& name, uint32_t index) {
  char c = name.CharAt(index);
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

// start + index * (distance + size), saturated to the screen's integers.
int32_t Pitch(int32_t start, int32_t index, int32_t distance, int32_t size) {
  return scene::Truncate(double(start) + double(index) * (double(distance) + double(size)));
}

}  // namespace

TMastermindWindow::TMastermindWindow() {
  mGame = GameModel(mStandIn);
  if (mGame->HasCheckSoundFile()) LoadSoundAs("CheckSound", mGame->GetCheckSoundFile());
  if (mGame->HasWonSoundFile()) LoadSoundAs("WonSound", mGame->GetWonSoundFile());
  if (mGame->HasResetSoundFile()) LoadSoundAs("ResetSound", mGame->GetResetSoundFile());
  HighscoreSystem::PausePlay();
}

TMastermindWindow::~TMastermindWindow() {
  HighscoreSystem::StartPlay();
  if (!GameIsQuitting()) mGame->Reset();
}

std::unique_ptr<TWindow> TMastermindWindow::Create() { return std::make_unique<TMastermindWindow>(); }

TString TMastermindWindow::MakeCellName(const char* prefix, int32_t row, int32_t column) {
  return TString::Printf("%s%d%d", prefix, row, column);
}

TString TMastermindWindow::ColorOfLetter(char letter) {
  switch (letter) {
    case 'b': return "blue";
    case 'g': return "green";
    case 'o': return "orange";
    case 'p': return "purple";
    case 'r': return "red";
    case 's': return "black";
    case 'w': return "white";
    case 'y': return "yellow";
    default: return "undefined";
  }
}

bool TMastermindWindow::IsWon() { return mGame->IsWon(); }

void TMastermindWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  mGame->StartNewGame();
  if (!mSpriteWindow) return;
  GeneralSprite check(mGame->GetCheckButton(), mGame->GetCheckButtonX(), mGame->GetCheckButtonY(), SpritePivotTopLeft,
                      SpriteKindMastermindCheck, CheckButtonName, 1.0f, 0);
  GeneralSprite reset(mGame->GetResetButton(), mGame->GetResetButtonX(), mGame->GetResetButtonY(), SpritePivotTopLeft,
                      SpriteKindMastermindReset, ResetButtonName, 1.0f, 0);
  check.SetClickable(true);
  reset.SetClickable(true);
  mSpriteWindow->AddSprite(check);
  mSpriteWindow->AddSprite(reset);
  MeasurePegs();
  BuildPalette(true);
  BuildBoard();
}

void TMastermindWindow::MeasurePegs() {
  // The layout needs both sizes; a missing picture must not stop the game.
  if (std::shared_ptr<TTexture> peg = TTexture::Get(mGame->GetPeg() + "_g")) {
    mPegWidth = int32_t(peg->GetWidth());
    mPegHeight = int32_t(peg->GetHeight());
  } else {
    LogPrintf("TMastermindWindow: the peg picture \"%s_g\" does not load; pegs are laid out %d x %d",
              mGame->GetPeg().c_str(), mPegWidth, mPegHeight);
  }
  if (std::shared_ptr<TTexture> answer = TTexture::Get(mGame->GetAnswerpeg() + "_w")) {
    mAnswerpegWidth = int32_t(answer->GetWidth());
    mAnswerpegHeight = int32_t(answer->GetHeight());
  } else {
    LogPrintf("TMastermindWindow: the answer peg picture \"%s_w\" does not load; answer pegs are laid out %d x %d",
              mGame->GetAnswerpeg().c_str(), mAnswerpegWidth, mAnswerpegHeight);
  }
}

void TMastermindWindow::BuildPalette(bool create) {
  std::vector<TString> colors = mGame->GetColors();
  const int32_t row = mGame->GetCurrentRow(), pegs = mGame->GetGameColorsCount();
  for (size_t i = 0; i < colors.size(); ++i) {
    TString letter = CMastermindGame::GetColorLetter(colors[i]);
    TString name = TString("peg") + letter;
    bool used = false;
    for (int32_t column = 0; column < pegs && !used; ++column) {
      TString slot = SlotLetter(mGame->GetSlot(row, column));
      used = !slot.IsEmpty() && slot == letter;
    }
    int32_t index = 0;
    if (used) {
      if (mSpriteWindow->FindSprite(name, index)) mSpriteWindow->GetSprite(index).SetClickable(false);
      continue;
    }
    GeneralSprite peg(mGame->GetPeg() + "_" + letter,
                      Pitch(mGame->GetStartPositionPegsX(), int32_t(i), mGame->GetDistancePegs(), mPegWidth),
                      mGame->GetStartPositionPegsY(), SpritePivotTopLeft, SpriteKindMastermindPeg, name, 1.0f, 0);
    peg.SetClickable(true);
    if (create) {
      mSpriteWindow->AddSprite(peg);
    } else if (mSpriteWindow->FindSprite(name, index)) {
      GeneralSprite& listed = mSpriteWindow->GetSprite(index);
      listed.SetSpriteFrom(peg);
      listed.SetClickable(true);
      mSpriteWindow->AttachSprite(listed);
    }
  }
}

// Before it the palette's pegs leave the tree; after it only the colours free in the
// current row are back, each at its place.
void TMastermindWindow::RebuildPalette() {
  mSpriteWindow->DetachSpritesOfKind(SpriteKindMastermindPeg);
  BuildPalette(false);
}

void TMastermindWindow::BuildBoard() {
  const int32_t rows = mGame->GetRows(), pegs = mGame->GetGameColorsCount(), current = mGame->GetCurrentRow();
  for (int32_t r = 0; r < rows; ++r) {
    for (int32_t c = 0; c < pegs; ++c) {
      TString letter = SlotLetter(mGame->GetSlot(r, c));
      GeneralSprite slot(mGame->GetPeg() + "_" + (letter.IsEmpty() ? TString("u") : letter),
                         Pitch(mGame->GetStartPositionSlotX(), c, mGame->GetDistanceSlots(), mPegWidth),
                         Pitch(mGame->GetStartPositionSlotY(), r, mGame->GetDistanceRows(), mPegHeight),
                         SpritePivotTopLeft, SpriteKindMastermindSlot, MakeCellName("slot", r, c), 1.0f, 0);
      slot.SetClickable(!letter.IsEmpty() && r == current);
      mSpriteWindow->AddSprite(slot);
    }
  }
}

void TMastermindWindow::RemoveBoardSprites() {
  const int32_t rows = mGame->GetRows(), pegs = mGame->GetGameColorsCount();
  for (int32_t r = 0; r < rows; ++r)
    for (int32_t c = 0; c < pegs; ++c) mSpriteWindow->RemoveSprite(MakeCellName("slot", r, c));
}

void TMastermindWindow::BuildAnswerPegs() {
  std::vector<CMastermindGame::Row> answers = mGame->GetAnswers();
  for (size_t r = 0; r < answers.size(); ++r) {
    size_t whites = 0, blacks = 0;
    for (const TString& entry : answers[r]) {
      whites += entry == "w";
      blacks += entry == "b";
    }
    // Whites first: the order tells nothing about which places earned them.
    for (size_t k = 0; k < answers[r].size(); ++k) {
      const char* suffix = nullptr;
      if (whites > 0) {
        --whites;
        suffix = "_w";
      } else if (blacks > 0) {
        --blacks;
        suffix = "_b";
      } else {
        continue;
      }
      GeneralSprite peg(mGame->GetAnswerpeg() + suffix,
                        Pitch(mGame->GetStartPositionAnswerpegsX(), int32_t(k), mGame->GetDistanceAnswerpegs(),
                              mAnswerpegWidth),
                        Pitch(mGame->GetStartPositionAnswerpegsY(), int32_t(r), mGame->GetDistanceRows(), mPegHeight),
                        SpritePivotTopLeft, SpriteKindMastermindAnswer, MakeCellName("answerpeg", int32_t(r), int32_t(k)),
                        1.0f, 0);
      mSpriteWindow->AddSprite(peg);
    }
  }
}

void TMastermindWindow::RemoveAnswerPegs() {
  if (mGame->GetRows() == 1) {
    for (int32_t k = 0; k < mGame->GetGameColorsCount(); ++k) mSpriteWindow->RemoveSprite(MakeCellName("answerpeg", 0, k));
    return;
  }
  std::vector<CMastermindGame::Row> answers = mGame->GetAnswers();
  for (size_t r = 0; r < answers.size(); ++r)
    for (size_t k = 0; k < answers[r].size(); ++k)
      mSpriteWindow->RemoveSprite(MakeCellName("answerpeg", int32_t(r), int32_t(k)));
}

GeneralSprite* TMastermindWindow::HeldPeg() {
  if (!mSpriteWindow) return nullptr;
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); ++i) {
    GeneralSprite& sprite = mSpriteWindow->GetSprite(i);
    if (sprite.GetKind() == SpriteKindMastermindPeg && sprite.GetUserFlag()) return &sprite;
  }
  return nullptr;
}

TString TMastermindWindow::GetHeldPeg() {
  GeneralSprite* held = HeldPeg();
  return held ? held->GetName() : TString();
}

int32_t TMastermindWindow::CurrentRowSlotAt(TPoint point) {
  const TSpriteDrawParams& parent = mSpriteWindow->GetRootTransform();
  for (int32_t i = 0; i < mSpriteWindow->GetSpriteCount(); ++i) {
    const GeneralSprite& record = mSpriteWindow->GetSprite(i);
    if (record.GetKind() != SpriteKindMastermindSlot) continue;
    TString name = record.GetName();
    if (NameDigit(name, 4) != mGame->GetCurrentRow()) continue;
    std::shared_ptr<TSprite> sprite = record.GetCurrentSprite();
    if (sprite && sprite->HitTest(point, SlotBoxThreshold, parent, 0)) return NameDigit(name, 5);
  }
  return -1;
}

// The slot is found first and the board rebuilt after: rebuilding replaces the records that
// a walk over the list would still be reading.
void TMastermindWindow::DropPeg(GeneralSprite& peg, TPoint point) {
  peg.SetUserFlag(false);
  TString name = peg.GetName();
  if (!(ColorOfLetter(name.CharAt(3)) == "undefined")) {
    int32_t column = CurrentRowSlotAt(point);
    if (column >= 0) {
      mGame->SetSlot(mGame->GetCurrentRow(), column, name);
      RemoveBoardSprites();
      BuildBoard();
    }
  }
  RebuildPalette();
}

void TMastermindWindow::PickUp(GeneralSprite& peg) {
  mGrabOffsetX = scene::ConfigInt("itemCursorOffsetX");
  mGrabOffsetY = scene::ConfigInt("itemCursorOffsetY");
  peg.SetUserFlag(true);
  std::shared_ptr<TSprite> sprite = peg.GetCurrentSprite();
  std::shared_ptr<TSprite> root = mSpriteWindow->GetRootSprite();
  if (!sprite || !root) return;
  // In front of every other piece while it is carried.
  root->RemoveChild(sprite);
  root->AddChild(sprite);
}

void TMastermindWindow::TakeBackFromSlot(int32_t column, TPoint point) {
  TString letter = SlotLetter(mGame->GetSlot(mGame->GetCurrentRow(), column));
  mGame->ClearSlot(mGame->GetCurrentRow(), column);
  RemoveBoardSprites();
  BuildBoard();
  int32_t index = 0;
  if (letter.IsEmpty() || !mSpriteWindow->FindSprite(TString("peg") + letter, index)) return;
  GeneralSprite& peg = mSpriteWindow->GetSprite(index);
  peg.SetClickable(true);
  mSpriteWindow->AttachSprite(peg);
  PickUp(peg);
  // It was last carried elsewhere: it comes back into the hand where the pointer is.
  HangFromPointer(peg, point);
}

void TMastermindWindow::HangFromPointer(const GeneralSprite& peg, TPoint point) {
  if (std::shared_ptr<TSprite> sprite = peg.GetCurrentSprite())
    PlaceSprite(*sprite, TVec2(float(int64_t(point.x) - mGrabOffsetX), float(int64_t(point.y) - mGrabOffsetY)));
}

void TMastermindWindow::ResetRow() {
  mSpriteWindow->DetachSpritesOfKind(SpriteKindMastermindPeg);
  RemoveBoardSprites();
  mGame->ClearCurrentRow();
  BuildPalette(false);
  BuildBoard();
  PlayGameSound("ResetSound");
}

void TMastermindWindow::Check() {
  if (!mGame->IsRowComplete()) return;
  if (mGame->CheckRow()) {
    RemoveAnswerPegs();
    BuildAnswerPegs();
    PlayGameSound("WonSound");
    FinishScene();
    return;
  }
  PlayGameSound("CheckSound");
  const int32_t rows = mGame->GetRows(), current = mGame->GetCurrentRow();
  if (rows == 1) {
    // One row: the guess stays to be changed and checked again; its answer shows until then.
    RemoveAnswerPegs();
    BuildAnswerPegs();
    mGame->ScrollAnswersUp();
    return;
  }
  for (int32_t c = 0; c < mGame->GetGameColorsCount(); ++c) {
    int32_t index = 0;
    if (mSpriteWindow->FindSprite(MakeCellName("slot", current, c), index))
      mSpriteWindow->GetSprite(index).SetClickable(false);
  }
  if (current == rows - 1) {
    // The last row: the oldest row and its answer leave the top, an empty row comes in.
    RemoveAnswerPegs();
    mGame->ScrollAnswersUp();
    BuildAnswerPegs();
    mGame->ScrollBoardUp();
    RemoveBoardSprites();
    BuildBoard();
  } else {
    RemoveAnswerPegs();
    BuildAnswerPegs();
  }
  mGame->NextRow();
  RebuildPalette();
}

bool TMastermindWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  if (!IsInputOpen() || !mSpriteWindow) return TMiniGameWindow::OnMouseDown(point);
  if (GeneralSprite* held = HeldPeg()) {
    DropPeg(*held, point);
    return true;
  }
  int32_t index = 0;
  if (!mSpriteWindow->GetSpriteAtPoint(point, index)) return TMiniGameWindow::OnMouseDown(point);
  GeneralSprite& hit = mSpriteWindow->GetSprite(index);
  TString name = hit.GetName();
  switch (hit.GetKind()) {
    case SpriteKindMastermindReset:
      if (name == ResetButtonName) ResetRow();
      return true;
    case SpriteKindMastermindCheck:
      if (name == CheckButtonName) Check();
      return true;
    case SpriteKindMastermindPeg:
      PickUp(hit);
      return true;
    case SpriteKindMastermindSlot:
      if (!hit.IsClickable()) break;
      if (NameDigit(name, 4) == mGame->GetCurrentRow() && NameDigit(name, 5) >= 0)
        TakeBackFromSlot(NameDigit(name, 5), point);
      return true;
    default:
      break;
  }
  return TMiniGameWindow::OnMouseDown(point);
}

bool TMastermindWindow::OnMouseMove(TPoint point) {
  GeneralSprite* held = IsBriefingShown() || !IsInputOpen() ? nullptr : HeldPeg();
  if (!held) return TMiniGameWindow::OnMouseMove(point);
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  HangFromPointer(*held, point);
  int32_t style = CurrentRowSlotAt(point) >= 0 ? 4 : 2;
  if (mCursorStyle != style) SetCursorStyle(style);
  return true;
}
