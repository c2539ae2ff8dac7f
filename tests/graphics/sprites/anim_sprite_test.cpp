// Animated sprites: the animation library and the sprite's script functions played as
// coroutines on a task list under the rig's clock.

#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/sprite_test_util.h"
#include "platform/task_list.h"
#include "script/lua/lua.h"
#include "script/script.h"
#include "script/script_code.h"

namespace {

// Functions of a test animation on the walk sheet (three frames).
const char* const TestScript =
    "function Fade() fadeout(4); frames{1,2,3,1,2,3,1,2}; end "
    "function Hold() frames{2}; WaitLuaNextFrame(); frames{3}; end "
    "function Leave() frames{2}; RemoveSprite(); SetAlpha(0.5); end "
    "function Twice() die(); die(); SetCurrentFrame(2); end "
    "function Roll() gSame = random(4, 4); gLow = random(1, 3); gHigh = random(1, 3); end "
    "function Layer() SetLayer(7); end "
    "gTopLevel = not pause(10)";

class AnimSprite : public ::testing::Test {
 protected:
  AnimSprite() {
    mRig.Window(64, 48);
    SetSpritePlatform({&mTasks, nullptr});
    std::string xml = "<sequence name=\"t\"><img name=\"" + GraphicsFixture("anim/walk.png").ToStd() +
                      "\"/><framelist><frame w=\"16\" h=\"16\"/><frame x=\"16\" w=\"16\" h=\"16\"/>"
                      "<frame x=\"32\" w=\"16\" h=\"16\"/></framelist><script>" +
                      TestScript + "</script></sequence>";
    WriteFileText(mRig.log.Folder() + "/test.xml", xml);
  }
  ~AnimSprite() override {
    mSprites.clear();
    SetSpritePlatform({});
  }

  std::shared_ptr<TAnimatedSprite> Make(const TString& animation) {
    auto sprite = TAnimatedSprite::Create(0);
    auto texture = TAnimatedTexture::Get(animation);
    EXPECT_NE(texture, nullptr) << animation.c_str();
    sprite->SetTexture(texture);
    mSprites.push_back(sprite);
    return sprite;
  }
  std::shared_ptr<TAnimatedSprite> MakeTest() { return Make("user:test.xml"); }
  // Lets time pass and runs the due tasks.
  void Step(uint32_t ms) {
    TDisplayRig::Advance(ms);
    mTasks.RunTasks(0);
  }
  std::string Global(TAnimatedSprite& sprite, const char* name) {
    lua_State* L = sprite.GetMainScript()->GetState();
    lua_pushstring(L, name);
    lua_gettable(L, LUA_GLOBALSINDEX);
    std::string value = lua_isnil(L, -1) ? "nil" : lua_isboolean(L, -1) ? (lua_toboolean(L, -1) ? "true" : "false")
                                                                        : lua_tostring(L, -1);
    lua_pop(L, 1);
    return value;
  }

  TDisplayRig mRig;
  TTaskList mTasks;
  std::vector<std::shared_ptr<TSprite>> mSprites;
};

TEST_F(AnimSprite, GeneratedScriptShowsEveryFrameFor60Milliseconds) {
  auto sprite = Make(GraphicsFixture("anim/blink.xml"));
  sprite->Play("DoAnim");
  EXPECT_EQ(sprite->GetFrame(), 0);
  EXPECT_TRUE(sprite->IsPlaying(0));
  std::vector<int> frames;
  for (int t = 10; t <= 200; t += 10) {
    Step(10);
    frames.push_back(sprite->GetFrame());
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2}));
  EXPECT_FALSE(sprite->IsPlaying(0));
}

