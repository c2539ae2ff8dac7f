#include "minigames/shark_shooter_window.h"

#include <algorithm>

#include "graphics/sprites/sprite.h"
#include "model/highscore_system.h"
#include "model/random_draw.h"
#include "model/shark_shooter_game.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/general_sprite.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

const char* const ShotPrefix = "ShShShot";
const char* const ShotReady = "GUIshotReady";
const char* const ShotInactive = "GUIshotInactive";
const char* const HealthFull = "GUIhealthfull";
const char* const EndStatus = "GUIendstatus";
// Won games are worth this, shown where the screen's middle is.
constexpr int32_t WinBonus = 1000;
const TPoint WinBonusPoint(512, 340);
// The cursor style without a cursor, kept for the whole game.
constexpr int32_t NoCursor = 9;

// The sprite's screen rectangle in its window.
TRect SpriteRect(TSpriteWindow& window, const GeneralSprite& sprite) {
  TRect rect{0, 0, 0, 0};
  if (std::shared_ptr<TSprite> engine = sprite.GetCurrentSprite()) engine->GetRect(rect, window.GetRootTransform(), 0);
  return rect;
}

// Moves an engine sprite that is not listed: its translation only, the offset cleared.
void Translate(TSprite& sprite, int32_t x, int32_t y) {
  TSpriteDrawParams params = sprite.GetDrawParams();
  params.matrix.m[2].x = float(x);
  params.matrix.m[2].y = float(y);
  params.anchor = TVec2(0.0f, 0.0f);
  sprite.SetDrawParams(params);
}

}  // namespace

TSharkShooterWindow::TSharkShooterWindow() {
  SetRootSprite(TSprite::Create(0, nullptr));
  mGame = GameModel(mStandIn);
  // The sharks that swim in again are drawn from a seed of the dive's own, like the other
  // games' deals: the draws made since the game was composed (other games, effects drawn per
  // frame) differ from run to run.
  SeedGameRandFromWallClock();
  // A dive that was won or lost before starts anew: the finished game would otherwise end
  // again at once (and a won one pay its bonus again).
  if (mGame->IsWon() || mGame->IsLost()) {
    mGame->Reset();
    mGame->SpawnSharks();
  }
  LoadSoundAs("lose", "standard/audio/sfx/negative_sound.ogg");
  LoadSoundAs("win", "standard/audio/sfx/positive_sound.ogg");
  Binding().Bind("RestartSharkShooter", this, &TSharkShooterWindow::Restart);
  Binding().Bind("SkipSharkShooter", this, &TSharkShooterWindow::Skip);
  SetCursorStyle(NoCursor);
  mNextShotTime = int32_t(mGame->Fire(GetClockTime()));
  mCountdownLeft = mGame->GetCountdown();
  mWaitAfterWonMs = scene::ConfigInt("shshTimeToWaitAfterWonToSkipInMs");
}

TSharkShooterWindow::~TSharkShooterWindow() = default;

std::unique_ptr<TWindow> TSharkShooterWindow::Create() { return std::make_unique<TSharkShooterWindow>(); }

TString TSharkShooterWindow::ShotName(int32_t shotIndex) { return TString::Printf("%s%d", ShotPrefix, shotIndex); }

void TSharkShooterWindow::AddGui(const TString& image, int32_t x, int32_t y, const char* name) {
  mGuiWindow->AddSprite(GeneralSprite(image, x, y, SpritePivotTopLeft, SpriteKindSharkGui, name, 1.0f, 0));
}

