// Effect sprites in the sprite tree: the emitter taken from the sprite's place, the step
// task's 12 ms steps, effects that end and leave their parent, effects made by effects,
// and golden frames of the sample effects. Regenerate the frames with
//   TARVELON_UPDATE_GOLDEN=1 build-*/bin/particle_tests --gtest_filter='*Golden*'

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/device/golden_png.h"
#include "graphics/display/display_rig.h"
#include "graphics/particles/fx_sprite.h"
#include "graphics/particles/particle_test_util.h"
#include "graphics/renderer.h"
#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/sprite_test_util.h"
#include "platform/settings.h"
#include "platform/task_list.h"

namespace {

// An effect that counts its updates and their seconds.
const char* const Counting =
    "gUpdates = 0 gSeconds = 0 function Update(s) gUpdates = gUpdates + 1 gSeconds = gSeconds + s end";

class FxSprite : public ::testing::Test {
 protected:
  static constexpr uint32_t Width = 160, Height = 120;

  FxSprite() {
    mRig.Window(Width, Height);
    SetSpritePlatform({&mTasks, nullptr});
    TRenderer::GetInstance()->PushClipRect(TRect(0, 0, Width, Height));
  }
  ~FxSprite() override {
    mRoot.reset();
    mTasks.Clear();
    SetSpritePlatform({});
  }

  // Lets time pass and runs the frame tasks.
  void Step(uint32_t ms) {
    TDisplayRig::Advance(ms);
    mTasks.RunTasks(0);
  }
  // Draws the tree as a frame over a dark background.
  void DrawFrame() {
    TRenderer& r = *TRenderer::GetInstance();
    ASSERT_TRUE(r.BeginDraw(false));
    {
      TScoped2d block;
      r.SetBlendMode(1);
      r.FillRect(TRect(0, 0, Width, Height), TColor{0.08f, 0.1f, 0.16f, 1});
      r.SetBlendMode(0);
      mRoot->Draw(TSpriteDrawParams(), -1);
    }
    r.EndDraw(true);
  }
  int Updates(TFxSprite& sprite) { return std::stoi(GlobalText(sprite.GetSystem(), "gUpdates")); }
  // Plays the effect from the seed at the place for the frames (16 ms apart) and compares
  // the last frame with the golden image of the effect's name.
  std::string PlayForGolden(const char* effect, const std::array<uint32_t, 4>& seed, const TMat3& place, int frames,
                            int32_t fewestParticles) {
    TParticleRandom::Seed(seed.data());
    auto fx = TFxSprite::Create(DemoEffect(effect), 0);
    fx->GetDrawParams().matrix = place;
    mRoot->AddChild(fx);
    for (int frame = 0; frame < frames; ++frame) {
      DrawFrame();
      Step(16);
    }
    DrawFrame();
    EXPECT_GT(fx->GetSystem().GetParticleCount(), fewestParticles) << effect;
    std::string golden = "particles/" + std::string(effect).replace(std::string(effect).find(".lua"), 4, ".png");
    return MatchGolden(golden, mRig.host.presenter->Shown(), Width, Height);
  }

  TDisplayRig mRig;
  TTaskList mTasks;
  std::shared_ptr<TSprite> mRoot = TSprite::Create(0);
};

}  // namespace

TEST_F(FxSprite, TheEmitterIsTheSpritesPlaceOnScreen) {
  auto fx = TFxSprite::Create(Counting, 0);
  EXPECT_STREQ(fx->GetClassName(), "TFxSprite");
  EXPECT_TRUE(fx->IsKindOf(TSprite::ClassId()));
  mRoot->AddChild(fx);
  mRoot->GetDrawParams().matrix.m[2] = TVec3(100, 50, 1);
  fx->GetDrawParams().matrix = TMat3::Rotation(float(M_PI / 2));
  fx->GetDrawParams().matrix.m[2] = TVec3(30, 40, 1);
  EXPECT_FALSE(fx->IsRunning());
  DrawFrame();
  EXPECT_TRUE(fx->IsRunning());
  EXPECT_FLOAT_EQ(fx->GetLocus().Get().x, 130);
  EXPECT_FLOAT_EQ(fx->GetLocus().Get().y, 90);
  EXPECT_NEAR(fx->GetUp().Get().x, -1, 1e-6);  // turned a quarter: up points left
  EXPECT_NEAR(fx->GetUp().Get().y, 0, 1e-6);
  fx->GetDrawParams().matrix = TMat3::Identity();
  DrawFrame();
  EXPECT_EQ(fx->GetUp().Get().x, 0);
  EXPECT_EQ(fx->GetUp().Get().y, -1);
}

