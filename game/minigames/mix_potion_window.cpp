#include "minigames/mix_potion_window.h"

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/highscore_system.h"
#include "model/mix_potion_mini_game.h"
#include "scenes/game_flow.h"
#include "platform/log.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"

namespace {

const char* const MoveableFlaskPrefix = "moveableFlask";
constexpr uint32_t MoveableFlaskPrefixLength = 13;
// The upright pipe's uncoloured picture gives the grid's cell.
constexpr uint32_t CellGraphic = 3;

TString Indexed(const char* prefix, uint32_t index) { return TString::Printf("%s%u", prefix, index); }

// The colour that a carried flask's letter pours; none for any other letter.
uint32_t ColorOfLetter(const TString& letter) {
  for (uint32_t color : {PotionGreen, PotionOrange, PotionBlack, PotionPurple})
    if (letter == ColorLetter(color)) return color;
  return PotionNone;
}

}  // namespace

TMixPotionWindow::TMixPotionWindow() {
  mGame = GameModel(mStandIn);
  if (mGame->HasMixSoundFile()) LoadSoundAs("MixSound", mGame->GetMixSoundFile());
  if (mGame->HasWonSoundFile()) LoadSoundAs("WonSound", mGame->GetWonSoundFile());
  if (mGame->HasTryAgainSoundFile()) LoadSoundAs("TryAgain", mGame->GetTryAgainSoundFile());
  HighscoreSystem::PausePlay();
}

TMixPotionWindow::~TMixPotionWindow() { HighscoreSystem::StartPlay(); }

std::unique_ptr<TWindow> TMixPotionWindow::Create() { return std::make_unique<TMixPotionWindow>(); }

void TMixPotionWindow::PostCreate(TWindowStyle& style) {
  TMiniGameWindow::PostCreate(style);
  mGame->ResetFromRoots(true, true);
  TString cell = mGame->GetGraphic(CellGraphic) + "_u";
  std::shared_ptr<TTexture> texture = TTexture::Get(cell);
  if (texture && texture->GetWidth() > 0 && texture->GetHeight() > 0) {
    mCellWidth = int32_t(texture->GetWidth());
    mCellHeight = int32_t(texture->GetHeight());
  } else {
    LogPrintf("TMixPotionWindow: the cell picture \"%s\" is missing; cells stay %d x %d", cell.c_str(), mCellWidth,
              mCellHeight);
  }
  if (mGame->GetLeafCount() < mGame->GetNeedColors().size())
    LogPrintf("TMixPotionWindow: scene %d needs %zu colours at %u flasks; the needs beyond them have no sign",
              mGame->GetSeqId(),
              mGame->GetNeedColors().size(), mGame->GetLeafCount());
  if (!GetAnimationWindow()) return;
  BuildPipes(true);
  BuildFunnels(true, true);
  BuildFlasks(true);
  BuildTargetColors(true);
  BuildCupboard(true);
  BuildMoveableFlasks(true);
  BuildMixButton(true);
  BuildResetButton(true);
}

TPoint TMixPotionWindow::CellPoint(int64_t column, int64_t row, int32_t offsetY) const {
  return TPoint(scene::Truncate(double(column * mCellWidth + mGame->GetX())),
                scene::Truncate(double(row * mCellHeight + mGame->GetY() + offsetY)));
}

void TMixPotionWindow::Place(GeneralSprite fresh, bool create, int32_t nth) {
  TSpriteWindow& window = *GetAnimationWindow();
  if (create) {
    window.AddSprite(std::move(fresh));
    return;
  }
  int32_t kind = fresh.GetKind();
  for (int32_t i = 0, seen = 0; i < window.GetSpriteCount(); i++) {
    GeneralSprite& record = window.GetSprite(i);
    if (record.GetKind() != kind || seen++ != nth) continue;
    // The old picture leaves the tree, so that no stale copy stays drawn behind the new one.
    if (std::shared_ptr<TSprite> old = record.GetCurrentSprite(); old && window.GetRootSprite())
      window.GetRootSprite()->RemoveChild(old);
    record.SetSpriteFrom(fresh);
    window.AttachSprite(record);
    return;
  }
}

