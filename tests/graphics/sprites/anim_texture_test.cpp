// Animated textures: both description forms, the generated script, frame selection and
// drawing, the asset cache, and broken ".anm" files refused with a log line.

#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/renderer.h"
#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/sprite_test_util.h"

namespace {

class AnimTexture : public ::testing::Test {
 protected:
  AnimTexture() { mRig.Window(64, 48); }

  std::shared_ptr<TAnimatedTexture> Load(const char* fixture) {
    return TAnimatedTexture::Get(GraphicsFixture(fixture));
  }
  // An ".xml" description in the temporary folder, drawn on the fixture sheet.
  std::shared_ptr<TAnimatedTexture> LoadXmlText(const std::string& frames, const std::string& name = "test.xml") {
    std::string xml = "<sequence name=\"t\"><img name=\"" + GraphicsFixture("anim/walk.png").ToStd() + "\"/>" +
                      frames + "</sequence>";
    EXPECT_TRUE(WriteFileText(mRig.log.Folder() + "/" + name, xml));
    return TAnimatedTexture::Get(TString("user:") + name.c_str());
  }
  void DrawAt(TTexture& texture, float x, float y, uint32_t flags) {
    FillBack(mRig.Display(), 0xFF000000u);
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin2d());
    texture.DrawSprite(TSpriteDrawParams(TVec2(x, y), 1.0f, 1.0f, flags));
    renderer->End2d();
    renderer->EndDraw(false);
  }

  TDisplayRig mRig;
};

void ExpectSameAnimation(const TAnimationData& a, const TAnimationData& b, bool sameAlpha) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.imageName, b.imageName);
  EXPECT_EQ(a.maskName, b.maskName);
  EXPECT_EQ(a.script, b.script);
  EXPECT_EQ(a.folder, b.folder);
  EXPECT_EQ(std::tie(a.regX, a.regY, a.sheetWidth, a.sheetHeight, a.maxFrameWidth, a.maxFrameHeight),
            std::tie(b.regX, b.regY, b.sheetWidth, b.sheetHeight, b.maxFrameWidth, b.maxFrameHeight));
  ASSERT_EQ(a.FrameCount(), b.FrameCount());
  for (size_t i = 0; i < a.frames.size(); ++i) {
    const TAnimationFrame &f = a.frames[i], &g = b.frames[i];
    EXPECT_EQ(f.name, g.name) << i;
    EXPECT_EQ(std::tie(f.x, f.y, f.w, f.h, f.regX, f.regY), std::tie(g.x, g.y, g.w, g.h, g.regX, g.regY)) << i;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(f.xform[k], g.xform[k]) << i;
    if (sameAlpha) {
      EXPECT_EQ(f.alpha, g.alpha) << i;
    }
    ASSERT_EQ(f.anchors.size(), g.anchors.size()) << i;
    for (size_t k = 0; k < f.anchors.size(); ++k) {
      EXPECT_EQ(f.anchors[k].name, g.anchors[k].name);
      EXPECT_EQ(f.anchors[k].x, g.anchors[k].x);
      EXPECT_EQ(f.anchors[k].y, g.anchors[k].y);
    }
  }
}

TEST_F(AnimTexture, XmlAndChunkFileDescribeTheSameAnimation) {
  auto xml = Load("anim/walk.xml"), anm = Load("anim/walk.anm"), v1 = Load("anim/walk_v1.anm");
  ASSERT_TRUE(xml && anm && v1);
  const TAnimationData& a = xml->GetAnimation();
  EXPECT_EQ(a.FrameCount(), 3);
  EXPECT_EQ(a.frames[1].anchors.size(), 2u);
  EXPECT_EQ(a.frames[2].alpha, 0.5f);
  EXPECT_EQ(a.frames[2].xform[4], 2.0f);
  EXPECT_FALSE(a.frames[0].HasTransform());
  EXPECT_EQ(a.sheetWidth, 48);
  EXPECT_EQ(xml->GetFolder(), GraphicsFixture("anim/"));
  ExpectSameAnimation(a, anm->GetAnimation(), true);
  // Version 1 keeps no frame alpha (1.0) and has four unused numbers after the sizes.
  ExpectSameAnimation(a, v1->GetAnimation(), false);
  for (const TAnimationFrame& f : v1->GetAnimation().frames) EXPECT_EQ(f.alpha, 1.0f);
  EXPECT_STREQ(xml->GetClassName(), "TAnimatedTexture");
  EXPECT_TRUE(xml->IsKindOf(TTexture::ClassId()));
  EXPECT_TRUE(xml->IsKindOf(TAsset::ClassId()));
}