TEST_F(FxSprite, EffectsAdvanceInWholeStepsOnceDrawn) {
  auto fx = TFxSprite::Create(Counting, 0);
  mRoot->AddChild(fx);
  Step(50);
  EXPECT_EQ(Updates(*fx), 0);  // never drawn: in the task but standing still
  DrawFrame();
  Step(16);
  EXPECT_EQ(Updates(*fx), 1);
  // A stall advances four steps, not eight, and the rest of it is dropped.
  Step(100);
  EXPECT_EQ(Updates(*fx), 5);
  Step(12);
  EXPECT_EQ(Updates(*fx), 6);
  // Regression: at 60 frames per second the remainders added up to a fifth step in four
  // frames, and effects ran about 40% fast; each frame takes one step.
  for (int i = 0; i < 12; ++i) Step(i % 3 == 0 ? 16 : 17);
  EXPECT_EQ(Updates(*fx), 6 + 12);
  EXPECT_EQ(GlobalText(fx->GetSystem(), "gSeconds"), std::to_string(18 * 12 / 1000.0).substr(0, 5));
}

// Regression: frames less than 12 ms apart dropped their time, so above about 83 frames
// per second effects stood still. They add up until they make a step.
TEST_F(FxSprite, FramesShorterThanAStepStillAdvanceTheEffect) {
  auto fx = TFxSprite::Create(Counting, 0);
  mRoot->AddChild(fx);
  DrawFrame();
  for (int i = 0; i < 12; ++i) Step(8);  // 125 frames per second for 96 ms: a step every second frame
  EXPECT_EQ(Updates(*fx), 6);
  for (int i = 0; i < 12; ++i) Step(4);  // 250 frames per second for 48 ms: every third frame
  EXPECT_EQ(Updates(*fx), 6 + 4);
}

// Regression: an effect that is done takes itself out of its parent while the parent walks
// its children; the walk goes on with the next child, and nothing is touched after it goes.
TEST_F(FxSprite, AFinishedEffectLeavesItsParentDuringTheDraw) {
  std::vector<TRecordingTexture::TDraw> draws;
  auto fx = TFxSprite::Create("function Update(s) Done() end", 0);
  auto after = TSprite::Create(0, std::make_shared<TRecordingTexture>("after", 4, 4, &draws));
  mRoot->AddChild(fx);
  mRoot->AddChild(after);
  std::weak_ptr<TFxSprite> watch = fx;
  fx.reset();
  DrawFrame();
  Step(12);
  ASSERT_FALSE(watch.expired());
  EXPECT_TRUE(watch.lock()->GetSystem().IsDone());
  EXPECT_EQ(TFxSpriteAnimTask::GetInstance()->GetCount(), 0u);  // the task let it go
  draws.clear();
  DrawFrame();
  EXPECT_TRUE(watch.expired());
  EXPECT_EQ(mRoot->GetChildren().size(), 1u);
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0].name, "after");
}