void TSharkShooterWindow::PostCreate(TWindowStyle& style) {
  mInGameWindow = scene::AttachChild(*this, MakeSpriteWindow("inGameObjectsSpriteWindow"));
  mGuiWindow = scene::AttachChild(*this, MakeSpriteWindow("guiSpriteWindow"));
  CSharkShooterGame& game = *mGame;

  CSharkShooterGame::TPosition diver = game.GetDiverPosition();
  mDiverSprite = std::make_unique<GeneralSprite>(game.GetDiverTexturePath(), diver.x, diver.y, SpritePivotTopLeft,
                                                 SpriteKindSharkActor, "", 1.0f, 0);
  mInGameWindow->AttachSprite(*mDiverSprite);
  TPoint diverSize = ImageSize(*mDiverSprite);
  mDiverHeight = diverSize.y;
  game.SetDiverWidth(diverSize.x);
  game.SetDiverHeight(diverSize.y);

  CSharkShooterGame::TPosition harpoon = game.GetHarpoonPosition();
  AddGui(game.GetInactiveShotTexturePath(), harpoon.x, harpoon.y, ShotInactive);
  AddGui(game.GetReadyShotTexturePath(), harpoon.x, harpoon.y, ShotReady);

  for (int32_t i = 0; i < game.GetSharksOnScreen(); i++) {
    CSharkShooterGame::TPosition place = game.GetSharkPosition(i);
    GeneralSprite shark(game.GetSharkTexturePath(), place.x, place.y, SpritePivotTopLeft, SpriteKindSharkActor, "",
                        1.0f, 0);
    mSharkSprites.push_back(shark.GetCurrentSprite());
    mInGameWindow->AttachSprite(shark);
    TPoint size = ImageSize(shark);
    game.SetSharkWidth(size.x);
    game.SetSharkHeight(size.y);
  }
  // The harpoon's box, measured on a sprite made and dropped again.
  GeneralSprite shot(game.GetShotTexturePath(), 0, 0, SpritePivotTopLeft, SpriteKindSharkShot, ShotPrefix, 1.0f, 0);
  TRect shotRect = SpriteRect(*mInGameWindow, shot);
  game.SetShotWidth(shotRect.right - shotRect.left);
  game.SetShotHeight(shotRect.bottom - shotRect.top);

  AddGui(game.GetInterfaceBGTexturePath(), 0, 0, "GUIbar");
  AddGui(game.GetInterfaceGreenTexturePath(), 0, 45, HealthFull);
  mHealthRect = SpriteRect(*mGuiWindow, mGuiWindow->GetSprite(mGuiWindow->GetSpriteCount() - 1));
  // The empty bar stands just above the full one, which slides down over it.
  AddGui(game.GetInterfaceInvisibleTexturePath(), 0, scene::Truncate(2.0 * mHealthRect.top - mHealthRect.bottom),
         "GUIhealthempty");
  AddGui(game.GetInterfaceInvisibleTexturePath(), 995, 45, "GUIstartstatus");
  mStatusRect = SpriteRect(*mGuiWindow, mGuiWindow->GetSprite(mGuiWindow->GetSpriteCount() - 1));
  AddGui(game.GetInterfaceRedTexturePath(), 995, 45, EndStatus);
  AddGui(game.GetInterfacePipesTexturePath(), 0, 0, "GUIrohre");

  auto countdown = std::make_unique<TTextbox>(false);
  countdown->SetName("CountdownText");
  countdown->Setup("", 1024, 768, 5, scene::Config("sharkShooterFont"), scene::ConfigInt("sharkShooterCountdownSize"),
                   scene::Colour(scene::Config("sharkShooterCountdownColor")), 1);
  countdown->SetPosition(0, 0);
  countdown->SetAlpha(1.0f);
  mCountdownText = scene::AttachChild(*this, std::move(countdown));

  TMiniGameWindow::PostCreate(style);
}

void TSharkShooterWindow::StepCountdown(uint32_t now) {
  if (mCursorStyle != NoCursor) SetCursorStyle(NoCursor);
  if (int64_t(mLastTickTime) + 1000 < int64_t(now) && mCountdownLeft >= 0) {
    BlockInput(0, int32_t(mLastTickTime + 1000));
    if (mCountdownText) mCountdownText->SetText(TString::Printf("%d", mCountdownLeft));
    mCountdownLeft--;
    mLastTickTime = now;
  }
  if (mCountdownLeft < 0) {
    BlockInput(0, 0);
    if (mCountdownText) mCountdownText->SetAlpha(0.0f);
    mGame->SetRunning(true);
  }
}

void TSharkShooterWindow::AddNewestShot(bool visible) {
  int32_t index = mGame->GetLastShotIndex();
  CSharkShooterGame::TPosition place = mGame->GetShotPosition(index);
  GeneralSprite shot(mGame->GetShotTexturePath(), place.x, place.y, SpritePivotTopLeft, SpriteKindSharkShot,
                     ShotName(index), 1.0f, 0);
  shot.SetClickable(visible);
  if (std::shared_ptr<TSprite> engine = shot.GetCurrentSprite()) engine->SetVisible(visible);
  TRect rect = SpriteRect(*mInGameWindow, shot);
  mInGameWindow->AddSprite(shot);
  mGame->SetShotWidth(rect.right - rect.left);
  mGame->SetShotHeight(rect.bottom - rect.top);
  mGame->SetShotFired(false);
}