TEST_F(AnimTexture, ANameWithoutExtensionFindsTheXmlFirstAndWithoutScriptOneIsMade) {
  auto blink = Load("anim/blink");
  ASSERT_NE(blink, nullptr);
  EXPECT_EQ(blink->GetAnimation().source, "made by make_sprite_fixtures");  // not the "(anm)" one
  EXPECT_EQ(blink->GetScript(), "function DoAnim()\n    delay(60);\n    frames{1,2,3};\nend\n");
  EXPECT_EQ(Load("anim/blink.anm")->GetScript(), blink->GetScript());
  EXPECT_EQ(TAnimatedTexture::MakeDefaultScript(0), "function DoAnim()\n    delay(60);\nend\n");
  EXPECT_EQ(Load("anim/nothing"), nullptr);
}

TEST_F(AnimTexture, CachedPerFileAndOverrides) {
  auto first = Load("anim/walk.xml");
  EXPECT_EQ(Load("anim/walk.xml"), first);
  TString door = GraphicsFixture("sprites/door.png");
  auto other = TAnimatedTexture::Get(GraphicsFixture("anim/walk.xml"), door, TString());
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, first);
  EXPECT_EQ(other->GetAnimation().imageName, door);
  EXPECT_EQ(TAnimatedTexture::Get(GraphicsFixture("anim/walk.xml"), "missing.png", TString()), nullptr);
  EXPECT_EQ(TAnimatedTexture::GetDirectory("a/b\\c.xml"), "a/b\\");
  EXPECT_EQ(TAnimatedTexture::GetDirectory("c.xml"), "");
}

TEST_F(AnimTexture, XmlFramesInheritRegistrationAndTransform) {
  auto texture = LoadXmlText(
      R"(<framelist><frame w="4" h="4"/><frame regx="3" regy="5" xform="1 0 0 1 7 8"/><frame/>)"
      R"(<frame xform="2 0.5"/><frame xform=""/><other/></framelist>)");
  ASSERT_NE(texture, nullptr);
  const auto& frames = texture->GetAnimation().frames;
  ASSERT_EQ(frames.size(), 5u);  // only "frame" children count
  EXPECT_EQ(std::make_pair(frames[0].regX, frames[0].regY), std::make_pair(0, 0));
  EXPECT_EQ(std::make_pair(frames[2].regX, frames[2].regY), std::make_pair(3, 5));
  EXPECT_FALSE(frames[0].HasTransform());
  EXPECT_EQ(frames[2].xform[5], 8.0f);  // the previous frame's transform
  // Fewer than six numbers: the rest keep their standard values.
  EXPECT_EQ(frames[3].xform[0], 2.0f);
  EXPECT_EQ(frames[3].xform[1], 0.5f);
  EXPECT_EQ(frames[3].xform[4], 0.0f);
  EXPECT_EQ(frames[4].xform[1], 0.5f);  // an empty transform takes the one before
  EXPECT_EQ(texture->GetAnimation().maxFrameWidth, 4);
}

TEST_F(AnimTexture, IncompleteXmlIsRefusedWithItsReasons) {
  struct TCase {
    const char* xml;
    const char* logged;
  } cases[] = {
      {"<nothing/>", "does not contain a sequence node"},
      {"<sequence><framelist><frame/></framelist></sequence>", "does not contain an img node"},
      {R"(<sequence><img name="x.png"/></sequence>)", "does not contain a framelist node"},
      {R"(<sequence><img name="x.png"/><framelist><anchor/></framelist></sequence>)", "does not contain any frames!"},
  };
  int n = 0;
  for (const TCase& c : cases) {
    std::string name = "broken" + std::to_string(n++) + ".xml";
    ASSERT_TRUE(WriteFileText(mRig.log.Folder() + "/" + name, c.xml));
    mRig.log.TakeNew();
    EXPECT_EQ(TAnimatedTexture::Get(TString("user:") + name.c_str()), nullptr) << c.logged;
    std::string logged = mRig.log.TakeNew();
    EXPECT_NE(logged.find(c.logged), std::string::npos) << logged;
    EXPECT_NE(logged.find(name), std::string::npos) << logged;
  }
}

// The counts and lengths of ".anm" files used to be read unchecked.
TEST_F(AnimTexture, BrokenChunkFilesAreRefusedWithALogLine) {
  struct TCase {
    const char* file;
    const char* logged;
  } cases[] = {
      {"anim/cut_header.anm", "is cut short in its header"},
      {"anim/name_overrun.anm", "is cut short in its header"},
      {"anim/frame_count_overrun.anm", "claims 100000 frames"},
      {"anim/negative_frame_count.anm", "claims -3 frames"},
      {"anim/anchor_count_overrun.anm", "claims 50000000 anchors"},
      {"anim/cut_in_frame.anm", "is cut short in a frame"},
      {"anim/script_overrun.anm", "is cut short in its script"},
      {"anim/wrong_tag.anm", "lacks its ANIM tag"},
  };
  for (const TCase& c : cases) {
    mRig.log.TakeNew();
    EXPECT_EQ(Load(c.file), nullptr) << c.file;
    std::string logged = mRig.log.TakeNew();
    EXPECT_NE(logged.find(c.logged), std::string::npos) << c.file << ": " << logged;
    EXPECT_NE(logged.find(c.file), std::string::npos) << c.file << ": " << logged;
  }
}