void TMixPotionWindow::BuildPipes(bool create) {
  int32_t nth = 0;
  for (uint32_t i = 0; i < mGame->GetPipeCount(); i++) {
    const CMixPotionPipe* pipe = mGame->GetPipe(i);
    int32_t kind = pipe ? pipe->GetPipeKind() : CMixPotionPipe::NoGraphic;
    if (kind == CMixPotionPipe::NoGraphic) continue;
    TPoint at = CellPoint(pipe->GetX(), pipe->GetY());
    Place(GeneralSprite(mGame->GetGraphic(uint32_t(kind)) + pipe->GetColorSuffix(), at.x, at.y, SpritePivotTopLeft,
                        SpriteKindPotionPipe, Indexed("pipe", i), 1.0f, 0),
          create, nth++);
  }
}

void TMixPotionWindow::BuildFunnels(bool create, bool coloured) {
  int32_t offset = scene::ConfigInt("mpWYOffsetFunnels");
  for (uint32_t i = 0; i < mGame->GetRootCount(); i++) {
    const CMixPotionPipe* root = mGame->GetRoot(i);
    TPoint at = CellPoint(root->GetX(), root->GetY(), offset);
    TString suffix = coloured ? root->GetColorSuffix() : TString("_u");
    Place(GeneralSprite(mGame->GetGraphic(CMixPotionMiniGame::GraphicFunnel) + suffix, at.x, at.y, SpritePivotTopLeft,
                        SpriteKindPotionFunnel, Indexed("funnel", i), 1.0f, 0),
          create, int32_t(i));
  }
}

void TMixPotionWindow::BuildFlasks(bool create) {
  for (uint32_t i = 0; i < mGame->GetLeafCount(); i++) {
    const CMixPotionPipe* leaf = mGame->GetLeaf(i);
    TPoint at = CellPoint(leaf->GetX(), leaf->GetY());
    Place(GeneralSprite(mGame->GetGraphic(CMixPotionMiniGame::GraphicFlask) + leaf->GetColorSuffix(), at.x, at.y,
                        SpritePivotTopLeft, SpriteKindPotionFlask, Indexed("flask", i), 1.0f, 0),
          create, int32_t(i));
  }
}

void TMixPotionWindow::BuildTargetColors(bool create) {
  int32_t offset = scene::ConfigInt("mpWYOffsetTargetColor");
  const std::vector<uint32_t>& need = mGame->GetNeedColors();
  for (uint32_t j = 0; j < need.size(); j++) {
    // A need colour without its flask has no place to show (the log says so at the start).
    const CMixPotionPipe* leaf = mGame->GetLeaf(j);
    if (!leaf) break;
    TPoint at = CellPoint(leaf->GetX(), leaf->GetY(), offset);
    TString letter = ColorLetter(need[j]);
    Place(GeneralSprite(mGame->GetGraphic(CMixPotionMiniGame::GraphicTargetColor) + "_" + letter, at.x, at.y,
                        SpritePivotTopLeft, SpriteKindPotionTarget, TString("targetColor") + letter, 1.0f, 0),
          create, int32_t(j));
  }
}

void TMixPotionWindow::BuildCupboard(bool create) {
  Place(GeneralSprite(mGame->GetGraphic(CMixPotionMiniGame::GraphicCupboard), mGame->GetCboardX(),
                      mGame->GetCboardY(), SpritePivotTopLeft, SpriteKindPotionCupboard, "Cupboard", 1.0f, 0),
        create, 0);
}

void TMixPotionWindow::BuildMoveableFlasks(bool create) {
  const std::vector<uint32_t>& given = mGame->GetGivenColors();
  for (uint32_t k = 0; k < given.size(); k++) {
    int32_t column = 0, row = 0;
    if (!mGame->GetMoveableFlaskCell(k, column, row)) {
      if (create)
        LogPrintf("TMixPotionWindow: scene %d has no flask to stand the given colours by", mGame->GetSeqId());
      return;
    }
    TPoint at = CellPoint(column, row);
    TString letter = ColorLetter(given[k]);
    GeneralSprite flask(mGame->GetGraphic(CMixPotionMiniGame::GraphicMoveableFlask) + "_" + letter, at.x, at.y,
                        SpritePivotTopLeft, SpriteKindPotionMoveableFlask, TString(MoveableFlaskPrefix) + letter,
                        1.0f, 0);
    flask.SetClickable(true);
    Place(flask, create, int32_t(k));
  }
}

