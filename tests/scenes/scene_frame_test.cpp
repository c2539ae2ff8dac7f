// The scene's frame step and its overlays: ambient sound, input block, info box, next-item
// box, darkness, exit glows, and the overlay operations scripts call.

#include <gtest/gtest.h>

#include <string>

#include "model/scene_exit.h"
#include "model/textbox.h"
#include "platform/random.h"
#include "platform/settings.h"
#include "scene_window_test_util.h"
#include "scenes/scene.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "sound/sound.h"
#include "windows/image_window.h"

namespace {

using SceneFrame = TSceneWindowTest;

// The first ambient sound plays once the ambient clock has passed 2000 ms, each later one
// a pause of minLoop to maxLoop seconds plus the sound's length after the one before.
// Reversed bounds are taken in their order; equal bounds (absent ones: 0 and 0) give that
// pause. Loading a saved game leaves the bounds unset, which must work too.
TEST_F(SceneFrame, TheAmbientSoundLoopsWithPausesBetweenItsBounds) {
  struct TCase {
    int32_t minLoop, maxLoop, low, high;
  };
  const TCase cases[] = {{3, 5, 3, 5}, {5, 3, 3, 5}, {0, 0, 0, 0}, {4, 4, 4, 4}};
  for (const TCase& c : cases) {
    Model().SetAtmo(ToneSound().c_str());
    Model().SetMinLoop(c.minLoop);
    Model().SetMaxLoop(c.maxLoop);
    TScene* scene = OpenScene();
    std::shared_ptr<TSound> tone = scene->GetSound(ToneSound().c_str());
    ASSERT_NE(tone, nullptr);
    // The ambient clock starts with the first frame.
    Frames(80);
    EXPECT_EQ(tone->GetInstanceCount(), 0u) << c.minLoop;
    Frames(2);
    EXPECT_EQ(tone->GetInstanceCount(), 1u) << c.minLoop;
    uint32_t delay = scene->GetNextAtmoDelay();
    EXPECT_GE(delay, uint32_t(c.low * 1000 + 200)) << c.minLoop;
    EXPECT_LE(delay, uint32_t(c.high * 1000 + 200)) << c.minLoop;
    // The next one plays after the pause (the test stops the first copy to see it start).
    tone->StopAll();
    int frames = 0;
    while (tone->GetInstanceCount() == 0 && frames < 400) {
      Frames(1);
      frames++;
    }
    EXPECT_NEAR(frames * 25, int(delay), 50) << c.minLoop;
    tone->StopAll();
    Manager().PopModal();
  }
}

// BlockInput swallows clicks at once; the inactive cursor shows on the first frame after
// the block's start and the normal one returns once the block's time is over.
TEST_F(SceneFrame, AnInputBlockSwallowsClicksAndShowsTheInactiveCursorForItsTime) {
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId("exit");
  exit->SetCorner(1, 0, 0), exit->SetCorner(2, 100, 0), exit->SetCorner(3, 100, 100), exit->SetCorner(4, 0, 100);
  exit->SetNextScene(120002);
  Model().AddSceneExit(std::move(exit));
  TScene* scene = OpenScene();
  Frames(2);
  EXPECT_EQ(Lua("BlockInput(100, 500)"), "");
  Click(50, 50);
  EXPECT_TRUE(mFlow.calls.size() == 1) << "the click reached no exit";
  EXPECT_EQ(scene->GetCursorStyle(), 8) << "a swallowed click shows the inactive cursor";
  scene->SetCursorStyle(2);
  Frames(4);
  EXPECT_EQ(scene->GetCursorStyle(), 2) << "the block has not begun";
  Frames(1);
  EXPECT_EQ(scene->GetCursorStyle(), 8);
  Frames(20);
  EXPECT_TRUE(scene->IsInputBlocked());
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsInputBlocked(); }, 10));
  EXPECT_EQ(scene->GetCursorStyle(), 2);
  Click(50, 50);
  EXPECT_EQ(mFlow.calls.back(), "go:120002:1");
}