void TSharkShooterWindow::MoveShots() {
  std::vector<int32_t> parked;
  for (int32_t j = 0; j < mGame->GetActiveShotCount(); j++) {
    int32_t index = mGame->GetActiveShot(j);
    TString name = ShotName(index);
    CSharkShooterGame::TPosition place = mGame->GetShotPosition(index);
    mInGameWindow->SetSpritePosition(name, float(place.x), float(place.y));
    if (mGame->GetGameMode() == CSharkShooterGame::SharkShooter) mInGameWindow->SetSpriteVisible(name, true);
    if (mInGameWindow->GetSpritePosition(name).y == CSharkShooterGame::ParkedShotY) parked.push_back(index);
  }
  for (int32_t index : parked) {
    mInGameWindow->RemoveSprite(ShotName(index));
    mGame->RemoveActiveShot(index);
  }
}

void TSharkShooterWindow::EndOfGame(uint32_t now) {
  if (mGame->IsWon()) {
    if (mWonTime == -1)
      mWonTime = now;
    else if (mWonTime + mWaitAfterWonMs < int64_t(now))
      FinishScene();
  } else if (mGame->IsLost()) {
    // Only the top modal is animated: once the menu is open this does not come again.
    RunLua("DoModal('scripts/sharkshooterwonmenu.lua')");
    // The menu is used with the pointer.
    if (mCursorStyle != 2) SetCursorStyle(2);
  }
}

bool TSharkShooterWindow::Animate() {
  const uint32_t now = GetClockTime();
  if (mGuiWindow && mInGameWindow) {
    if (!mGame->IsRunning()) StepCountdown(now);
    CSharkShooterGame::TPosition harpoon = mGame->GetHarpoonPosition();
    mGuiWindow->SetSpritePosition(ShotReady, float(harpoon.x), float(harpoon.y));
    mGuiWindow->SetSpritePosition(ShotInactive, float(harpoon.x), float(harpoon.y));
    UpdateStatusBar(now);
    if (mGame->IsWon() || mGame->IsLost() || !mGame->IsRunning()) {
      EndOfGame(now);
    } else {
      CSharkShooterGame::TPosition diver = mGame->GetDiverPosition();
      if (std::shared_ptr<TSprite> engine = mDiverSprite->GetCurrentSprite())
        PlaceSprite(*engine, TVec2(float(diver.x), float(diver.y)));
      mGame->Update(now);
      int32_t sharks = std::min<int32_t>(mGame->GetMaxSharksOnScreen(), int32_t(mSharkSprites.size()));
      for (int32_t i = 0; i < sharks; i++) {
        CSharkShooterGame::TPosition place = mGame->GetSharkPosition(i);
        if (mSharkSprites[size_t(i)]) Translate(*mSharkSprites[size_t(i)], place.x, place.y);
      }
      if (mGame->GetGameMode() == CSharkShooterGame::AvoidSharks) {
        mNextShotTime = int32_t(mGame->Fire(now));
        if (mGame->IsShotFired()) {
          AddNewestShot(false);
          UpdateStatusBar(now);
        }
      }
      MoveShots();
    }
  }
  bool keep = TMiniGameWindow::Animate();
  // The end of the countdown's input block shows the cursor again; during play it stays hidden.
  bool playing = mGame->IsRunning() && !mGame->IsWon() && !mGame->IsLost();
  if (playing && mCursorStyle != NoCursor) SetCursorStyle(NoCursor);
  return keep;
}

void TSharkShooterWindow::MoveGuiTo(const char* name, int32_t y) {
  mGuiWindow->SetSpritePosition(name, float(mGuiWindow->GetSpritePosition(name).x), float(y));
}

