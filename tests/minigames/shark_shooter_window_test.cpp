// The shark shooter window: the countdown, the diver under the pointer, harpoons fired by a
// click (or by the window in the avoiding mode), the status bar, the loss menu with its
// restart, and the win with its bonus.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "graphics/sprites/sprite.h"
#include "mini_game_test_util.h"
#include "minigames/shark_shooter_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/shark_shooter_game.h"
#include "platform/settings.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"

namespace {

// Sharks as tall as the screen: every harpoon at any height meets the next one.
class SharkShooterWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("SharkShooterWindow", &TSharkShooterWindow::Create);
    Solid("pics/diver.png", 100, 80, 0xFF1F2A44);
    Solid("pics/shark.png", 120, 600, 0xFF7D8A96);
    Solid("pics/shot.png", 40, 10, 0xFFE8E2D0);
    Solid("pics/bar.png", 20, 300, 0xFF48C85A);
    Solid("pics/mark.png", 20, 20, 0xFFD8402E);
    SetConfig("shshTimeToWaitAfterWonToSkipInMs", "500");
    // The menu of a lost game counts how often it opens.
    WriteAsset("scripts/sharkshooterwonmenu.lua", "LostMenus = (LostMenus or 0) + 1\nMakeDialog{}\n");
  }
  CSharkShooterGame& MakeGame(int32_t mode, int32_t seqId = 290601) {
    auto game = std::make_unique<CSharkShooterGame>();
    game->SetGameMode(mode);
    game->SetSharkTexturePath("pics/shark");
    game->SetDiverTexturePath("pics/diver");
    game->SetShotTexturePath("pics/shot");
    game->SetInactiveShotTexturePath("pics/shot");
    game->SetReadyShotTexturePath("pics/shot");
    game->SetInterfaceGreenTexturePath("pics/bar");
    game->SetInterfaceInvisibleTexturePath("pics/bar");
    game->SetInterfaceRedTexturePath("pics/mark");
    game->SetCountdown(2);
    game->SetLives(3);
    game->SetHowManySharksMustDieForWinning(2);
    game->SetMaxSharksOnScreen(1);
    game->SetReloadTimeInMs(100);
    game->SetHarponShotSpeed(1000);
    game->SetSharkStartSpeed(20000);
    game->SetSharkEndSpeed(20000);
    game->SetHarpoonX(100);
    game->SetHarpoonY(0);
    game->SpawnSharks();
    return MakeCurrent(std::move(game), seqId);
  }
  TSharkShooterWindow* Open() {
    auto* window = WindowCast<TSharkShooterWindow>(OpenScene("SharkShooterWindow"));
    EXPECT_NE(window, nullptr);
    Frames(1);
    return window;
  }
  // The countdown's seconds, and one frame more.
  void PastCountdown(TSharkShooterWindow& window) {
    EXPECT_TRUE(FramesUntil([&] { return window.GetGame()->IsRunning(); }));
  }
  TPoint Gui(TSharkShooterWindow& window, const char* name) { return window.GetGuiWindow()->GetSpritePosition(name); }
  static bool Shown(TSpriteWindow& window, const char* name) {
    return Sprite(window, name).GetCurrentSprite()->IsVisible();
  }
  int LostMenus() { return Global("LostMenus") == "nil" ? 0 : std::stoi(Global("LostMenus")); }
};

// The countdown shows its seconds one a second apart, then hides and play starts; the
// cursor stays hidden. The status bar stands as laid out: health bar at (0, 45), its empty
// bar above it, the progress mark at (995, 45).
TEST_F(SharkShooterWindow, TheCountdownComesBeforePlay) {
  MakeGame(CSharkShooterGame::SharkShooter);
  TSharkShooterWindow* window = Open();
  EXPECT_EQ(window->GetCursorStyle(), 9);
  EXPECT_EQ(Gui(*window, "GUIhealthfull"), TPoint(0, 45));
  EXPECT_EQ(Gui(*window, "GUIhealthempty"), TPoint(0, -255));
  EXPECT_EQ(Gui(*window, "GUIendstatus"), TPoint(995, 45));
  EXPECT_EQ(window->GetSharkSprites().size(), 1u);
  TTextbox* text = Textbox("CountdownText");
  ASSERT_NE(text, nullptr);
  std::string shown;
  for (int frame = 0; frame < 200 && !window->GetGame()->IsRunning(); frame++) {
    Frames(1);
    std::string now = text->GetText().ToStd();
    if (shown.empty() || shown.back() != now.back()) shown += now;
  }
  EXPECT_EQ(shown, "210");
  EXPECT_TRUE(window->GetGame()->IsRunning());
  EXPECT_EQ(text->GetAlpha(), 0.0f);
  Frames(4);
  EXPECT_EQ(window->GetCursorStyle(), 9);
}

