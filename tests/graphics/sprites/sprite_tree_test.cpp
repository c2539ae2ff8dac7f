// The sprite tree without a display: drawing order, composition of the draw records,
// bounding boxes, tree changes and the live count. Textures here only record their draws.

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/sprites/sprite.h"
#include "graphics/sprites/sprite_test_util.h"
#include "platform/settings.h"

namespace {

class SpriteTree : public ::testing::Test {
 protected:
  std::shared_ptr<TSprite> Textured(const char* name, int32_t layer, uint32_t w = 10, uint32_t h = 10) {
    return TSprite::Create(layer, std::make_shared<TRecordingTexture>(name, w, h, &mDraws));
  }
  std::string Order() const {
    std::string order;
    for (const auto& draw : mDraws) order += (order.empty() ? "" : " ") + draw.name;
    return order;
  }
  static TSpriteDrawParams Root() { return TSpriteDrawParams(TVec2(0, 0), 1.0f, 1.0f, 0); }

  std::vector<TRecordingTexture::TDraw> mDraws;
};

TEST_F(SpriteTree, DrawsByLayerWithEqualLayersInTheOrderOfAdding) {
  auto parent = Textured("parent", 0);
  for (auto [name, layer] : {std::pair{"three", 3}, {"minus1", -1}, {"zeroA", 0}, {"minus2", -2}, {"zeroB", 0}})
    parent->AddChild(Textured(name, layer));
  parent->Draw(Root(), -1);
  EXPECT_EQ(Order(), "minus2 minus1 parent zeroA zeroB three");

  // A new layer re-sorts the parent's list at once; a child moved to an equal layer goes
  // behind the ones already there.
  mDraws.clear();
  std::shared_ptr<TSprite> minus2 = parent->GetChildren().front();
  minus2->SetLayer(4);
  EXPECT_EQ(parent->GetChildren().back(), minus2);
  minus2->SetLayer(0);
  parent->Draw(Root(), -1);
  EXPECT_EQ(Order(), "minus1 parent zeroA zeroB minus2 three");
}

TEST_F(SpriteTree, DepthLimitsTheLevelsDrawnAndInvisibleSpritesDrawNothing) {
  auto root = Textured("root", 0);
  auto child = Textured("child", 1);
  auto grandchild = Textured("grandchild", 1);
  root->AddChild(child);
  child->AddChild(grandchild);
  struct TCase {
    int depth;
    const char* order;
  } cases[] = {{0, "root"}, {1, "root child"}, {2, "root child grandchild"}, {-1, "root child grandchild"}};
  for (const TCase& c : cases) {
    mDraws.clear();
    root->Draw(Root(), c.depth);
    EXPECT_EQ(Order(), c.order) << "depth " << c.depth;
  }
  mDraws.clear();
  child->SetVisible(false);
  root->Draw(Root(), -1);
  EXPECT_EQ(Order(), "root");
}

TEST_F(SpriteTree, ComposesTransformAlphaAndMirrorBitsDownTheTree) {
  auto parent = TSprite::Create(0);
  parent->SetDrawParams(TSpriteDrawParams(TVec2(100, 50), 0.5f, 2.0f, SpriteMirrorX | SpriteAnchored));
  auto child = Textured("child", 0);
  TSpriteDrawParams own(TVec2(10, 0), 0.5f, 1.0f, SpriteMirrorX | SpriteMirrorY | SpriteSourceRect);
  own.anchor = TVec2(3, 4);
  own.colour = TColor{1, 0, 0, 1};
  own.sourceRect = TRect(1, 2, 3, 4);
  child->SetDrawParams(own);
  parent->AddChild(child);
  parent->Draw(Root(), -1);
  ASSERT_EQ(mDraws.size(), 1u);
  const TSpriteDrawParams& p = mDraws[0].params;
  // The child's offset is scaled by the parent, then moved to the parent's position.
  TVec2 origin = TransformPoint(TVec2(0, 0), p.matrix);
  EXPECT_FLOAT_EQ(origin.x, 120.0f);
  EXPECT_FLOAT_EQ(origin.y, 50.0f);
  EXPECT_FLOAT_EQ(p.matrix.m[0].x, 2.0f);
  EXPECT_FLOAT_EQ(p.alpha, 0.25f);
  // Mirror X in both cancels out; mirror Y stays; the parent's anchor flag does not pass.
  EXPECT_EQ(p.flags, SpriteMirrorY | SpriteSourceRect);
  EXPECT_EQ(p.anchor.x, 3.0f);
  EXPECT_EQ(p.colour, (TColor{1, 0, 0, 1}));
  EXPECT_EQ(p.sourceRect, TRect(1, 2, 3, 4));
}

// Regression: the record had no frame, so a child could not take its parent's.
TEST_F(SpriteTree, AChildWithoutAFrameTakesItsParents) {
  TSpriteDrawParams parent(TVec2(0, 0), 1, 1, 0), child(TVec2(0, 0), 1, 1, 0);
  EXPECT_EQ(child.frame, -1);
  parent.frame = 3;
  EXPECT_EQ(ComposeDrawParams(child, parent).frame, 3);
  child.frame = 0;
  EXPECT_EQ(ComposeDrawParams(child, parent).frame, 0);
}

TEST_F(SpriteTree, TreeChangesMoveDetachAndRefuse) {
  auto first = TSprite::Create(0), second = TSprite::Create(0);
  auto a = TSprite::Create(1), b = TSprite::Create(1);
  first->AddChild(a);
  first->AddChild(b);
  first->AddChild(a);  // already a child: stays where it is
  EXPECT_EQ(first->GetChildren().front(), a);
  EXPECT_EQ(first->GetChildren().size(), 2u);

  second->AddChild(a);  // moves
  EXPECT_EQ(first->GetChildren().size(), 1u);
  EXPECT_EQ(a->GetParent(), second.get());

  EXPECT_FALSE(first->RemoveChild(a));  // not a child any more
  EXPECT_EQ(first->GetChildren().size(), 1u);
  EXPECT_FALSE(first->RemoveChild(nullptr));
  EXPECT_TRUE(second->RemoveChild(a));
  EXPECT_EQ(a->GetParent(), nullptr);

  // Adding the entry of another parent's list by reference is safe: the list entry goes.
  second->AddChild(first->GetChildren().front());
  EXPECT_EQ(b->GetParent(), second.get());
  EXPECT_TRUE(first->GetChildren().empty());

  // A parent that goes leaves its children detached, alive while someone holds them.
  second.reset();
  EXPECT_EQ(b->GetParent(), nullptr);
}

// A child that takes itself out of its parent while drawing, as a finished effect does.
class TLeavingSprite : public TSprite {
 public:
  using TSprite::TSprite;
  void Draw(const TSpriteDrawParams& parent, int depth) override {
    if (GetParent()) GetParent()->RemoveChild(std::static_pointer_cast<TSprite>(shared_from_this()));
  }
};

TEST_F(SpriteTree, AChildLeavingWhileDrawingLetsTheOthersDraw) {
  auto root = Textured("root", 0);
  root->AddChild(std::make_shared<TLeavingSprite>(-1));
  root->AddChild(Textured("behind", -1));
  root->AddChild(std::make_shared<TLeavingSprite>(1));
  root->AddChild(Textured("front", 1));
  root->Draw(Root(), -1);
  EXPECT_EQ(Order(), "behind root front");
  EXPECT_EQ(root->GetChildren().size(), 2u);
}

TEST_F(SpriteTree, BoundingBoxFollowsTheQuadItsTextureDraws) {
  auto sprite = Textured("s", 0, 20, 10);
  TRect r;
  struct TCase {
    const char* what;
    std::function<void(TSpriteDrawParams&)> set;
    TRect expected;
  } cases[] = {
      {"centred", [](TSpriteDrawParams&) {}, TRect(40, 25, 60, 35)},
      {"anchored", [](TSpriteDrawParams& p) { p.flags = SpriteAnchored, p.anchor = TVec2(5, 2); }, TRect(45, 28, 65, 38)},
      {"source rectangle", [](TSpriteDrawParams& p) { p.flags = SpriteSourceRect, p.sourceRect = TRect(0, 0, 4, 6); },
       TRect(48, 27, 52, 33)},
      {"scaled", [](TSpriteDrawParams& p) { p.matrix.Scale(2); }, TRect(30, 20, 70, 40)},
      {"quarter turn", [](TSpriteDrawParams& p) { p.matrix.Rotate(float(M_PI / 2)); }, TRect(45, 20, 55, 40)},
      {"mirrored", [](TSpriteDrawParams& p) { p.flags = SpriteMirrorX | SpriteMirrorY; }, TRect(40, 25, 60, 35)},
  };
  for (const TCase& c : cases) {
    TSpriteDrawParams p(TVec2(50, 30), 1.0f, 1.0f, 0);
    c.set(p);
    sprite->SetDrawParams(p);
    sprite->GetRect(r, Root(), -1);
    EXPECT_EQ(r, c.expected) << c.what;
  }
}

TEST_F(SpriteTree, BoundingBoxUnitesChildrenAndStartsInvertedWithoutTexture) {
  auto root = TSprite::Create(0);
  TRect r;
  root->GetRect(r, Root(), -1);
  EXPECT_EQ(r, TRect(10000000, 10000000, -10000000, -10000000));
  EXPECT_FALSE(root->HitTest(TPoint(0, 0), -1, Root(), -1));

  auto a = Textured("a", 0, 10, 10), b = Textured("b", 0, 4, 4);
  a->SetDrawParams(TSpriteDrawParams(TVec2(10, 10), 1.0f, 1.0f, 0));
  b->SetDrawParams(TSpriteDrawParams(TVec2(40, 2), 1.0f, 1.0f, 0));
  root->AddChild(a);
  root->AddChild(b);
  root->SetDrawParams(TSpriteDrawParams(TVec2(100, 100), 1.0f, 1.0f, 0));
  root->GetRect(r, Root(), -1);
  EXPECT_EQ(r, TRect(105, 100, 142, 115));
  root->GetRect(r, Root(), 0);  // the sprite alone
  EXPECT_EQ(r.left, 10000000);
}

TEST_F(SpriteTree, RectangleHitTestExcludesTheRightAndBottomEdges) {
  auto sprite = Textured("s", 0, 10, 10);
  sprite->SetDrawParams(TSpriteDrawParams(TVec2(5, 5), 1.0f, 1.0f, 0));  // box (0, 0)-(10, 10)
  EXPECT_TRUE(sprite->HitTest(TPoint(0, 0), -1, Root(), -1));
  EXPECT_TRUE(sprite->HitTest(TPoint(9, 9), -1, Root(), -1));
  EXPECT_FALSE(sprite->HitTest(TPoint(10, 5), -1, Root(), -1));
  EXPECT_FALSE(sprite->HitTest(TPoint(5, 10), -1, Root(), -1));
  sprite->SetVisible(false);
  EXPECT_FALSE(sprite->HitTest(TPoint(5, 5), -1, Root(), -1));
}

TEST_F(SpriteTree, TexturelessSpritesAreTestedOnlyWithHitTestChildren) {
  auto root = TSprite::Create(0);
  root->AddChild(Textured("child", 0, 10, 10));
  SetConfig("hittestchildren", "0");
  EXPECT_FALSE(root->HitTest(TPoint(0, 0), -1, Root(), -1));
  SetConfig("hittestchildren", "1");
  EXPECT_TRUE(root->HitTest(TPoint(0, 0), -1, Root(), -1));
  EXPECT_FALSE(root->HitTest(TPoint(5, 5), -1, Root(), -1));
  ClearConfig();
}

TEST_F(SpriteTree, CountsLiveSpritesInTheSettings) {
  int32_t before = TSprite::GetLiveCount();
  {
    auto a = TSprite::Create(0);
    auto b = TSprite::Create(0);
    EXPECT_EQ(TSprite::GetLiveCount(), before + 2);
    EXPECT_EQ(GetConfig("current_sprite_count"), TString::Printf("%d", before + 2));
  }
  EXPECT_EQ(GetConfig("current_sprite_count"), TString::Printf("%d", before));
  EXPECT_STREQ(TSprite::Create(0)->GetClassName(), "TSprite");
}

}  // namespace
