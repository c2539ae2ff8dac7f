// Sprites in the running engine (RunEngine on SDL's headless drivers): the engine gives
// sprites its frame task list, so an animated sprite plays and an effect advances as the
// event loop steps; the teardown takes the task list back.
#include <gtest/gtest.h>

#include <unistd.h>

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
#include "platform/timer.h"

namespace {

// The engine's timer while the game runs: a clock the test moves on itself.
uint32_t gNow = 0;
uint32_t SteppedNow() { return gNow; }

// Steps the event loop, 10 ms of the test's clock a step, until done says so; at most 100 s
// of that clock. Nothing depends on how fast the machine is.
bool StepUntil(TPlatform* platform, const std::function<bool()>& done) {
  for (int step = 0; step < 10000 && !done(); step++) {
    gNow += 10;
    TPlatformEvent event;
    platform->ProcessEvents(event);
  }
  return done();
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
    // The teardown puts the engine's own timer back.
    gNow = GetTimer();
    SetTimerSource(&SteppedNow);
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
