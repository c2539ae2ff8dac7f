// Golden frames of scene play: a sprite window on the screen with a found object in flight
// (turned and on its way to the corner) and a lantern glowing in the glow colour through the
// game's blur effect ("assets/fx/glow.lua").

#include <gtest/gtest.h>

#include <cmath>

#include "graphics/device/golden_png.h"
#include "graphics/sprites/sprite.h"
#include "platform/settings.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes_test_util.h"

namespace {

class SceneGolden : public TSceneTest {
 protected:
  void SetUp() override {
    TSceneTest::SetUp();
    // A sky-to-meadow backdrop, a shelf, a lantern and a key.
    Picture("pics/backdrop.png", Width, Height, [](uint32_t x, uint32_t y) {
      uint32_t shade = 60 + y * 100 / Height;
      if (y > 150) return 0xFF000000u | (30 + (x * 7 + y * 3) % 20) << 16 | (90 + y % 40) << 8 | 40u;
      return 0xFF000000u | (shade / 3) << 16 | (shade / 2) << 8 | shade;
    });
    Solid("pics/shelf.png", 200, 12, 0xFF6B4424);
    Disc("pics/lantern.png", 40, 0x00FFD24A);
    Picture("pics/key.png", 36, 16, [](uint32_t x, uint32_t y) {
      float dx = float(x) - 7.5f, dy = float(y) - 7.5f;
      bool ring = std::sqrt(dx * dx + dy * dy) < 7.5f && std::sqrt(dx * dx + dy * dy) > 3.5f;
      bool shaft = x >= 14 && y >= 6 && y <= 9;
      bool bit = x >= 28 && x <= 31 && y >= 9;
      return ring || shaft || bit ? 0xFFB8B8C0u : 0u;
    });
    WriteAsset("fx/glow.lua", ReadTextFile(TString(TARVELON_SOURCE_DIR) + "/assets/fx/glow.lua"));
    SetConfig("anMoBorderLeft", "0");
    SetConfig("anMoBorderTop", "0");
    SetConfig("anMoBorderRight", "1024");
    SetConfig("anMoBorderBottom", "768");
    SetConfig("anGlowColorRED", "255");
    SetConfig("anGlowColorGREEN", "215");
    SetConfig("anGlowColorBLUE", "120");
    SetConfig("scriptBlurFX", "fx/glow.lua");
  }
};

TEST_F(SceneGolden, ASpriteWindowWithAFlightInProgressAndAGlow) {
  auto owned = std::make_unique<TSpriteWindow>();
  TSpriteWindow* window = owned.get();
  window->SetName("spriteWindow");
  window->SetSize(Width, Height);
  std::unique_ptr<TWindow> child = std::move(owned);
  ASSERT_TRUE(Screen()->AddChild(child, true));

  window->AddSprite(GeneralSprite("pics/backdrop", 0, 0, 0, SpriteKindDefault, "backdrop", 1.0f, 0));
  window->AddSprite(GeneralSprite("pics/shelf", 60, 130, 0, SpriteKindDefault, "shelf", 1.0f, 0));
  window->AddSprite(GeneralSprite("pics/lantern", 80, 88, 0, SpriteKindHiddenObject, "lantern", 1.0f, 0));
  window->AddSprite(GeneralSprite("pics/key", 190, 112, 0, SpriteKindHiddenObject, "key", 1.0f, 0));

  int32_t lantern = -1, key = -1;
  ASSERT_TRUE(window->FindSprite("lantern", lantern) && window->FindSprite("key", key));
  TSpriteAnimator& animator = *TSpriteAnimator::GetInstance();
  std::shared_ptr<TSprite> lanternSprite = window->GetSprite(lantern).GetCurrentSprite();
  animator.AddGlow(lanternSprite, window->GetRootSprite(), 0);
  animator.AddMove(window->GetSprite(key).GetCurrentSprite(), 290, 24, 14, "key", true, true);
  for (int step = 0; step < 4; ++step) animator.Update();

  Frame();  // the glow's effect starts once it has been drawn
  RunFrameTasks();
  const std::vector<uint32_t>& frame = Frame();
  // The halo lies around the lantern, in the glow colour, beside its rim.
  uint32_t halo = frame[size_t(108) * Width + 78] & 0xFFFFFF;
  EXPECT_GT(halo >> 16, (halo >> 8) & 0xFF);
  EXPECT_EQ(MatchGolden("scenes/flight_and_glow.png", frame, Width, Height), "");
}

}  // namespace