TEST_F(AnimSprite, XmlAndChunkFilePlayTheSameFramesAtTheSameTimes) {
  auto xml = Make(GraphicsFixture("anim/walk.xml")), anm = Make(GraphicsFixture("anim/walk.anm"));
  for (const char* function : {"DoAnim", "Wave"}) {
    xml->Play(function);
    anm->Play(function);
    std::vector<std::pair<int, float>> fromXml, fromAnm;
    for (int t = 0; t < 500; t += 10) {
      fromXml.emplace_back(xml->GetFrame(), xml->GetDrawParams().alpha);
      fromAnm.emplace_back(anm->GetFrame(), anm->GetDrawParams().alpha);
      Step(10);
    }
    EXPECT_EQ(fromXml, fromAnm) << function;
    if (std::string(function) == "DoAnim") {
      // delay(40); frames{1,2,3,2}; pause(100); loop(2, {3,1})
      std::vector<int> expected;
      for (int t = 0; t < 500; t += 10) {
        static const int at[] = {0, 1, 2, 1, 1, 1, 2, 0, 2, 0};  // per 40 ms until 260, then the loop
        int frame = t < 160 ? at[t / 40] : t < 260 ? 1 : t < 420 ? ((t - 260) / 40 % 2 ? 0 : 2) : 0;
        expected.push_back(frame);
      }
      std::vector<int> seen;
      for (const auto& entry : fromXml) seen.push_back(entry.first);
      EXPECT_EQ(seen, expected);
    } else {
      // delay(20); fadeout(2); frames{2,3,1}: the alpha falls to 0.5 and 0 on the first two frames.
      EXPECT_EQ(fromXml[0], std::make_pair(1, 0.5f));
      EXPECT_EQ(fromXml[2], std::make_pair(2, 0.0f));
      EXPECT_EQ(fromXml[4], std::make_pair(0, 0.0f));
    }
    EXPECT_FALSE(xml->IsPlaying(0));
  }
}

