// Sprites in the running engine (RunEngine on SDL's headless drivers): the engine gives
// sprites its frame task list, so an animated sprite plays and an effect advances as the
// event loop steps; the teardown takes the task list back.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "engine/display_link.h"
#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "graphics/graphics_test_util.h"
#include "graphics/particles/fx_sprite.h"
#include "graphics/particles/particle_test_util.h"
#include "graphics/sprites/anim_sprite.h"
#include "graphics/sprites/anim_texture.h"

namespace {

// Steps the event loop until done says so. The bound only ends a test that would otherwise
// hang: it is far above what a loaded machine needs, so that slowness never fails the test.
bool StepUntil(TPlatform* platform, const std::function<bool()>& done) {
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    TPlatformEvent event;
    platform->ProcessEvents(event);
  }
  return true;
}

}  // namespace

TEST(ParticleEngine, SpritesPlayOnTheEnginesFrameTasks) {
  char pattern[] = "/tmp/tarvelon_particle_engine_XXXXXX";
  std::string root = mkdtemp(pattern);
  std::filesystem::path oldDir = std::filesystem::current_path();
  setenv("XDG_DATA_HOME", (root + "/xdg").c_str(), 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);

  TEngineStart start;
  start.commandLine = "--multiple";
  start.version.productName = "ParticleTest";
  start.makeDisplayHandler = MakeDisplayHandler;
  start.makeRenderer = MakeRenderer;
  start.gameMain = [](TPlatform* platform) {
    EXPECT_EQ(GetSpriteTaskList(), &platform->GetTaskList());
    platform->InitDisplay(160, 120, false);
    auto sprite = TAnimatedSprite::Create(0);
    sprite->SetTexture(TAnimatedTexture::Get(GraphicsFixture("anim/blink.xml")));
    sprite->Play("DoAnim");
    EXPECT_TRUE(StepUntil(platform, [&] { return sprite->GetFrame() == 2; }));

    auto fx = TFxSprite::Create("gUpdates = 0 function Update(s) gUpdates = gUpdates + 1 end", 0);
    fx->Draw(TSpriteDrawParams(), -1);
    EXPECT_TRUE(StepUntil(platform, [&] { return GlobalText(fx->GetSystem(), "gUpdates") == "3"; }));
  };
  EXPECT_EQ(RunEngine(std::move(start)), 0);
  EXPECT_EQ(GetSpriteTaskList(), nullptr);

  std::filesystem::current_path(oldDir);
  std::error_code error;
  std::filesystem::remove_all(root, error);
}