// The pointer sets the diver's height within its bounds (a height between the two ranges
// leaves the diver where it is) and is pulled back to x = 452 when it leaves 50..1000,
// during play only; the cursor stays hidden. (Points past the test's small screen are
// handed to the window directly.)
TEST_F(SharkShooterWindow, ThePointerMovesTheDiver) {
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::SharkShooter);
  TSharkShooterWindow* window = Open();
  MouseMove(300, 200);
  EXPECT_EQ(game.GetDiverPosition().y, 342) << "not before play";
  PastCountdown(*window);
  struct TCase {
    TPoint pointer;
    int32_t diverY;
    bool pulledBack;
  };
  const TCase cases[] = {{{300, 250}, 250, false}, {{300, 10}, 20, false},  {{300, 600}, 560, false},
                         {{300, 555}, 200, false}, {{30, 100}, 100, true}, {{1010, 120}, 120, true}};
  for (const TCase& c : cases) {
    window->OnMouseMove(TPoint(300, 200));
    mHost->pointerMoves.clear();
    EXPECT_TRUE(window->OnMouseMove(c.pointer));
    EXPECT_EQ(game.GetDiverPosition().y, c.diverY) << c.pointer.x << "," << c.pointer.y;
    EXPECT_EQ(!mHost->pointerMoves.empty(), c.pulledBack);
    if (c.pulledBack) {
      EXPECT_EQ(mHost->pointerMoves.back(), TPoint(452, c.pointer.y));
    }
  }
  EXPECT_EQ(window->GetCursorStyle(), 9);
}

// In the harpoon mode a click fires once the reload allows it: the harpoon's sprite flies,
// the display shows the reload, and kills move the progress mark; the second kill wins, and
// after the wait the scene goes on. The fade-out's end adds the bonus of 1000.
TEST_F(SharkShooterWindow, HarpoonsKillSharksAndWin) {
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::SharkShooter);
  TSharkShooterWindow* window = Open();
  PastCountdown(*window);
  MouseMove(300, 200);
  // A harpoon that leaves the screen before it meets the shark parks.
  EXPECT_TRUE(FramesUntil([&] { return game.GetSharkPosition(0).x < 800; }));
  Click(300, 200);
  TSpriteWindow& inGame = *window->GetInGameWindow();
  ASSERT_TRUE(HasSprite(inGame, "ShShShot0"));
  EXPECT_TRUE(Shown(inGame, "ShShShot0"));
  Frames(1);
  EXPECT_FALSE(Shown(*window->GetGuiWindow(), "GUIshotReady"));
  EXPECT_TRUE(Shown(*window->GetGuiWindow(), "GUIshotInactive"));
  EXPECT_TRUE(FramesUntil([&] { return game.GetKills() == 1; }));
  Frames(1);
  EXPECT_FALSE(HasSprite(inGame, "ShShShot0")) << "a parked harpoon goes";
  EXPECT_EQ(Gui(*window, "GUIendstatus"), TPoint(995, 45 + 300 / 2));
  EXPECT_TRUE(Shown(*window->GetGuiWindow(), "GUIshotReady"));

  EXPECT_TRUE(FramesUntil([&] { return game.GetSharkPosition(0).x < 800; }));
  Click(300, 200);
  EXPECT_TRUE(FramesUntil([&] { return game.GetKills() == 2; }));
  EXPECT_TRUE(window->IsWon());
  Frames(1);
  EXPECT_EQ(Gui(*window, "GUIendstatus"), TPoint(995, 345));
  EXPECT_EQ(WentOn(), 0) << "the wait after the win";
  EXPECT_TRUE(FramesUntil([&] { return WentOn() == 1; }));
  uint32_t score = CHighscoreSystem::GetInstance()->GetHighscoreAsInt();
  window->ExitScene();
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetHighscoreAsInt(), score + 1000);
  EXPECT_EQ(mFlow.calls.back(), "open");
  EXPECT_EQ(LostMenus(), 0);
}

