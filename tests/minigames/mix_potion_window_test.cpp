// The mix potion window: the network laid out on its grid, flasks carried to the funnels,
// a wrong mix and a right one, the reset, and networks whose content does not fit the
// rules (more need colours than flasks, no flask at all, hundreds of pipes, a flask row
// left of the screen).

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "mini_game_test_util.h"
#include "minigames/mix_potion_window.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/mix_potion_mini_game.h"
#include "platform/settings.h"
#include "scenes/sprite_window.h"

namespace {

const char* const Suffixes[] = {"_u", "_g", "_o", "_b", "_p", "_ggg", "_ppp", "_gpo", "_ggg", "_gpg", "_ggu",
                                "_gpu", "_uuu", "_upu", "_guu", "_uuo", "_gpp"};

// Pictures "pot/<graphic><suffix>" of 20 x 20 (the cell), the buttons 40 x 20 and the
// cupboard 70 x 24. The network: roots A (1, 0) and B (2, 0) both feed the mixing piece
// M (1, 1), which feeds the leaf L (1, 2), which needs orange; the board's cell (0, 0) lies
// at (100, 40). Green, purple and black may be poured.
class MixPotionWindow : public TMiniGameTest {
 protected:
  void SetUp() override {
    TMiniGameTest::SetUp();
    Manager().RegisterWindowType("MixPotion", &TMixPotionWindow::Create);
    for (uint32_t g = 0; g < CMixPotionMiniGame::GraphicCount; g++) {
      if (g == CMixPotionMiniGame::GraphicButton || g == CMixPotionMiniGame::GraphicResetButton ||
          g == CMixPotionMiniGame::GraphicCupboard)
        continue;
      for (const char* suffix : Suffixes)
        Solid(("pot/" + std::string(CMixPotionMiniGame::GraphicKeys[g]) + suffix + ".png").c_str(), 20, 20,
              0xFF000000 | (g * 0x0F0F0F));
    }
    Solid("pot/button.png", 40, 20, 0xFF30A030);
    Solid("pot/resetbutton.png", 40, 20, 0xFFA03030);
    Solid("pot/cboard.png", 70, 24, 0xFF604020);
  }
  static CMixPotionMiniGame& Graphics(CMixPotionMiniGame& game) {
    for (uint32_t g = 0; g < CMixPotionMiniGame::GraphicCount; g++)
      game.SetGraphic(g, TString("pot/") + CMixPotionMiniGame::GraphicKeys[g]);
    return game;
  }
  CMixPotionMiniGame& MakeGame(int32_t seqId = 211201) {
    auto game = std::make_unique<CMixPotionMiniGame>();
    Graphics(*game);
    game->SetX(100);
    game->SetY(40);
    game->SetColorSystem(1);
    game->SetButtonPosition(200, 150);
    game->SetResetButtonPosition(250, 150);
    game->SetCboardPosition(30, 95);
    game->AddPipe(1, 0, 0, 1, {3});
    game->AddPipe(2, 0, 0, 2, {3});
    game->AddPipe(1, 1, 1, 3, {4});
    game->AddPipe(1, 2, 2, 4, {});
    game->ConnectPipes();
    game->SetGivenColors({PotionGreen, PotionPurple, PotionBlack});
    game->SetNeedColors({PotionOrange});
    return MakeCurrent(std::move(game), seqId);
  }
  TMixPotionWindow* Open() {
    auto* window = WindowCast<TMixPotionWindow>(OpenScene("MixPotion"));
    EXPECT_NE(window, nullptr);
    Frames(2);
    return window;
  }
  static TSpriteWindow& Pieces(TMixPotionWindow& window) { return *window.GetAnimationWindow(); }
  // Whether the record shows that picture, and is drawn.
  static bool Shows(TMixPotionWindow& window, const char* name, const char* picture) {
    std::shared_ptr<TSprite> sprite = Sprite(Pieces(window), name).GetCurrentSprite();
    return sprite && sprite->GetTexture() == TTexture::Get(picture) &&
           sprite->GetParent() == Pieces(window).GetRootSprite().get();
  }
  // Carries the given flask k (at the cell (-1 - k, 3)) to the point and drops it there.
  void Pour(uint32_t k, int32_t x, int32_t y) {
    Click(int32_t(90 - 20 * k), 110);
    MouseMove(x, y);
    Click(x, y);
  }
  static constexpr int32_t FunnelA[] = {130, 50}, FunnelB[] = {150, 50};
};

// Every piece stands on the grid of the upright pipe's picture: pipes, funnels and flasks
// at their cells, the target sign at the leaf, the flasks to carry in a row left of the
// leaf one row below it, the buttons and the cupboard at the model's places. Pieces are
// named with decimal indices.
TEST_F(MixPotionWindow, TheNetworkIsLaidOutOnItsGrid) {
  MakeGame();
  TMixPotionWindow* window = Open();
  EXPECT_TRUE(CHighscoreSystem::GetInstance()->IsPaused());
  EXPECT_EQ(window->GetCellSize(), TPoint(20, 20));
  TSpriteWindow& pieces = Pieces(*window);
  const std::pair<const char*, TPoint> places[] = {
      {"funnel0", {120, 40}}, {"funnel1", {140, 40}},       {"flask0", {120, 80}},       {"targetColoro", {120, 80}},
      {"MixButton", {200, 150}}, {"ResetButton", {250, 150}}, {"Cupboard", {30, 95}},    {"moveableFlaskg", {80, 100}},
      {"moveableFlaskp", {60, 100}}, {"moveableFlaskb", {40, 100}}};
  for (const auto& [name, place] : places) EXPECT_EQ(pieces.GetSpritePosition(name), place) << name;
  int pipes = 0;
  for (int32_t i = 0; i < pieces.GetSpriteCount(); i++) pipes += pieces.GetSprite(i).GetKind() == SpriteKindPotionPipe;
  EXPECT_EQ(pipes, 4);
  EXPECT_TRUE(Shows(*window, "funnel0", "pot/funnel_u"));
  EXPECT_TRUE(Shows(*window, "targetColoro", "pot/targetColor_o"));
  Manager().PopModal();
  Frames(1);
  EXPECT_FALSE(CHighscoreSystem::GetInstance()->IsPaused());
}

// A flask taken up follows the pointer at the settings' offset (negative: below right of
// it) with the "use" cursor over an empty funnel; dropped there it fills the funnel, which
// shows its colour, and the flask goes home. A funnel that holds a colour keeps it, and a
// drop on nothing pours nothing. The mix waits for every funnel.
TEST_F(MixPotionWindow, FlasksArePouredIntoEmptyFunnelsOnly) {
  SetConfig("itemCursorOffsetX", "-8");
  SetConfig("itemCursorOffsetY", "-6");
  CMixPotionMiniGame& game = MakeGame();
  TMixPotionWindow* window = Open();

  Click(90, 110);
  EXPECT_TRUE(window->IsCarrying());
  MouseMove(200, 20);
  EXPECT_EQ(Pieces(*window).GetSpritePosition("moveableFlaskg"), TPoint(208, 26));
  EXPECT_EQ(window->GetCursorStyle(), 2);
  MouseMove(FunnelA[0], FunnelA[1]);
  EXPECT_EQ(window->GetCursorStyle(), 4);
  Click(FunnelA[0], FunnelA[1]);
  EXPECT_FALSE(window->IsCarrying());
  EXPECT_EQ(game.GetRoot(0)->GetColor(), uint32_t(PotionGreen));
  EXPECT_TRUE(Shows(*window, "funnel0", "pot/funnel_g"));
  EXPECT_EQ(Pieces(*window).GetSpritePosition("moveableFlaskg"), TPoint(80, 100));

  Pour(1, FunnelA[0], FunnelA[1]);
  EXPECT_EQ(game.GetRoot(0)->GetColor(), uint32_t(PotionGreen));
  Pour(1, 300, 220);
  EXPECT_EQ(game.GetRoot(1)->GetColor(), uint32_t(PotionNone));
  EXPECT_EQ(Pieces(*window).GetSpritePosition("moveableFlaskp"), TPoint(60, 100));

  Click(210, 160);
  EXPECT_EQ(game.GetRoot(0)->GetColor(), uint32_t(PotionGreen)) << "no mix with an empty funnel";
  EXPECT_TRUE(Shows(*window, "flask0", "pot/flask_u"));
  EXPECT_EQ(WentOn(), 0);
}

// Clicks and moves while the briefing shows take no flask and press no button.
TEST_F(MixPotionWindow, TheBriefingSwallowsClicks) {
  MakeGame();
  TMixPotionWindow* window = Open();
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", true);
  EXPECT_TRUE(window->OnMouseDown(TPoint(90, 110)));
  EXPECT_FALSE(window->IsCarrying());
  CGlobalInformationSystem::GetInstance()->SetGlobalBool("showBriefingWindow", false);
}

// A wrong mix shows its colours in the pipes and the flask and empties the funnels; the
// reset clears the pipes; a right mix counts the mini-game and finishes the scene once.
TEST_F(MixPotionWindow, AWrongMixIsShownAndARightOneWins) {
  CMixPotionMiniGame& game = MakeGame();
  CHighscoreSystem::GetInstance()->SetMiniGameTaskCompleteBonus(250);
  TMixPotionWindow* window = Open();

  Pour(0, FunnelA[0], FunnelA[1]);
  Pour(0, FunnelB[0], FunnelB[1]);
  Click(210, 160);
  EXPECT_TRUE(Shows(*window, "flask0", "pot/flask_g"));
  EXPECT_TRUE(Shows(*window, "funnel0", "pot/funnel_u"));
  EXPECT_TRUE(Shows(*window, "funnel1", "pot/funnel_u"));
  EXPECT_EQ(game.GetRoot(0)->GetColor(), uint32_t(PotionNone));
  EXPECT_EQ(WentOn(), 0);

  Click(260, 160);
  EXPECT_TRUE(Shows(*window, "flask0", "pot/flask_u"));

  Pour(0, FunnelA[0], FunnelA[1]);
  Pour(1, FunnelB[0], FunnelB[1]);
  Click(210, 160);
  EXPECT_TRUE(Shows(*window, "flask0", "pot/flask_o"));
  EXPECT_EQ(WentOn(), 1);
  EXPECT_EQ(CHighscoreSystem::GetInstance()->GetMiniGamesCompleted(), 1u);
  Click(210, 160);
  Frames(4);
  EXPECT_EQ(WentOn(), 1);
}

// Regression: a network with more need colours than flasks, or with no flask at all, read
// past its list of leaves and stopped the game. The window opens and shows what has a
// place; the skip button still works.
TEST_F(MixPotionWindow, ContentWithoutEnoughFlasksOpens) {
  GiveButtons();
  struct TCase {
    const char* what;
    bool pipes;
    int32_t targets, moveable;
  };
  for (const TCase& c : {TCase{"three needs, one flask", true, 1, 3}, TCase{"no pipes at all", false, 0, 0}}) {
    SCOPED_TRACE(c.what);
    mFlow.calls.clear();
    auto model = std::make_unique<CMixPotionMiniGame>();
    Graphics(*model);
    if (c.pipes) model->AddPipe(0, 0, 0, 1, {});
    model->ConnectPipes();
    model->SetGivenColors({PotionGreen, PotionOrange, PotionBlack});
    model->SetNeedColors({PotionGreen, PotionOrange, PotionBlack});
    MakeCurrent(std::move(model), c.pipes ? 211210 : 211211);
    TMixPotionWindow* window = Open();
    int32_t targets = 0, moveable = 0;
    for (int32_t i = 0; i < Pieces(*window).GetSpriteCount(); i++) {
      targets += Pieces(*window).GetSprite(i).GetKind() == SpriteKindPotionTarget;
      moveable += Pieces(*window).GetSprite(i).GetKind() == SpriteKindPotionMoveableFlask;
    }
    EXPECT_EQ(targets, c.targets);
    EXPECT_EQ(moveable, c.moveable);
    Click(SkipX, SkipY);
    EXPECT_EQ(WentOn(), 1);
    Manager().PopModal();
    Frames(1);
  }
}

// Regression: pieces were named with the raw byte of their index, so funnel and flask 0
// held a NUL and pipes collided from index 208 on. Every piece of a network of 300 pipes
// now has a name of its own.
TEST_F(MixPotionWindow, PieceNamesStayDistinctInALargeNetwork) {
  auto model = std::make_unique<CMixPotionMiniGame>();
  Graphics(*model);
  for (uint32_t i = 0; i < 300; i++) model->AddPipe(i % 15, i / 15, i, i + 1, {});
  model->ConnectPipes();
  model->SetGivenColors({PotionGreen});
  CMixPotionMiniGame& game = MakeCurrent(std::move(model), 211212);
  game.SetX(0);
  game.SetY(0);
  TMixPotionWindow* window = Open();
  std::map<int32_t, std::set<std::string>> names;
  for (int32_t i = 0; i < Pieces(*window).GetSpriteCount(); i++) {
    const GeneralSprite& record = Pieces(*window).GetSprite(i);
    for (int32_t kind : {SpriteKindPotionPipe, SpriteKindPotionFunnel, SpriteKindPotionFlask}) {
      if (record.GetKind() != kind) continue;
      EXPECT_EQ(std::string(record.GetName().c_str()).find('\0'), std::string::npos);
      names[kind].insert(record.GetName().c_str());
    }
  }
  ASSERT_EQ(names.size(), 3u);
  for (const auto& [kind, named] : names) EXPECT_EQ(named.size(), 300u) << kind;
  EXPECT_EQ(Pieces(*window).GetSpritePosition("funnel0"), TPoint(0, 0));
}

// Regression: the flasks' row left of leaf 0 was counted unsigned and wrapped to the far
// right for a leaf in the first columns. It lies left of the board, in negative pixels.
TEST_F(MixPotionWindow, FlasksLeftOfTheFirstColumnStayLeftOfTheBoard) {
  CMixPotionMiniGame& game = MakeGame();
  game.SetX(10);
  TMixPotionWindow* window = Open();
  EXPECT_EQ(Pieces(*window).GetSpritePosition("moveableFlaskg"), TPoint(-10, 100));
  EXPECT_EQ(Pieces(*window).GetSpritePosition("moveableFlaskb"), TPoint(-50, 100));
}

}  // namespace