TEST_F(FxSprite, EffectsAddEffectsFromTheirOwnFolder) {
  auto fx = TFxSprite::Create(GraphicsFixture("particles/spawner.lua"), 0);
  mRoot->AddChild(fx);
  ASSERT_EQ(fx->GetChildren().size(), 1u);
  auto child = std::dynamic_pointer_cast<TFxSprite>(fx->GetChildren().front());
  ASSERT_TRUE(child);
  EXPECT_EQ(child->GetSpec(), GraphicsFixture("particles/burst.lua"));
  EXPECT_EQ(child->GetLayer(), 2);
  EXPECT_EQ(child->GetDrawParams().matrix.m[2].x, 10);
  EXPECT_EQ(child->GetDrawParams().matrix.m[2].y, 5);
  EXPECT_EQ(TFxSprite::FromScript(fx->GetSystem().GetState(), 0), nullptr);
  lua_State* L = fx->GetSystem().GetState();
  lua_pushstring(L, "gChild");
  lua_rawget(L, LUA_GLOBALSINDEX);
  EXPECT_EQ(TFxSprite::FromScript(L, -1), child);
  lua_pop(L, 1);
  DrawFrame();
  Step(24);
  EXPECT_EQ(Updates(*fx), 2);
  EXPECT_GT(child->GetSystem().GetParticleCount(), 0);
}

TEST_F(FxSprite, EffectsAddEffectsInOneSharedScript) {
  SetConfig("lpsonescript", "1");
  auto fx = TFxSprite::Create(GraphicsFixture("particles/spawner.lua"), 0);
  mRoot->AddChild(fx);
  ASSERT_EQ(fx->GetChildren().size(), 1u);
  auto child = std::static_pointer_cast<TFxSprite>(fx->GetChildren().front());
  EXPECT_EQ(child->GetSystem().GetState(), fx->GetSystem().GetState());
  DrawFrame();
  Step(24);
  EXPECT_EQ(Updates(*fx), 2);
  EXPECT_GT(child->GetSystem().GetParticleCount(), 0);
  // What the parent's script did after adding the child reached the parent.
  EXPECT_EQ(fx->GetSystem().GetRecordSize(), 11u);
  EXPECT_EQ(fx->GetSystem().GetCollection().GetCapacity(), 1u);
}

// Regression: a spec without "/" was its own folder, so the effects it added were looked
// up under "<spec>/<child>".
TEST_F(FxSprite, AnEffectOutsideAnyFolderAddsEffectsByTheirOwnName) {
  WriteFileText(mRig.log.Folder() + "/parent.lua", "CreateFx{spec = 'child.lua'}");
  auto fx = TFxSprite::Create("user:parent.lua", 0);
  EXPECT_EQ(fx->GetDirectory().ToStd(), "");
  ASSERT_EQ(fx->GetChildren().size(), 1u);
  auto child = std::static_pointer_cast<TFxSprite>(fx->GetChildren().front());
  std::string log = mRig.log.Text();
  EXPECT_NE(log.find("cannot load effect child.lua"), std::string::npos) << log;
  EXPECT_EQ(log.find("parent.lua/child.lua"), std::string::npos) << log;
  // Lua text has no folder, whatever slashes it holds.
  auto text = TFxSprite::Create("gHalf = 1/2", 0);
  EXPECT_EQ(text->GetDirectory().ToStd(), "");
}

TEST_F(FxSprite, AnEffectThatDoesNotLoadRunsNothing) {
  auto fx = TFxSprite::Create(GraphicsFixture("particles/bad_syntax.lua"), 0);
  ASSERT_TRUE(fx);
  EXPECT_TRUE(fx->GetSpec().IsEmpty());
  EXPECT_EQ(TFxSpriteAnimTask::GetInstance()->GetCount(), 0u);
  EXPECT_NE(mRig.log.Text().find("bad_syntax.lua"), std::string::npos);
  // A reload with a good effect starts it afresh.
  EXPECT_TRUE(fx->Load(Counting, nullptr, true));
  EXPECT_EQ(TFxSpriteAnimTask::GetInstance()->GetCount(), 1u);
}

TEST_F(FxSprite, SparklesGolden) {
  TMat3 place = TMat3::Identity();
  place.m[2] = TVec3(80, 70, 1);
  EXPECT_EQ(PlayForGolden("sparkles.lua", {11, 22, 33, 44}, place, 26, 50), "");
}

TEST_F(FxSprite, SmokeGolden) {
  TMat3 place = TMat3::Rotation(0.3f);
  place.m[2] = TVec3(70, 105, 1);
  EXPECT_EQ(PlayForGolden("smoke.lua", {5, 4, 3, 2}, place, 75, 30), "");
}
