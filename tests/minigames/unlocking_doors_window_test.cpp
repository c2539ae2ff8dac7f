// The unlocking-doors window: bolts drawn at their places with their lock pieces, a click
// that moves a bolt and its linked bolts or toggles their locks, a locked bolt that refuses,
// the win on the last bolt up, "ResetPosition" from a script, and bolts named past the
// signed characters.

#include <gtest/gtest.h>

#include <string>

#include "mini_game_test_util.h"
#include "minigames/unlocking_doors_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/lock.h"
#include "scenes/sprite_window.h"

namespace {

// Bolts of 20 x 40, bolt i down at (10 + 40 i, 100) and up at (10 + 40 i, 60); its upper lock
// piece (16 x 16) at (12 + 40 i, 20), the lower one at (12 + 40 i, 150), each turned 0 when
// open and 90 when closed.
class UnlockingDoorsWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("UnlockingDoors", &TUnlockingDoorsWindow::Create);
    Solid("pics/bolt.png", 20, 40, 0xFF806040);
    Solid("pics/piece.png", 16, 16, 0xFF404080);
    Solid("pics/overlay.png", 30, 10, 0xFF202020);
    Solid("pics/tiny.png", 4, 4, 0xFF806040);
  }
  static CLockingBolt::TAppearance Look(uint32_t i) {
    CLockingBolt::TAppearance look;
    look.downX = look.upX = int32_t(10 + 40 * i);
    look.downY = 100;
    look.upY = 60;
    look.graphic = "pics/bolt";
    look.upperLockGraphic = look.lowerLockGraphic = "pics/piece";
    look.upperX = look.lowerX = int32_t(12 + 40 * i);
    look.upperY = 20;
    look.lowerY = 150;
    look.upperClosedAngle = look.lowerClosedAngle = 90;
    return look;
  }
  // Three bolts: 0 moves bolt 1 along, 1 moves nothing, 2 toggles bolt 1's lock.
  CLock& MakeLock() {
    auto lock = std::make_unique<CLock>(3);
    lock->ConfigureBolt(0, {1}, true, false, false);
    lock->ConfigureBolt(1, {}, true, false, false);
    lock->ConfigureBolt(2, {1}, false, false, false);
    for (uint32_t i = 0; i < 3; i++) lock->SetBoltAppearance(i, Look(i));
    lock->SetOverlayImage("pics/overlay");
    lock->SetOverlayImagePosX(200);
    lock->SetOverlayImagePosY(200);
    mLock = lock.get();
    return MakeCurrent(std::move(lock), 230301);
  }
  TUnlockingDoorsWindow* Open() { return mWindow = OpenGame<TUnlockingDoorsWindow>("UnlockingDoors"); }
  TSpriteWindow& Sprites() { return *mWindow->GetAnimationWindow(); }
  // The bolt's sprite: "U" at its up place, "D" at its down place; "?" elsewhere.
  std::string Places() {
    std::string places;
    for (uint32_t i = 0; i < mLock->GetBoltCount(); i++) {
      TPoint at = Sprites().GetSpritePosition(TUnlockingDoorsWindow::BoltName("bolt", i));
      places += at == TPoint(int32_t(10 + 40 * i), 60) ? "U" : at == TPoint(int32_t(10 + 40 * i), 100) ? "D" : "?";
    }
    return places;
  }
  float Angle(const char* prefix, uint32_t i) {
    return Sprite(Sprites(), TUnlockingDoorsWindow::BoltName(prefix, i).c_str()).GetAngle();
  }
  void ClickBolt(uint32_t i) { Click(int32_t(20 + 40 * i), mLock->GetBolt(i)->IsUp() ? 80 : 120); }

  CLock* mLock = nullptr;  // the game's
  TUnlockingDoorsWindow* mWindow = nullptr;
};