// The info box stays for "infoboxDisplayTime", then fades by "infoboxTransModifier" a frame
// and stops its clock at 0; with info text at the cursor it stands below the cursor image.
TEST_F(SceneFrame, TheInfoBoxShowsItsTimeThenFadesAndFollowsTheCursor) {
  Solid("pics/box.png", 60, 20, 0xFF303030);
  Solid("pics/cursor.png", 8, 32, 0xFFFFFFFF);
  SetConfig("infoboxTexture", "pics/box");
  SetConfig("infoboxDisplayTime", "200");
  SetConfig("infoboxTransModifier", "0.25");
  SetConfig("infoboxDistanceCursorX", "10");
  SetConfig("infoboxDistanceCursorY", "4");
  SetConfig("assetCursorHW", "pics/cursor");
  Model().SetInfoTextAtCursor(true);
  TScene* scene = OpenScene();
  Frames(2);
  mFlow.mouse = TPoint(40, 50);
  scene->ShowInfoBox("Hallo");
  EXPECT_EQ(Image("shorttextBg")->GetRect().left, 50);
  EXPECT_EQ(Image("shorttextBg")->GetRect().top, 50 + 4 + 32);
  EXPECT_EQ(Textbox("shorttextText")->GetText(), "Hallo");
  Frames(7);
  EXPECT_EQ(Image("shorttextBg")->GetAlpha(), 1.0f);
  mFlow.mouse = TPoint(80, 60);
  std::vector<float> alphas;
  for (int i = 0; i < 6; i++) {
    Frames(1);
    alphas.push_back(Image("shorttextBg")->GetAlpha());
    if (i == 0) {
      EXPECT_EQ(Image("shorttextBg")->GetRect().left, 90) << "the box follows the cursor";
    }
  }
  EXPECT_EQ(alphas, (std::vector<float>{0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f}));
}

// "ShowNextInvItem" puts the box at (0, 710) transparent; after the offset it shows and
// slides right and up at ten times the modifier a frame; an axis whose resting place lies
// behind the box snaps at once, and the slide ends at the resting place.
TEST_F(SceneFrame, TheNextItemBoxWaitsSlidesAndSnapsToItsPlace) {
  SetConfig("advNextSearchedItemOffset", "100");
  SetConfig("advNextSearchedItemPosX", "0");
  SetConfig("advNextSearchedItemPosY", "640");
  SetConfig("advNextSearchedItemMovementModifier", "3");
  SetConfig("advNextSearchedItemBorderLeft", "5");
  SetConfig("advNextSearchedItemBorderTop", "6");
  SetConfig("advNextSearchedItemAlpha", "0.5");
  TScene* scene = OpenScene();
  Frames(2);
  EXPECT_EQ(Lua("ShowNextInvItem('pics/none', 'pics/none')"), "");
  EXPECT_EQ(Image("nsiBackground")->GetRect().left, 0);
  EXPECT_EQ(Image("nsiBackground")->GetRect().top, 710);
  EXPECT_EQ(Image("nsiinvItem")->GetRect().top, 716);
  Frames(4);
  EXPECT_EQ(Image("nsiBackground")->GetAlpha(), 0.0f);
  Frames(1);
  EXPECT_EQ(Image("nsiBackground")->GetAlpha(), 1.0f);
  EXPECT_EQ(Image("nsiinvItem")->GetAlpha(), 0.5f);
  EXPECT_EQ(Image("nsiBackground")->GetRect().top, 680);
  ASSERT_TRUE(FramesUntil([&] { return !scene->IsNextItemBoxActive(); }, 10));
  EXPECT_EQ(Image("nsiBackground")->GetRect().top, 640);
  EXPECT_EQ(Image("nsiinvItem")->GetRect().left, 5);
  // A killed box stays hidden, also while it would still slide.
  EXPECT_EQ(Lua("ShowNextInvItem('pics/none', 'pics/none') KillNextInvItem()"), "");
  Frames(10);
  EXPECT_EQ(Image("nsiBackground")->GetAlpha(), 0.0f);
}

