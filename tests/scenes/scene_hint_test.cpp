// The hint spiral's path and the choice of its point through the story's place tables.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/particles/fx_sprite.h"
#include "model/game.h"
#include "model/scene_exit.h"
#include "platform/settings.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"

namespace {

class Hint : public TSceneWindowTest {
 protected:
  void SetUp() override {
    TSceneWindowTest::SetUp();
    SetConfig("radiusSize", "40");
  }
  // An exit of the current scene (place 200) with the four corners.
  void AddExit(const char* id, bool active, std::initializer_list<TPoint> corners) {
    auto exit = std::make_unique<CSceneExit>();
    exit->SetId(id);
    exit->SetActive(active);
    int corner = 1;
    for (TPoint point : corners) exit->SetCorner(corner++, point.x, point.y);
    Model().AddSceneExit(std::move(exit));
  }
  static size_t SpiralsIn(TScene* scene) { return scene->GetHintWindow()->GetRootSprite()->GetChildren().size(); }
};

// The spiral circles its centre at the hint radius, its angle the phase times 360 taken as
// radians (so it hops), for 66 frames; it is parked off screen from the 67th and taken away
// on the 133rd. A second spiral waits until the first has ended.
TEST_F(Hint, TheSpiralHopsAroundItsCentreThenParksAndEnds) {
  TScene* scene = OpenScene();
  scene->StartHintSpiral(100, 80);
  EXPECT_EQ(SpiralsIn(scene), 1u);
  float phase = 0, angle = 0;
  for (int frame = 1; frame <= 66; frame++) {
    Frames(1);
    phase += 0.03f;
    TVec2 expected(100 + 40 * std::cos(angle), 80 + 40 * std::sin(angle));
    angle = phase * 360.0f;
    ASSERT_NEAR(scene->GetHintSpiralPos().x, expected.x, 0.01) << frame;
    ASSERT_NEAR(scene->GetHintSpiralPos().y, expected.y, 0.01) << frame;
  }
  scene->StartHintSpiral(10, 10);
  EXPECT_EQ(scene->GetHintSpiralCentre(), TPoint(100, 80));
  Frames(1);
  EXPECT_EQ(scene->GetHintSpiralPos().x, -200.0f);
  Frames(65);
  EXPECT_TRUE(scene->IsHintSpiralActive());
  EXPECT_EQ(SpiralsIn(scene), 1u);
  Frames(1);
  EXPECT_FALSE(scene->IsHintSpiralActive());
  EXPECT_EQ(SpiralsIn(scene), 0u);
  scene->StartHintSpiral(10, 10);
  EXPECT_EQ(scene->GetHintSpiralCentre(), TPoint(10, 10));
}

// The spiral's particles and an exit's glow run on the clock of the scene's modal; when the
// modal goes back to the main menu, neither the particle task nor the glow may still read
// that clock (the sprite tasks run on after it).
TEST_F(Hint, TheParticlesAndGlowsLeaveTheClockOfAModalThatGoes) {
  SetConfig("scriptSpinshine", "fx/sparkles.lua");
  WriteAsset("fx/sparkles.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/sparkles.lua"));
  Disc("pics/door.png", 20, 0xC08040);
  AddExit("door", true, {{0, 0}, {5, 0}, {5, 5}, {0, 5}});
  Model().FindSceneExit("door")->SetImage("pics/door");
  TScene* scene = OpenScene();
  scene->GetSpriteWindow()->AddSprite(GeneralSprite("pics/door", 10, 10, 0, 28, "door", 1.0f, 0));
  scene->StartHintSpiral(50, 50);
  Send(EventChar, 0, 0, ' ');
  Frames(3);
  TFxSpriteAnimTask* particles = TFxSpriteAnimTask::GetInstance();
  ASSERT_NE(particles, nullptr);
  EXPECT_NE(particles->GetClock(), nullptr);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetGlowCount(), 1u);
  Manager().PopModal();
  Send(EventIdle);
  EXPECT_EQ(particles->GetClock(), nullptr);
  EXPECT_EQ(TSpriteAnimator::GetInstance()->GetGlowCount(), 0u);
  FakeNow += 100;
  RunFrameTasks();
}

// The searched place is this scene's: the spiral circles the given point. Elsewhere it
// circles where the diagonals of the active exit towards it cross; an inactive exit is
// never taken, and a scene of no place or without a way shows nothing.
TEST_F(Hint, ThePointComesFromThePlaceTables) {
  AddExit("2_200_adv_exit_villa", false, {{0, 0}, {100, 0}, {100, 50}, {0, 50}});
  AddExit("2_200_adv_exit_haus", true, {{200, 100}, {300, 100}, {300, 150}, {200, 150}});
  TScene* scene = OpenScene();
  struct TCase {
    const char* target;
    bool shows;
    TPoint point;
  };
  const TCase cases[] = {
      {"200", true, {7, 9}},      // here
      {"100", true, {250, 125}},  // through the house exit
      {"101", true, {250, 125}},  // the living room lies behind the house
      {"300", false, {}},         // only the villa exit leads there, and it is inactive
      {"999", false, {}},         // no way at all
  };
  for (const TCase& c : cases) {
    scene->ShowHintAt(c.target, 7, 9);
    EXPECT_EQ(scene->IsHintSpiralActive(), c.shows) << c.target;
    if (c.shows) {
      EXPECT_EQ(scene->GetHintSpiralCentre(), c.point) << c.target;
    }
    Frames(140);
  }
  Model().SetSeqId(999999);
  scene->ShowHintAt("200", 7, 9);
  EXPECT_FALSE(scene->IsHintSpiralActive());
}

// The spec's square gives its middle; parallel diagonals (a degenerate exit) have no
// crossing and take the middle of the corners instead of dividing by zero.
TEST_F(Hint, DiagonalsCrossOrStandInForEachOther) {
  struct TCase {
    std::initializer_list<TPoint> corners;
    TPoint point;
  };
  const TCase cases[] = {
      {{{0, 0}, {100, 0}, {100, 50}, {0, 50}}, {50, 25}},
      {{{10, 0}, {10, 0}, {30, 40}, {30, 40}}, {20, 20}},   // both diagonals on one line
      {{{0, 0}, {0, 10}, {0, 50}, {0, 60}}, {0, 30}},       // both vertical
  };
  TScene* scene = OpenScene();
  for (const TCase& c : cases) {
    AddExit("2_200_adv_exit_haus", true, c.corners);
    scene->ShowHintAt("100", 0, 0);
    EXPECT_EQ(scene->GetHintSpiralCentre(), c.point);
    Frames(140);
  }
}

}  // namespace