void TSharkShooterWindow::UpdateStatusBar(uint32_t now) {
  const int32_t target = mGame->GetHowManySharksMustDieForWinning();
  const int32_t lives = mGame->GetLives();
  // The model keeps both at 1 or more; the bar never divides by less.
  const double targetDivisor = std::max(target, 1);
  const int64_t livesDivisor = std::max(lives, 1);
  mTargetShown = target;

  int32_t livesLeft = lives - mGame->GetHits();
  if (livesLeft != mLivesLeftShown) {
    bool first = mLivesLeftShown == -1;
    mLivesLeftShown = livesLeft;
    int64_t height = int64_t(mHealthRect.bottom) - mHealthRect.top;
    if (livesLeft == 0)
      MoveGuiTo(HealthFull, mHealthRect.bottom);
    else if (!first)
      MoveGuiTo(HealthFull, scene::Truncate(double(mHealthRect.top + height / livesDivisor * (int64_t(lives) - livesLeft))));
  }
  mLastShotShown = mGame->GetLastShotIndex();

  bool reloading = int64_t(mNextShotTime) > int64_t(now);
  mGuiWindow->SetSpriteVisible(ShotReady, !reloading);
  mGuiWindow->SetSpriteVisible(ShotInactive, reloading);

  const double top = mStatusRect.top, bottom = mStatusRect.bottom;
  const bool shooting = mGame->GetGameMode() == CSharkShooterGame::SharkShooter;
  int32_t kills = mGame->GetKills();
  if (kills != mKillsShown) {
    bool first = mKillsShown == -1;
    mKillsShown = kills;
    if (shooting && kills == target)
      MoveGuiTo(EndStatus, mStatusRect.bottom);
    else if (shooting && !first)
      MoveGuiTo(EndStatus, scene::Truncate(bottom - (bottom - top) / targetDivisor * double(target - kills)));
  }
  int32_t escaped = mGame->GetEscapedSharks();
  if (escaped != mEscapedShown) {
    bool first = mEscapedShown == -1;
    mEscapedShown = escaped;
    if (!shooting && escaped == target)
      MoveGuiTo(EndStatus, mStatusRect.bottom);
    else if (!shooting && !first)
      MoveGuiTo(EndStatus, scene::Truncate((bottom - top) / targetDivisor * double(escaped) + top));
  }
}

bool TSharkShooterWindow::OnMouseDown(TPoint point) {
  if (IsBriefingShown()) return true;
  if (mInGameWindow && mGame->IsRunning() && mGame->GetGameMode() == CSharkShooterGame::SharkShooter) {
    mNextShotTime = int32_t(mGame->Fire(GetClockTime()));
    if (mGame->IsShotFired()) AddNewestShot(true);
  }
  return TMiniGameWindow::OnMouseDown(point);
}

bool TSharkShooterWindow::OnMouseMove(TPoint point) {
  if (!mGame->IsWon() && !mGame->IsLost() && mGame->IsRunning()) {
    if (point.y > 20 && int64_t(point.y) < 630 - int64_t(mDiverHeight)) {
      mGame->SetDiverYpos(point.y);
    } else {
      if (point.y < 20) mGame->SetDiverYpos(20);
      if (point.y >= 561) mGame->SetDiverYpos(560);
    }
    if (point.x > 1000 || point.x < 50) {
      TPoint back(452, point.y);
      if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(back.x, back.y);
      WarpPointer(back);
    }
  }
  if (mCursorStyle != NoCursor) SetCursorStyle(NoCursor);
  return true;
}

void TSharkShooterWindow::ExitScene() {
  if (mGame->IsWon()) {
    HighscoreSystem::Call(&CHighscoreSystem::AddToOtherHighscoreMadeInLevel, uint32_t(WinBonus));
    ShowBonusAsText(WinBonusPoint, WinBonus);
  }
  TMiniGameWindow::ExitScene();
}

bool TSharkShooterWindow::IsWon() { return mGame->IsWon(); }

void TSharkShooterWindow::Restart() {
  mKillsShown = mLivesLeftShown = mTargetShown = mLastShotShown = mEscapedShown = -2;
  mCountdownLeft = 0;
  mLastTickTime = 0;
  mGame->Reset();
  mGame->SpawnSharks();
  mNextShotTime = int32_t(GetClockTime() - 1);
  // The shots of the game before are out of play; their names come again in the new game.
  if (mInGameWindow)
    for (int32_t i = mInGameWindow->GetSpriteCount() - 1; i >= 0; i--)
      if (mInGameWindow->GetSprite(i).GetKind() == SpriteKindSharkShot)
        mInGameWindow->RemoveSprite(mInGameWindow->GetSprite(i).GetName());
  mWonTime = -1;
}

void TSharkShooterWindow::Skip() {
  if (IGameFlow* flow = GetGameFlow()) flow->GoToNextScene(false);
}