TEST_F(AnimTexture, WrongFrameOrScriptTagsEndTheFileEarly) {
  std::string sheet = GraphicsFixture("anim/walk.png").ToStd();
  auto head = [&]() {
    TByteWriter w;
    w.Tag("ANIM").S32(0).S32(2).Str("n").Str("").Tag("IMGN").S32(0).S32(0).S32(48).S32(16).Str(sheet).Str("");
    return w;
  };
  TByteWriter noFrames = head();
  noFrames.Tag("FRMX").S32(99);
  ASSERT_TRUE(WriteFileBytes(mRig.log.Folder() + "/noframes.anm", noFrames.Bytes()));
  auto empty = TAnimatedTexture::Get("user:noframes.anm");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetFrameCount(), 0);
  EXPECT_EQ(empty->GetScript(), "");

  TByteWriter noScript = head();
  noScript.Tag("FRMS").S32(1).S32(0).S32(0).S32(0).S32(0).S32(16).S32(16).F32(1);
  noScript.F32(NoFrameTransform).F32(0).F32(0).F32(0).F32(0).F32(0).Str("f").S32(0);
  noScript.Tag("SCRX").Str("function DoAnim() end");
  ASSERT_TRUE(WriteFileBytes(mRig.log.Folder() + "/noscript.anm", noScript.Bytes()));
  auto generated = TAnimatedTexture::Get("user:noscript.anm");
  ASSERT_NE(generated, nullptr);
  EXPECT_EQ(generated->GetScript(), TAnimatedTexture::MakeDefaultScript(1));
}

TEST_F(AnimTexture, CurrentFrameBoundsSizesAndRectangles) {
  auto texture = Load("anim/walk.xml");
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->GetCurrentFrame(), 0);
  texture->SetCurrentFrame(3);  // the frame count: ignored
  EXPECT_EQ(texture->GetCurrentFrame(), 0);
  texture->SetCurrentFrame(-2);
  EXPECT_EQ(texture->GetCurrentFrame(), 0);
  texture->SetCurrentFrame(2);
  EXPECT_EQ(texture->GetWidth(), 16u);
  EXPECT_EQ(texture->GetFrameRect(2), TRect(32, 0, 48, 16));
  EXPECT_EQ(texture->GetFrameRect(3), TRect());
  EXPECT_EQ(texture->GetFrameRegistration(1).y, 15.0f);
  EXPECT_EQ(texture->GetFrameRegistration(-1).y, 0.0f);
  texture->SetCurrentFrame(-1);
  EXPECT_EQ(texture->GetWidth(), 0u);
  EXPECT_EQ(texture->GetHeight(), 0u);
  DrawAt(*texture, 30, 30, 0);
  EXPECT_EQ(mRig.Back(30, 25), 0xFF000000u);  // no frame, nothing drawn
}

TEST_F(AnimTexture, DrawsTheCurrentFrameByItsRegistrationPoint) {
  // One frame of the green figure (columns 4-11 of 16, rows 2-15) registered at (2, 15).
  auto texture = LoadXmlText(R"(<framelist><frame x="16" w="16" h="16" regx="2" regy="15"/></framelist>)", "one.xml");
  ASSERT_NE(texture, nullptr);
  DrawAt(*texture, 30, 30, 0);  // the frame spans x 28..44, y 15..31
  EXPECT_EQ(mRig.Back(37, 25), 0xFF30B040u);
  EXPECT_EQ(mRig.Back(23, 25), 0xFF000000u);
  EXPECT_EQ(mRig.Back(37, 16), 0xFF000000u);  // rows 0-1 of the frame are empty
  // Mirrored, the registration point moves to 16 - 2 = 14: the figure lies left of x.
  DrawAt(*texture, 30, 30, SpriteMirrorX);
  EXPECT_EQ(mRig.Back(37, 25), 0xFF000000u);
  EXPECT_EQ(mRig.Back(23, 25), 0xFF30B040u);

  // The fixture's third frame: transform moves it by (2, -1), alpha halves it.
  auto walk = Load("anim/walk.xml");
  walk->SetCurrentFrame(2);
  DrawAt(*walk, 30, 30, 0);  // registration (8, 14) moved by (2, -1): the blue body spans x 28..35
  uint32_t half = mRig.Back(34, 25);
  EXPECT_EQ(mRig.Back(25, 25), 0xFF000000u);
  EXPECT_GT(half & 0xFF, 0x60u);
  EXPECT_LT(half & 0xFF, 0x70u);
}

}  // namespace
