// Sounds by name: the cache, groups, and what happens when nothing can play.

#include <gtest/gtest.h>

#include "platform/asset.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound_test_util.h"

using Sound = TSoundTest;

TEST_F(Sound, CachedByNameStreamFlagAndGroup) {
  TString name = SoundFixture("tone_b.ogg");
  auto plain = TSound::Get(name, 0, 0);
  ASSERT_NE(plain, nullptr);
  EXPECT_STREQ(plain->GetClassName(), "TSound");
  EXPECT_TRUE(plain->IsKindOf(TAsset::ClassId()));
  EXPECT_EQ(plain->GetFileName(), name);
  EXPECT_FLOAT_EQ(plain->GetLength(), 0.2f);
  EXPECT_EQ(TSound::Get(name, 0, 0), plain);
  EXPECT_NE(mCache.GetAsset(TString::Printf("%s;0;0", name.c_str())), nullptr);

  auto grouped = TSound::Get(name + "?group=2", 0, 0);
  EXPECT_NE(grouped, plain);
  EXPECT_EQ(grouped->GetData()->GetGroup(), 2);
  EXPECT_EQ(grouped->GetFileName(), name);
  EXPECT_EQ(TSound::Get(name, 0, 2), grouped);
  EXPECT_EQ(TSound::Get(name + "?volume=3&group=2", 0, 7), grouped);
  // Other options leave the group as asked.
  EXPECT_EQ(TSound::Get(name + "?loud", 0, 2), grouped);

  auto streamed = TSound::Get(name, 1, 0);
  EXPECT_NE(streamed, plain);
  EXPECT_TRUE(streamed->IsStreaming());

  // The cache holds no sound alive: once let go, it is opened anew.
  plain.reset();
  EXPECT_EQ(mCache.GetAsset(TString::Printf("%s;0;0", name.c_str())), nullptr);
  EXPECT_NE(TSound::Get(name, 0, 0), nullptr);
}

TEST_F(Sound, NothingToPlayGivesEmptyPointersAndLogLines) {
  TLogCapture log;
  EXPECT_EQ(TSound::Get("", 0, 0), nullptr);
  EXPECT_EQ(TSound::Get("?group=3", 0, 0), nullptr);
  EXPECT_EQ(TSound::Get(SoundFixture("nothing"), 0, 0), nullptr);
  EXPECT_EQ(TSound::Get(SoundFixture("nothing"), 0, 0), nullptr);
  EXPECT_EQ(log.Count("TSound::Get: No valid sound file found: " + SoundFixture("nothing").ToStd()), 2);
  EXPECT_EQ(log.Count("TSound::Get: No valid sound file found: ?group=3"), 1);
  EXPECT_EQ(log.Count("TSound::Get: No valid sound file found: \n"), 0);
  EXPECT_EQ(TSound::Get(SoundFixture("corrupt.ogg"), 0, 0), nullptr);
  EXPECT_EQ(log.Count("OGG file could not be opened: " + SoundFixture("corrupt.ogg").ToStd()), 1);
  EXPECT_EQ(log.Count("TSound::Get: No valid sound file found: " + SoundFixture("corrupt.ogg").ToStd()), 1);
  EXPECT_EQ(mCache.Size(), 0u);

  TSound unopened("nothing.ogg", 0);
  EXPECT_EQ(unopened.Play(false), nullptr);
  EXPECT_EQ(log.Count("Play of uninitialized sound"), 1);
  EXPECT_FALSE(unopened.StopAll());
  EXPECT_EQ(unopened.GetLength(), 0.0f);

  ASSERT_EQ(GetSoundManager(), nullptr);
  auto sound = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(sound->Play(false), nullptr);
  EXPECT_EQ(log.Count("No Sound Manager"), 1);
}

TEST_F(Sound, WorksWithoutAnAssetCache) {
  SetAssetManager(nullptr);
  auto a = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
  auto b = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
}

TEST_F(Sound, InstancesPlayingAtOnceAreToldApartByTheirDebugNames) {
  TSoundRig rig;
  auto sound = TSound::Get(SoundFixture("tone_b.ogg"), 0, 0);
  ASSERT_NE(sound, nullptr);
  auto first = sound->Play(false);
  auto second = sound->Play(false);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  TString name = first->GetDebugName();
  EXPECT_FALSE(name.IsEmpty());
  EXPECT_NE(name, second->GetDebugName());
  EXPECT_EQ(first->GetDebugName(), name);  // a name stays with its instance
}