TEST_F(AnimSprite, FadeOutLowersTheAlphaInEqualStepsOverItsFrames) {
  auto sprite = MakeTest();
  sprite->Play("Fade");
  std::vector<float> alphas;
  for (int i = 0; i < 8; ++i) {
    alphas.push_back(sprite->GetDrawParams().alpha);
    Step(16);
  }
  EXPECT_EQ(alphas, (std::vector<float>{0.75f, 0.5f, 0.25f, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Global(*sprite, "gTopLevel"), "true");  // a wait outside a coroutine returns at once
}

TEST_F(AnimSprite, PauseStopsDescendantsAndResumesOnlyWhereAsked) {
  auto parent = MakeTest(), child = MakeTest();
  parent->AddChild(child);
  parent->Play("Fade");
  child->Play("Fade");
  Step(16);
  ASSERT_EQ(parent->GetFrame(), 1);
  ASSERT_EQ(child->GetFrame(), 1);
  parent->Pause(true, -1);
  Step(100);
  EXPECT_EQ(parent->GetFrame(), 1);
  EXPECT_EQ(child->GetFrame(), 1);
  EXPECT_TRUE(parent->IsPlaying(0));  // paused in its wait, still suspended

  parent->Pause(false, 0);  // only the parent, one millisecond later
  Step(1);
  EXPECT_EQ(parent->GetFrame(), 2);
  EXPECT_EQ(child->GetFrame(), 1);

  // A sprite without a coroutine pauses nothing, not even its children.
  auto idle = MakeTest();
  auto busy = MakeTest();
  idle->AddChild(busy);
  busy->Play("Fade");
  idle->Pause(true, -1);
  Step(16);
  EXPECT_EQ(busy->GetFrame(), 1);
  EXPECT_FALSE(idle->IsPlaying(0));
  EXPECT_TRUE(idle->IsPlaying(1));  // through the child
}

TEST_F(AnimSprite, AWaitWithoutDelayHoldsUntilResumed) {
  auto sprite = MakeTest();
  sprite->Play("Hold");
  Step(16);
  EXPECT_EQ(sprite->GetFrame(), 1);
  Step(500);
  EXPECT_EQ(sprite->GetFrame(), 1);
  EXPECT_TRUE(sprite->IsPlaying(0));
  sprite->Pause(false, 0);
  Step(1);
  EXPECT_EQ(sprite->GetFrame(), 2);
  Step(16);
  EXPECT_FALSE(sprite->IsPlaying(0));
}

TEST_F(AnimSprite, FramesOutOfRangeAndEmptyPlays) {
  auto sprite = MakeTest();
  sprite->SetCurrentFrame(-2);
  EXPECT_EQ(sprite->GetFrame(), 0);
  sprite->SetCurrentFrame(5);  // kept by the sprite, not by the texture
  EXPECT_EQ(sprite->GetFrame(), 5);
  sprite->SetCurrentFrame(-1);
  TRect r;
  sprite->GetRect(r, TSpriteDrawParams(TVec2(0, 0), 1, 1, 0), -1);
  EXPECT_EQ(r.Width(), 0);  // no frame: nothing of the texture
  EXPECT_EQ(sprite->GetAnimatedTexture()->GetCurrentFrame(), -1);

  sprite->Play("");  // the script and a coroutine, nothing run
  EXPECT_NE(sprite->GetMainScript(), nullptr);
  EXPECT_FALSE(sprite->IsPlaying(0));

  mRig.log.TakeNew();
  sprite->Play("Missing");
  EXPECT_NE(mRig.log.TakeNew().find("TAnimatedSprite::Play: lua_resume error:"), std::string::npos);
  EXPECT_FALSE(sprite->IsPlaying(0));
}

TEST_F(AnimSprite, APlainTextureLeavesNothingToPlay) {
  auto sprite = TAnimatedSprite::Create(0);
  auto plain = PaintTexture(4, 4, [](uint32_t, uint32_t) { return 0xFFFFFFFFu; });
  sprite->SetTexture(plain);
  EXPECT_EQ(sprite->GetAnimatedTexture(), nullptr);
  EXPECT_EQ(sprite->GetTexture(), plain);
  sprite->Play("DoAnim");
  EXPECT_EQ(sprite->GetMainScript(), nullptr);
  EXPECT_STREQ(sprite->GetClassName(), "TAnimatedSprite");
  EXPECT_TRUE(sprite->IsKindOf(TSprite::ClassId()));
}

// "Random" with equal bounds used to divide by zero.
TEST_F(AnimSprite, RandomWithEqualBoundsGivesThatBound) {
  auto sprite = MakeTest();
  EXPECT_EQ(sprite->Random(4, 4), 4u);
  EXPECT_EQ(sprite->Random(-2, -2), uint32_t(-2));
  for (int i = 0; i < 20; ++i) {
    uint32_t value = sprite->Random(10, 13);
    EXPECT_GE(value, 10u);
    EXPECT_LT(value, 13u);
  }
  sprite->Play("Roll");
  EXPECT_EQ(Global(*sprite, "gSame"), "4");
  for (const char* name : {"gLow", "gHigh"}) EXPECT_TRUE(Global(*sprite, name) == "1" || Global(*sprite, name) == "2");
}

TEST_F(AnimSprite, ScriptFunctionsReachTheirOwnSprite) {
  auto root = TSprite::Create(0);
  auto a = MakeTest(), b = MakeTest();
  root->AddChild(a);
  root->AddChild(b);
  a->Play("Layer");
  EXPECT_EQ(a->GetLayer(), 7);
  EXPECT_EQ(b->GetLayer(), 0);
  EXPECT_EQ(root->GetChildren().back(), a);  // re-sorted by the new layer

  // Stopping twice in one run keeps the running coroutine until it has finished.
  b->Play("Twice");
  EXPECT_EQ(b->GetFrame(), 2);
  EXPECT_EQ(b->GetMainScript(), nullptr);
  Step(100);
  b->Play("Hold");  // a new script
  EXPECT_EQ(b->GetFrame(), 1);
}

TEST_F(AnimSprite, ASpriteRemovingItselfStaysSafeForItsScript) {
  auto root = TSprite::Create(0);
  std::weak_ptr<TAnimatedSprite> watch;
  {
    auto sprite = MakeTest();
    root->AddChild(sprite);
    watch = sprite;
    sprite->Play("Leave");  // waits after its first frame
    mSprites.clear();
  }
  // Only the parent holds the sprite now. "Leave" takes it out of its parent, so it goes
  // during that call; the script's next function must find it gone, not freed memory.
  mRig.log.TakeNew();
  Step(16);
  EXPECT_TRUE(root->GetChildren().empty());
  EXPECT_TRUE(watch.expired());
  EXPECT_NE(mRig.log.TakeNew().find("the object behind this function no longer exists"), std::string::npos);
  Step(16);  // nothing of it runs any more
}

TEST_F(AnimSprite, RunPlaysAnotherAnimationFile) {
  auto sprite = MakeTest();
  std::shared_ptr<TTexture> drawn = sprite->GetTexture();
  sprite->Play("");
  TString chunk = "function Chain() run{'" + GraphicsFixture("anim/walk.xml") + "', anim = 'Wave'}; end";
  ASSERT_TRUE(sprite->GetMainScript()->DoLuaString(chunk));
  sprite->Play("Chain");
  ASSERT_NE(sprite->GetAnimatedTexture(), nullptr);
  EXPECT_EQ(sprite->GetAnimatedTexture()->GetAnimation().name, "walk");
  EXPECT_EQ(sprite->GetTexture(), drawn);  // what the sprite draws stays as it was
  EXPECT_EQ(sprite->GetFrame(), 1);         // Wave: frames{2,3,1} at 20 ms
  EXPECT_EQ(sprite->GetDrawParams().alpha, 0.5f);
  Step(20);
  EXPECT_EQ(sprite->GetFrame(), 2);
  EXPECT_EQ(sprite->GetScript(), sprite->GetAnimatedTexture()->GetScript());

  mRig.log.TakeNew();
  ASSERT_TRUE(sprite->GetMainScript()->DoLuaString("gLoaded = Load('missing', '', '')"));
  EXPECT_EQ(Global(*sprite, "gLoaded"), "false");
  EXPECT_EQ(sprite->GetAnimatedTexture(), nullptr);
  EXPECT_EQ(sprite->GetScript(), "");
}

// Regression: the first animated sprite replaced the process-wide search path for good, so
// later scripts no longer found "assets/?" and "../?".
TEST_F(AnimSprite, AnAnimationsFolderReachesOnlyItsOwnScript) {
  SetScriptSearchPath("assets/?;?;../?;../../?");
  auto sprite = MakeTest();
  sprite->Play("");
  ASSERT_TRUE(sprite->GetMainScript()->DoLuaString("gPath = LUA_PATH"));
  ASSERT_NE(sprite->GetAnimatedTexture(), nullptr);
  TString folder = sprite->GetAnimatedTexture()->GetFolder();
  EXPECT_EQ(Global(*sprite, "gPath"), ("?;?.lua;scripts/?;scripts/?.lua;" + folder + "?;" + folder +
                                       "?.lua;assets/?;?;../?;../../?").ToStd());
  EXPECT_STREQ(GetScriptSearchPath().c_str(), "assets/?;?;../?;../../?");
  TScript other;
  ASSERT_TRUE(other.DoLuaString("gPath = LUA_PATH"));
  lua_pushstring(other.GetState(), "gPath");
  lua_gettable(other.GetState(), LUA_GLOBALSINDEX);
  EXPECT_STREQ(lua_tostring(other.GetState(), -1), "assets/?;?;../?;../../?");
  lua_pop(other.GetState(), 1);
}

TEST_F(AnimSprite, BoundingBoxFollowsTheFrameRegistrationPoint) {
  auto sprite = Make(GraphicsFixture("anim/walk.xml"));
  sprite->SetDrawParams(TSpriteDrawParams(TVec2(30, 30), 1, 1, 0));
  sprite->SetCurrentFrame(1);  // registration (8, 15)
  TRect r;
  sprite->GetRect(r, TSpriteDrawParams(TVec2(0, 0), 1, 1, 0), -1);
  EXPECT_EQ(r, TRect(22, 15, 38, 31));
  EXPECT_FALSE(sprite->GetDrawParams().flags & SpriteAnchored);
  EXPECT_TRUE(sprite->HitTest(TPoint(30, 25), 255, TSpriteDrawParams(TVec2(0, 0), 1, 1, 0), -1));
  EXPECT_FALSE(sprite->HitTest(TPoint(23, 25), 1, TSpriteDrawParams(TVec2(0, 0), 1, 1, 0), -1));
}

}  // namespace
