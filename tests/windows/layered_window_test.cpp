// The layered window (one layer of children shown at a time) and the image widget.

#include "graphics/texture.h"
#include "windows/button.h"
#include "windows/image_window.h"
#include "windows/layered_window.h"
#include "windows/modal_window.h"
#include "widget_test_util.h"

namespace {

class LayeredWindowTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    auto layered = std::make_unique<TLayeredWindow>(3);
    mLayered = layered.get();
    std::unique_ptr<TWindow> owned = std::move(layered);
    ASSERT_TRUE(Screen()->AddChild(owned, false));
  }
  // Adds a probe while the given layer is current.
  TWindow* AddIn(uint32_t layer, const char* name) {
    mLayered->SetLayer(layer);
    std::unique_ptr<TWindow> probe = std::make_unique<TProbeWindow>(&mLog, name, TRect(0, 0, 10, 10));
    TWindow* raw = probe.get();
    EXPECT_TRUE(mLayered->AddChild(probe, false));
    return raw;
  }
  std::string Shown() {
    std::string names;
    for (const auto& child : mLayered->GetChildren())
      if (child->IsVisible()) names = child->GetName().ToStd() + (names.empty() ? "" : " ") + names;
    return names;
  }

  TLayeredWindow* mLayered = nullptr;
};

TEST_F(LayeredWindowTest, OneLayerIsShownAndWithoutALayerNewChildrenJoinEveryLayer) {
  TWindow* first = AddIn(0, "a");
  AddIn(1, "b");
  AddIn(2, "c");
  mLayered->SetLayer(1);
  EXPECT_EQ(Shown(), "b");
  // No current layer: layer 0 shows, and a child added now is in every layer.
  mLayered->SetLayer(TLayeredWindow::NoLayer);
  EXPECT_EQ(Shown(), "a");
  AddIn(TLayeredWindow::NoLayer, "all");
  for (uint32_t layer : {0u, 1u, 2u}) EXPECT_TRUE(mLayered->IsInLayer(mLayered->FindChild("all"), layer));
  mLayered->SetLayer(2);
  EXPECT_EQ(Shown(), "c all");
  // A child taken out leaves every layer's list.
  std::unique_ptr<TWindow> removed = mLayered->RemoveChild(first);
  ASSERT_NE(removed, nullptr);
  EXPECT_FALSE(mLayered->IsInLayer(first, 0));
  mLayered->SetLayer(0);
  EXPECT_EQ(Shown(), "all");
}

TEST_F(LayeredWindowTest, TheCurrentLayerAgainChangesNothing) {
  AddIn(1, "b");
  Frame();
  ASSERT_FALSE(Manager().IsDirty());
  mLayered->SetLayer(1);
  EXPECT_FALSE(Manager().IsDirty());
  mLayered->SetLayer(0);
  EXPECT_TRUE(Manager().IsDirty());
}

// Fault mended: a script's layer number was used as an index without a check.
TEST_F(LayeredWindowTest, ALayerNumberFromAScriptBeyondTheLayersIsRefused) {
  Build("Button{ name = 'b', x = 0, y = 0, w = 20, h = 20,"
        "  function() DoSelectLayer(2) end, Window{ name = 'inTwo', w = 5, h = 5 },"
        "  function() DoSelectLayer(4); DoSelectLayer(-2); DoSelectLayer(1e12) end }()");
  auto* button = Find<TButton>("b");
  ASSERT_NE(button, nullptr);
  TWindow* inTwo = button->FindChild("inTwo");
  EXPECT_TRUE(button->IsInLayer(inTwo, 2));
  EXPECT_FALSE(button->IsInLayer(inTwo, 0));
  EXPECT_EQ(CountInLog("Layer 4 refused: window 'b' has 4 layers"), 1) << ReadLog();
  EXPECT_EQ(CountInLog("refused: window 'b'"), 3) << ReadLog();
  // -1 is "no layer", which a script may ask for: what follows joins every layer.
  Build("Button{ name = 'c', x = 30, y = 0, w = 20, h = 20,"
        "  function() SelectLayer(2); SelectLayer(kAllLayers) end, Window{ name = 'everywhere', w = 5, h = 5 } }()");
  TButton* c = Find<TButton>("c");
  for (uint32_t layer : {0u, 1u, 2u, 3u}) EXPECT_TRUE(c->IsInLayer(c->FindChild("everywhere"), layer));
}

class ImageTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    WriteSolidImage("wide.png", 100, 50, 0xFF336699);
    WriteImage("see.png", 80, 60, [](uint32_t x, uint32_t) { return x < 40 ? 0x80FF0000 : 0xFF00FF00; });
  }
};

TEST_F(ImageTest, TheTextureSizesTheImage) {
  Build("Bitmap{ name = 'plain', image = 'wide.png' }();"
        "Bitmap{ name = 'turned', image = 'wide.png', rotate = true }();"
        "Bitmap{ name = 'half', image = 'wide.png', scale = 0.5 }();"
        "Bitmap{ name = 'missing', image = 'nothing.png', w = 7, h = 9 }()");
  EXPECT_EQ(Find<TImage>("plain")->GetRect(), TRect(0, 0, 100, 50));
  EXPECT_EQ(Find<TImage>("turned")->GetRect(), TRect(0, 0, 50, 100));
  EXPECT_EQ(Find<TImage>("half")->GetRect(), TRect(0, 0, 50, 25));
  TImage* missing = Find<TImage>("missing");
  EXPECT_EQ(missing->GetTexture(), nullptr);
  EXPECT_EQ(missing->GetRect(), TRect(0, 0, 7, 9));
  EXPECT_EQ(Lua("gA = ImageLoaded('plain'); gB = ImageLoaded('missing'); gC = ImageLoaded('nobody')"), "");
  EXPECT_EQ(Global("gA") + Global("gB") + Global("gC"), "truefalsefalse");
  // Turning an image turns its size.
  missing->SetTexture(TTexture::Get("wide.png"), 1.0f);
  missing->SetRotate(true);
  EXPECT_EQ(missing->GetRect(), TRect(0, 0, 50, 100));
}

TEST_F(ImageTest, AutoscaleFitsTheScreenOnlyAtScaleOne) {
  // 80 x 60 on a 320 x 240 screen: the height decides (4 > 1).
  Build("Bitmap{ name = 'fit', image = 'see.png', autoscale = true }();"
        "Bitmap{ name = 'kept', image = 'see.png', autoscale = true, scale = 2 }()");
  EXPECT_EQ(Find<TImage>("fit")->GetRect(), TRect(0, 0, 320, 240));
  EXPECT_EQ(Find<TImage>("kept")->GetRect(), TRect(0, 0, 160, 120));
}

TEST_F(ImageTest, OpaqueCoverUnlessTheImageHasAlpha) {
  Build("Bitmap{ name = 'opaque', image = 'wide.png' }(); Bitmap{ name = 'clear', image = 'see.png', alpha = true }()");
  TImage* opaque = Find<TImage>("opaque");
  TImage* clear = Find<TImage>("clear");
  EXPECT_TRUE(opaque->GetFlags() & WindowOpaqueCover);
  EXPECT_FALSE(clear->GetFlags() & WindowOpaqueCover);
  // Fading takes the cover back; full alpha gives it again when the texture has no alpha.
  WriteSolidImage("solid.png", 100, 50, 0xFF336699);
  opaque->SetTexture(TTexture::Get("solid.png", TextureGetNoAlpha), 1.0f);
  opaque->SetAlpha(0.5f);
  EXPECT_FALSE(opaque->GetFlags() & WindowOpaqueCover);
  opaque->SetAlpha(1.0f);
  EXPECT_TRUE(opaque->GetFlags() & WindowOpaqueCover);
  clear->SetAlpha(1.0f);  // its texture has alpha
  EXPECT_FALSE(clear->GetFlags() & WindowOpaqueCover);
  // A screen-sized opaque image lets the redraw start at its modal.
  Build("Bitmap{ name = 'full', image = 'see.png', autoscale = true }()");
  EXPECT_EQ(WindowCast<TModalWindow>(Screen())->GetCoverSet().count(Find<TImage>("full")), 1u);
}

TEST_F(ImageTest, SetBitmapGivesANamedImageANewTexture) {
  Build("Bitmap{ name = 'pic', image = 'see.png' }()");
  ASSERT_EQ(Lua("SetBitmap('pic', 'wide.png'); _SetBitmap('nobody', 'wide.png', 1)"), "");
  EXPECT_EQ(Find<TImage>("pic")->GetRect(), TRect(0, 0, 100, 50));
  ASSERT_EQ(Lua("SetBitmap('pic', 'wide.png', 2)"), "");
  EXPECT_EQ(Find<TImage>("pic")->GetRect(), TRect(0, 0, 200, 100));
}

}  // namespace