// Sharks past the deadline cost lives (the health bar slides down a third each) until the
// game is lost: the menu opens once. "RestartSharkShooter" starts again at once; regression:
// a harpoon in flight at a restart stayed on the screen, and the new game's first harpoon,
// of the same name, moved the old one.
TEST_F(SharkShooterWindow, ALostGameOpensTheMenuAndRestarts) {
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::SharkShooter);
  TSharkShooterWindow* window = Open();
  PastCountdown(*window);
  Click(300, 200);
  EXPECT_TRUE(HasSprite(*window->GetInGameWindow(), "ShShShot0"));
  EXPECT_EQ(Lua("RestartSharkShooter()"), "");
  EXPECT_FALSE(HasSprite(*window->GetInGameWindow(), "ShShShot0"));
  Frames(1);
  EXPECT_TRUE(game.IsRunning());
  EXPECT_TRUE(FramesUntil([&] { return game.GetHits() == 1; }));
  Frames(1);
  EXPECT_EQ(Gui(*window, "GUIhealthfull"), TPoint(0, 45 + 100));
  EXPECT_TRUE(FramesUntil([&] { return game.IsLost(); }));
  Frames(10);
  EXPECT_EQ(Gui(*window, "GUIhealthfull"), TPoint(0, 345));
  EXPECT_EQ(LostMenus(), 1);
  EXPECT_EQ(window->GetCursorStyle(), 2) << "the menu needs the pointer";
  EXPECT_EQ(WentOn(), 0);

  EXPECT_EQ(Lua("RestartSharkShooter()"), "");
  Manager().DoPopModal(Manager().GetTopModal()->GetIdString());
  Frames(2);
  EXPECT_TRUE(game.IsRunning());
  EXPECT_EQ(game.GetHits(), 0);
  EXPECT_EQ(Gui(*window, "GUIhealthfull"), TPoint(0, 45));
  EXPECT_EQ(Lua("SkipSharkShooter()"), "");
  EXPECT_EQ(mFlow.calls.back(), "next:0");
}

// In the avoiding mode the window fires the shield itself, hidden; clicks fire nothing, and
// a press while the briefing shows reaches neither the game nor the skip button.
TEST_F(SharkShooterWindow, TheAvoidingModeFiresItsShieldItself) {
  GiveButtons();
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::AvoidSharks);
  TSharkShooterWindow* window = Open();
  PastCountdown(*window);
  Frames(1);
  ASSERT_EQ(game.GetActiveShotCount(), 1);
  EXPECT_FALSE(Shown(*window->GetInGameWindow(), "ShShShot0"));
  Click(300, 200);
  EXPECT_EQ(game.GetLastShotIndex(), 0);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  Click(SkipX, SkipY);
  EXPECT_EQ(WentOn(), 0);
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
  Click(SkipX, SkipY);
  EXPECT_EQ(WentOn(), 1);
}

// Regression: lives of 0 and a win target of 0 divided the status bar by 0. The model keeps
// its 3 lives and its target of 50; a lost life moves the bar by a third.
TEST_F(SharkShooterWindow, NoLivesAndNoTargetAreRefused) {
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::SharkShooter);
  game.SetLives(0);
  game.SetHowManySharksMustDieForWinning(0);
  EXPECT_EQ(game.GetLives(), 3);
  EXPECT_EQ(game.GetHowManySharksMustDieForWinning(), 2);
  TSharkShooterWindow* window = Open();
  PastCountdown(*window);
  EXPECT_TRUE(FramesUntil([&] { return game.GetHits() == 1; }));
  Frames(1);
  EXPECT_EQ(Gui(*window, "GUIhealthfull"), TPoint(0, 145));
}

// Regression: a dive entered again after it was won ended again at once and paid its bonus
// a second time. A finished game starts anew with the window.
TEST_F(SharkShooterWindow, AFinishedDiveEnteredAgainStartsAnew) {
  CSharkShooterGame& game = MakeGame(CSharkShooterGame::SharkShooter);
  TSharkShooterWindow* window = Open();
  PastCountdown(*window);
  EXPECT_TRUE(FramesUntil([&] { return game.IsLost(); }));
  Manager().PopModal();
  Manager().PopModal();
  Frames(1);
  window = Open();
  EXPECT_FALSE(game.IsLost());
  EXPECT_EQ(game.GetHits(), 0);
  EXPECT_EQ(window->GetSharkSprites().size(), 1u);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused()) << "the play clock runs";
}

// "IsWon" and the game's own globals are harmless once the window is gone.
TEST_F(SharkShooterWindow, ItsGlobalsAreHarmlessOnceTheWindowIsGone) {
  MakeGame(CSharkShooterGame::SharkShooter);
  Open();
  EXPECT_EQ(Lua("won = IsWon()"), "");
  EXPECT_EQ(Global("won"), "false");
  Manager().PopModal();
  Frames(2);
  EXPECT_EQ(Lua("won = IsWon() RestartSharkShooter() SkipSharkShooter()"), "");
  EXPECT_EQ(Global("won"), "nil");
  EXPECT_TRUE(mFlow.calls.empty() || mFlow.calls.back() != "next:0");
}

}  // namespace
