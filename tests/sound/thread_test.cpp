// The sound thread against the main thread: start, play, change volumes, pause, dispatch
// and quit while sounds play (built with -DTARVELON_TSAN=ON these run under ThreadSanitizer).

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/asset.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound_test_util.h"

using SoundThread = TSoundTest;

TEST_F(SoundThread, StartsAndQuits) {
  TSoundManager manager;
  EXPECT_TRUE(manager.Initialize(std::make_unique<TManualOutput>(), true));
  EXPECT_TRUE(manager.IsInitialized());
  EXPECT_FALSE(manager.IsSoundThread());
}

TEST_F(SoundThread, MainThreadPlaysWhileTheThreadRefills) {
  TEnvGuard driver("SDL_AUDIODRIVER", "dummy");
  // Declared first, so these outlive the manager: their streams go on without it.
  std::shared_ptr<TSound> music, click;
  std::shared_ptr<TSoundInstance> loop;
  {
    TSoundManager manager;
    ASSERT_TRUE(manager.Initialize());
    music = TSound::Get(SoundFixture("tone_a.ogg") + "?group=1001", 1, 0);
    click = TSound::Get(SoundFixture("tone_b.ogg"), 0, 1000);
    ASSERT_NE(music, nullptr);
    ASSERT_NE(click, nullptr);
    loop = music->Play(true);
    for (int step = 0; step < 100; ++step) {
      if (step % 10 == 0) click->Play(false);
      if (step % 25 == 0) manager.SetGroupVolume(1000, float(step % 50) / 50.0f);
      if (step == 30 || step == 40) manager.SetActive(step == 40);
      manager.DispatchFinishedStreams();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // The clicks end in their own time (a second or two) and are let go.
    for (int i = 0; i < 400 && click->GetInstanceCount() > 0; ++i) {
      manager.DispatchFinishedStreams();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(click->GetInstanceCount(), 0u);
    EXPECT_EQ(manager.GetPlayingCount(), 1u);  // the music
  }
  EXPECT_EQ(GetSoundManager(), nullptr);
  EXPECT_TRUE(music->StopInstance(loop));
  EXPECT_EQ(click->Play(false), nullptr);  // "No Sound Manager"
}