// The bolts stand down with their pieces open and the overlay over them; a click while the
// briefing is up changes nothing. A bolt that moves others takes its linked bolt along; one
// that toggles locks closes (and opens again) its linked bolt's pieces, and a locked bolt
// refuses to move. The move that lifts the last bolt counts the mini-game, shows its bonus
// and finishes the scene once.
TEST_F(UnlockingDoorsWindow, BoltsMoveTheirLinksOrLockThemAndTheLastOneUpWins) {
  MakeLock();
  Open();
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(Places(), "DDD");
  EXPECT_EQ(Sprite(Sprites(), "bolt2").GetKind(), SpriteKindBolt);
  EXPECT_EQ(Sprite(Sprites(), "upperBoltLock2").GetKind(), SpriteKindLockPiece);
  EXPECT_EQ(Sprites().GetSpritePosition("overlayImage"), TPoint(200, 200));
  EXPECT_EQ(Angle("lowerBoltLock", 1), 0.0f);

  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  ClickBolt(0);
  EXPECT_EQ(Places(), "DDD");
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);

  const struct {
    uint32_t bolt;
    const char* places;
    bool locked;  // bolt 1 afterwards
  } steps[] = {
      {0, "UUD", false}, {0, "DDD", false}, {2, "DDU", true},  {1, "DDU", true},
      {0, "UDU", true},  {2, "UDD", false}, {1, "UUD", false},
  };
  for (const auto& step : steps) {
    ClickBolt(step.bolt);
    EXPECT_EQ(Places(), step.places) << step.bolt;
    EXPECT_EQ(mLock->GetBolt(1)->IsLocked(), step.locked) << step.places;
    for (const char* piece : {"upperBoltLock", "lowerBoltLock"})
      EXPECT_EQ(Angle(piece, 1), step.locked ? 90.0f : 0.0f) << piece << " " << step.places;
  }
  EXPECT_EQ(Angle("upperBoltLock", 0), 0.0f);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), 0u);
  EXPECT_EQ(WentOn(), 0);

  ClickBolt(2);
  EXPECT_EQ(Places(), "UUU");
  EXPECT_TRUE(mWindow->IsWon());
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), 1u);
  EXPECT_EQ(mWindow->GetBonusTextCount(), 1u);
  ClickBolt(0);
  Frames(10);
  EXPECT_EQ(WentOn(), 1);
  EXPECT_EQ(Places(), "UUU");
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), 1u);
}

// "ResetPosition" puts every bolt down (or up) and unlocked, the pieces open; "IsWon" follows
// the lock. Once the window is gone both names are harmless.
TEST_F(UnlockingDoorsWindow, ResetPositionFromAScriptAndHarmlessNamesOnceGone) {
  MakeLock();
  Open();
  ClickBolt(0);
  ClickBolt(2);
  ASSERT_EQ(Places(), "UUU");
  EXPECT_EQ(Lua("ResetPosition(false) won = IsWon()"), "");
  EXPECT_EQ(Places(), "DDD");
  EXPECT_EQ(Global("won"), "false");
  EXPECT_FALSE(mLock->GetBolt(1)->IsLocked());
  EXPECT_EQ(Angle("upperBoltLock", 1), 0.0f);
  EXPECT_EQ(Lua("ResetPosition(true) won = IsWon()"), "");
  EXPECT_EQ(Places(), "UUU");
  EXPECT_EQ(Global("won"), "true");

  Manager().PopModal();
  Frames(1);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(Lua("ResetPosition(false) won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "nil");
  EXPECT_TRUE(mLock->GetBolt(0)->IsUp());
}

// Regression: the bolt's index was read from its name character as a signed char, so bolts
// past index 78 (characters above 127) never moved. A lock of 90 bolts moves its last one;
// a lock whose bolts all move others shows no lock pieces.
TEST_F(UnlockingDoorsWindow, BoltsPastTheSignedCharactersMove) {
  auto lock = std::make_unique<CLock>(90);
  for (uint32_t i = 0; i < 90; i++) {
    CLockingBolt::TAppearance look;
    look.graphic = "pics/tiny";
    look.downX = look.upX = int32_t(10 * (i % 30));
    look.downY = int32_t(10 * (i / 30));
    look.upY = look.downY + 100;
    look.upperLockGraphic = "pics/piece";
    lock->SetBoltAppearance(i, look);
  }
  CLock& made = MakeCurrent(std::move(lock), 230301);
  mLock = &made;
  Open();
  EXPECT_FALSE(HasSprite(Sprites(), "upperBoltLock1"));
  for (uint32_t i : {0u, 78u, 79u, 89u}) {
    Click(int32_t(10 * (i % 30) + 2), int32_t(10 * (i / 30) + 2));
    EXPECT_TRUE(made.GetBolt(i)->IsUp()) << i;
  }
}

}  // namespace
