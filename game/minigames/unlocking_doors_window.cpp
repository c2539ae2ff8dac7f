#include "minigames/unlocking_doors_window.h"

#include "model/highscore_system.h"
#include "model/lock.h"
#include "platform/log.h"
#include "scenes/general_sprite.h"
#include "scenes/sprite_window.h"

namespace {

const char* const BoltPrefix = "bolt";
const char* const UpperPrefix = "upperBoltLock";
const char* const LowerPrefix = "lowerBoltLock";
// A bolt sprite's name character follows "bolt".
constexpr uint32_t BoltCharacterIndex = 4;

float PieceAngle(int32_t openAngle, int32_t closedAngle, bool locked) { return float(locked ? closedAngle : openAngle); }

}  // namespace

TUnlockingDoorsWindow::TUnlockingDoorsWindow() {
  mLock = GameModel(mStandIn);
  if (mLock->HasMoveBoltSoundFile()) LoadSoundAs("MoveSound", mLock->GetMoveBoltSoundFile());
  if (mLock->HasMissSoundFile()) LoadSoundAs("LockedSound", mLock->GetMissSoundFile());
  if (mLock->HasWonSoundFile()) LoadSoundAs("WonSound", mLock->GetWonSoundFile());
  HighscoreSystem::PausePlay();
  Binding().Bind("ResetPosition", this, &TUnlockingDoorsWindow::ResetPosition);
}

TUnlockingDoorsWindow::~TUnlockingDoorsWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TUnlockingDoorsWindow::Create() { return std::make_unique<TUnlockingDoorsWindow>(); }

bool TUnlockingDoorsWindow::IsWon() { return mLock->IsWon(); }

TString TUnlockingDoorsWindow::BoltName(const char* prefix, uint32_t i) {
  char c = CLock::BoltNameCharacter(i);
  return c ? TString(prefix) + c : TString();
}

bool TUnlockingDoorsWindow::DrawsLockPieces() { return !mLock->DoAllBoltsMoveOthers(); }

void TUnlockingDoorsWindow::AddLockPiece(const char* prefix, uint32_t i, const TString& graphic, int32_t x, int32_t y,
                                         float angle) {
  if (graphic.IsEmpty()) return;
  TString name = BoltName(prefix, i);
  GetAnimationWindow()->AddSprite(GeneralSprite(graphic, x, y, SpritePivotCentre, SpriteKindLockPiece, name, 1.0f, 0));
  GetAnimationWindow()->SetSpriteRotation(name, angle);
}

void TUnlockingDoorsWindow::PostCreate(TWindowStyle& style) {
  if (TSpriteWindow* window = GetAnimationWindow()) {
    const bool pieces = DrawsLockPieces();
    const uint32_t count = mLock->GetBoltCount();
    if (count > CLock::MaxNamedBolts)
      LogPrintf("TUnlockingDoorsWindow: scene %d has %u bolts; only the first %u can be named and are shown",
                mLock->GetSeqId(), count, CLock::MaxNamedBolts);
    for (uint32_t i = 0; i < count && i < CLock::MaxNamedBolts; ++i) {
      const CLockingBolt* bolt = mLock->GetBolt(i);
      GeneralSprite sprite(bolt->GetGraphic(), bolt->IsUp() ? bolt->GetUpX() : bolt->GetDownX(),
                           bolt->IsUp() ? bolt->GetUpY() : bolt->GetDownY(), SpritePivotTopLeft, SpriteKindBolt,
                           BoltName(BoltPrefix, i), 1.0f, 0);
      sprite.SetClickable(true);
      window->AddSprite(sprite);
      if (!pieces) continue;
      AddLockPiece(UpperPrefix, i, bolt->GetBoltUpperLockGraphic(), bolt->GetUpperBoltLockPositionX(),
                   bolt->GetUpperBoltLockPositionY(),
                   PieceAngle(bolt->GetUpperBoltLockOpenRotAngle(), bolt->GetUpperBoltLockCloseRotAngle(),
                              bolt->IsLocked()));
      AddLockPiece(LowerPrefix, i, bolt->GetBoltLowerLockGraphic(), bolt->GetLowerBoltLockPositionX(),
                   bolt->GetLowerBoltLockPositionY(),
                   PieceAngle(bolt->GetLowerBoltLockOpenRotAngle(), bolt->GetLowerBoltLockCloseRotAngle(),
                              bolt->IsLocked()));
    }
    if (!mLock->GetOverlayImage().IsEmpty())
      window->AddSprite(GeneralSprite(mLock->GetOverlayImage(), mLock->GetOverlayImagePosX(),
                                      mLock->GetOverlayImagePosY(), SpritePivotTopLeft, SpriteKindLockOverlay,
                                      "overlayImage", 1.0f, 0));
  }
  TMiniGameWindow::PostCreate(style);
}

void TUnlockingDoorsWindow::UpdateBolts() {
  TSpriteWindow* window = GetAnimationWindow();
  if (!window) return;
  const bool pieces = DrawsLockPieces();
  for (uint32_t i = 0; i < mLock->GetBoltCount() && i < CLock::MaxNamedBolts; ++i) {
    const CLockingBolt* bolt = mLock->GetBolt(i);
    window->SetSpritePosition(BoltName(BoltPrefix, i), float(bolt->IsUp() ? bolt->GetUpX() : bolt->GetDownX()),
                              float(bolt->IsUp() ? bolt->GetUpY() : bolt->GetDownY()));
    if (!pieces) continue;
    window->SetSpriteRotation(BoltName(UpperPrefix, i), PieceAngle(bolt->GetUpperBoltLockOpenRotAngle(),
                                                                   bolt->GetUpperBoltLockCloseRotAngle(), bolt->IsLocked()));
    window->SetSpriteRotation(BoltName(LowerPrefix, i), PieceAngle(bolt->GetLowerBoltLockOpenRotAngle(),
                                                                   bolt->GetLowerBoltLockCloseRotAngle(), bolt->IsLocked()));
  }
}

void TUnlockingDoorsWindow::ResetPosition(bool up) {
  mLock->ResetPosition(up);
  UpdateBolts();
}

bool TUnlockingDoorsWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  TSpriteWindow* window = GetAnimationWindow();
  int32_t index = 0;
  if (!IsInputOpen() || !window || !window->GetSpriteAtPoint(point, index) ||
      window->GetSprite(index).GetKind() != SpriteKindBolt)
    return TMiniGameWindow::OnMouseDown(point);
  uint32_t bolt = 0;
  // The name character is read unsigned: every named bolt moves, also those past 'z'.
  if (!CLock::BoltIndexOfCharacter(window->GetSprite(index).GetName().CharAt(BoltCharacterIndex), bolt)) return true;
  PlayGameSound(mLock->MoveBolt(bolt, 1) ? "MoveSound" : "LockedSound");
  UpdateBolts();
  if (mLock->IsWon()) {
    ShowBonusAsText(point, int32_t(HighscoreSystem::Call(&CHighscoreSystem::MiniGameTaskComplete)));
    PlayGameSound("WonSound");
    FinishScene();
  }
  return true;
}