void TMixPotionWindow::BuildMixButton(bool create) {
  GeneralSprite button(mGame->GetGraphic(CMixPotionMiniGame::GraphicButton), mGame->GetButtonX(), mGame->GetButtonY(),
                       SpritePivotTopLeft, SpriteKindPotionMixButton, "MixButton", 1.0f, 0);
  button.SetClickable(true);
  Place(button, create, 0);
}

void TMixPotionWindow::BuildResetButton(bool create) {
  GeneralSprite button(mGame->GetGraphic(CMixPotionMiniGame::GraphicResetButton), mGame->GetResetButtonX(),
                       mGame->GetResetButtonY(), SpritePivotTopLeft, SpriteKindPotionResetButton, "ResetButton",
                       1.0f, 0);
  button.SetClickable(true);
  Place(button, create, 0);
}

int32_t TMixPotionWindow::CarriedIndex() const {
  TSpriteWindow* window = GetAnimationWindow();
  int32_t carried = -1;
  for (int32_t i = 0; window && i < window->GetSpriteCount(); i++) {
    const GeneralSprite& record = window->GetSprite(i);
    if (record.GetKind() == SpriteKindPotionMoveableFlask && record.GetUserFlag()) carried = i;
  }
  return carried;
}

bool TMixPotionWindow::IsCarrying() const { return CarriedIndex() >= 0; }

int32_t TMixPotionWindow::EmptyFunnelAt(TPoint point) {
  TSpriteWindow& window = *GetAnimationWindow();
  for (uint32_t i = 0; i < mGame->GetRootCount(); i++) {
    int32_t index = 0;
    if (mGame->GetRoot(i)->GetColor() != PotionNone || !window.FindSprite(Indexed("funnel", i), index)) continue;
    std::shared_ptr<TSprite> sprite = window.GetSprite(index).GetCurrentSprite();
    if (sprite && sprite->GetParent() == window.GetRootSprite().get() &&
        sprite->HitTest(point, 5, window.GetRootTransform(), 0))
      return int32_t(i);
  }
  return -1;
}

void TMixPotionWindow::Drop(int32_t carried, TPoint point) {
  TSpriteWindow& window = *GetAnimationWindow();
  GeneralSprite& flask = window.GetSprite(carried);
  flask.SetUserFlag(false);
  TString name = flask.GetName();
  uint32_t color = name.Length() > MoveableFlaskPrefixLength ? ColorOfLetter(name.Substr(MoveableFlaskPrefixLength))
                                                             : uint32_t(PotionNone);
  if (color != PotionNone) {
    int32_t root = EmptyFunnelAt(point);
    if (root >= 0) {
      mGame->SetRootColor(uint32_t(root), color);
      window.DetachSpritesOfKind(SpriteKindPotionFunnel);
      BuildFunnels(false, true);
    }
  }
  window.DetachSpritesOfKind(SpriteKindPotionMoveableFlask);
  BuildMoveableFlasks(false);
}

void TMixPotionWindow::RefreshBoard() {
  TSpriteWindow& window = *GetAnimationWindow();
  for (int32_t kind : {SpriteKindPotionPipe, SpriteKindPotionFunnel, SpriteKindPotionFlask, SpriteKindPotionCupboard})
    window.DetachSpritesOfKind(kind);
  BuildPipes(false);
  BuildFunnels(false, true);
  BuildFlasks(false);
  BuildCupboard(false);
  BuildMixButton(false);
  BuildResetButton(false);
}

void TMixPotionWindow::Reset() {
  mGame->ResetFromRoots(true, true);
  GetAnimationWindow()->DetachSpritesOfKind(SpriteKindPotionMoveableFlask);
  RefreshBoard();
  BuildMoveableFlasks(false);
}