// The transition alpha follows the script's 0 to 255 once the scene has started; values
// outside are taken as the nearer end (a negative one made the overlay glow past opaque).
TEST_F(SceneFrame, TheTransitionAlphaTakesZeroTo255) {
  TScene* scene = OpenScene();
  Frames(3);
  struct TCase {
    const char* value;
    float alpha;
  };
  for (const TCase& c : {TCase{"255", 1.0f}, TCase{"51", 0.2f}, TCase{"-5", 0.0f}, TCase{"300", 1.0f}}) {
    EXPECT_EQ(Lua(std::string("SetTransitionAlpha(") + c.value + ")"), "");
    EXPECT_FLOAT_EQ(Image("transition")->GetAlpha(), c.alpha) << c.value;
  }
  // A finished scene leaves the overlay to its fade.
  EXPECT_EQ(Lua("SetTransitionAlpha(0) Skip() SetTransitionAlpha(255)"), "");
  EXPECT_EQ(Image("transition")->GetAlpha(), 0.0f);
  EXPECT_TRUE(scene->IsSceneFinished());
}

// The sky, the text boxes' alpha and the darkness follow the scripts.
TEST_F(SceneFrame, SkyTextBoxesAndDarknessFollowTheScripts) {
  Solid("pics/sky.png", 30, 10, 0xFF3050A0);
  for (int i = 0; i < 2; i++) Model().AddTextbox(std::make_unique<CTextbox>());
  OpenScene("SceneWindow", "Text{ name = 'text2', w = 10, h = 10 }");
  Frames(2);
  EXPECT_EQ(Lua("SetSky('pics/sky', false)"), "");
  EXPECT_EQ(Image("skyinfrontofhint")->GetAlpha(), 0.0f);
  EXPECT_EQ(Image("skybehindhint")->GetWidth(), 30) << "the texture comes all the same";
  EXPECT_EQ(Lua("SetSky('pics/sky', true)"), "");
  EXPECT_EQ(Image("skyinfrontofhint")->GetAlpha(), 1.0f);

  EXPECT_EQ(Lua("SetAllTextBoxesAlpha(0.5)"), "");
  EXPECT_FLOAT_EQ(Textbox("text0")->GetAlpha(), 0.5f);
  EXPECT_FLOAT_EQ(Textbox("text1")->GetAlpha(), 0.5f);

  EXPECT_EQ(Lua("SetAlphaOfBlack(60)"), "");
  Frames(1);
  EXPECT_FLOAT_EQ(Image("darkness")->GetAlpha(), 0.6f);
}

// Space stamps the active exits that have an image; while the stamp is recent the exit's
// sprite glows, with one glow made for it however many frames pass; then the glow goes.
TEST_F(SceneFrame, SpaceMakesTheExitsGlowForAMoment) {
  Disc("pics/door.png", 20, 0xC08040);
  WriteAsset("fx/glow.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/glow.lua"));
  SetConfig("scriptBlurFX", "fx/glow.lua");
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId("door");
  exit->SetImage("pics/door");
  exit->SetCorner(1, 0, 0), exit->SetCorner(2, 5, 0), exit->SetCorner(3, 5, 5), exit->SetCorner(4, 0, 5);
  Model().AddSceneExit(std::move(exit));
  TScene* scene = OpenScene();
  scene->GetSpriteWindow()->AddSprite(GeneralSprite("pics/door", 10, 10, 0, 28, "door", 1.0f, 0));
  int32_t index = 0;
  ASSERT_TRUE(scene->GetSpriteWindow()->FindSprite("door", index));
  std::shared_ptr<TSprite> door = scene->GetSpriteWindow()->GetSprite(index).GetCurrentSprite();
  Frames(2);
  TSpriteAnimator& animator = *TSpriteAnimator::GetInstance();
  EXPECT_EQ(animator.GetGlow(door.get()), nullptr);
  Send(EventChar, 0, 0, ' ');
  Frames(1);
  const auto* glow = animator.GetGlow(door.get());
  ASSERT_NE(glow, nullptr);
  Frames(10);
  EXPECT_EQ(animator.GetGlow(door.get()), glow);
  EXPECT_EQ(animator.GetGlowCount(), 1u);
  sWallTime += 3;
  mFlow.mouse = TPoint(100, 100);
  Frames(1);
  EXPECT_EQ(animator.GetGlow(door.get()), nullptr);
}

}  // namespace