void TMixPotionWindow::MixAndJudge(TPoint point) {
  if (!mGame->AreAllRootsColored()) return;
  PlayGameSound("MixSound");
  mGame->Mix();
  RefreshBoard();
  if (mGame->IsWon()) {
    ShowBonusAsText(point, int32_t(HighscoreSystem::Call(&CHighscoreSystem::MiniGameTaskComplete)));
    PlayGameSound("WonSound");
    mGame->ResetFromRoots(true, true);
    FinishScene();
    return;
  }
  // The pipes and flasks keep showing the wrong mix; the funnels are empty for the next try.
  mGame->ResetFromRoots(true, true);
  TSpriteWindow& window = *GetAnimationWindow();
  window.DetachSpritesOfKind(SpriteKindPotionFunnel);
  BuildFunnels(false, false);
  window.DetachSpritesOfKind(SpriteKindPotionMoveableFlask);
  BuildMoveableFlasks(false);
  PlayGameSound("TryAgain");
}

void TMixPotionWindow::TakeUp(int32_t index) {
  TSpriteWindow& window = *GetAnimationWindow();
  mCursorOffsetX = scene::ConfigInt("itemCursorOffsetX");
  mCursorOffsetY = scene::ConfigInt("itemCursorOffsetY");
  GeneralSprite& flask = window.GetSprite(index);
  flask.SetUserFlag(true);
  // Taken out and hung in again: the carried flask is drawn in front of its layer.
  if (std::shared_ptr<TSprite> sprite = flask.GetCurrentSprite(); sprite && window.GetRootSprite()) {
    window.GetRootSprite()->RemoveChild(sprite);
    window.GetRootSprite()->AddChild(sprite);
  }
}

bool TMixPotionWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  TSpriteWindow* window = GetAnimationWindow();
  if (!IsInputOpen() || !window) return TMiniGameWindow::OnMouseDown(point);
  if (int32_t carried = CarriedIndex(); carried >= 0) {
    Drop(carried, point);
    return true;
  }
  int32_t index = 0;
  if (!window->GetSpriteAtPoint(point, index)) return TMiniGameWindow::OnMouseDown(point);
  const GeneralSprite& hit = window->GetSprite(index);
  int32_t kind = hit.GetKind();
  if (kind < SpriteKindPotionPipe || kind > SpriteKindPotionMoveableFlask) return TMiniGameWindow::OnMouseDown(point);
  if (kind == SpriteKindPotionResetButton && hit.GetName() == "ResetButton")
    Reset();
  else if (kind == SpriteKindPotionMixButton && hit.GetName() == "MixButton")
    MixAndJudge(point);
  else if (kind == SpriteKindPotionMoveableFlask)
    TakeUp(index);
  return true;
}

bool TMixPotionWindow::OnMouseMove(TPoint point) {
  if (IsBriefingShown() || !IsInputOpen() || !GetAnimationWindow()) return TMiniGameWindow::OnMouseMove(point);
  TSpriteWindow& window = *GetAnimationWindow();
  bool carrying = false;
  for (int32_t i = 0; i < window.GetSpriteCount(); i++) {
    GeneralSprite& record = window.GetSprite(i);
    if (record.GetKind() != SpriteKindPotionMoveableFlask || !record.GetUserFlag()) continue;
    carrying = true;
    // Signed: the offsets of the settings may be negative (the flask hangs right of the
    // pointer) and must not wrap the flask off the screen.
    if (std::shared_ptr<TSprite> sprite = record.GetCurrentSprite())
      PlaceSprite(*sprite, TVec2(float(int64_t(point.x) - mCursorOffsetX), float(int64_t(point.y) - mCursorOffsetY)));
  }
  if (!carrying) return TMiniGameWindow::OnMouseMove(point);
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  int32_t style = EmptyFunnelAt(point) >= 0 ? 4 : 2;
  if (GetCursorStyle() != style) SetCursorStyle(style);
  return true;
}

bool TMixPotionWindow::IsWon() { return mGame->IsWon(); }
