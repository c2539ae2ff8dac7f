#include "model/lock.h"

#include <gtest/gtest.h>

#include "model_compositor_test_util.h"

namespace {

// Three bolts: 0 moves 1; 1 (taking the default, which "yes" makes false) toggles 2's lock;
// 2 starts locked and takes the standard graphic.
const char* const SmallLock = R"(MakeGame{ MakeLevel{ MakeUnlockingDoorsMiniGame{ seqId = 1,
    stdMovesOthers = "yes", stdUp = "false", stdGraphic = "lock/bolt", stdBoltUpperLockGraphic = "lock/upper",
    moveBoltSoundFile = "sounds/move", overlayImage = "lock/overlay", overlayImagePosX = -20, overlayImagePosY = 30,
    MakeUnlockingDoorsBolt{ movesOthers = "true", graphic = "lock/first", downX = 10, downY = 400, upX = 10,
                            upY = 300, upperBoltLockCloseRotAngle = -45, {1} },
    MakeUnlockingDoorsBolt{ downX = 60, downY = 400, upX = 60, upY = 300, {2} },
    MakeUnlockingDoorsBolt{ locked = "true", graphic = "" } } } })";

class TLockTest : public TModelTextTest {
 protected:
  CLock& Lock() { return FirstScene<CLock>(9); }
  static std::string UpAndLocked(const CLock& lock) {
    std::string state;
    for (uint32_t i = 0; i < lock.GetBoltCount(); ++i) {
      state += lock.GetBolt(i)->IsUp() ? 'U' : 'D';
      state += lock.GetBolt(i)->IsLocked() ? 'L' : '-';
    }
    return state;
  }
  // A lock of `count' bolts whose first bolt has the given fields.
  void LoadLock(int count, const std::string& first) {
    std::string bolts = "MakeUnlockingDoorsBolt{ " + first + " }, ";
    for (int i = 1; i < count; ++i) bolts += "MakeUnlockingDoorsBolt{}, ";
    RunOneScene("MakeUnlockingDoorsMiniGame", bolts);
  }
};

TEST_F(TLockTest, PlaysFromARecordToAWinAndKeepsItsBolts) {
  Run(SmallLock);
  CLock& lock = Lock();
  ASSERT_EQ(lock.GetBoltCount(), 3u);
  EXPECT_EQ(lock.GetBolt(0)->GetGraphic().ToStd(), "lock/first");
  EXPECT_EQ(lock.GetBolt(2)->GetGraphic().ToStd(), "lock/bolt");
  EXPECT_EQ(lock.GetBolt(1)->GetBoltUpperLockGraphic().ToStd(), "lock/upper");
  EXPECT_EQ(lock.GetBolt(0)->GetUpperBoltLockCloseRotAngle(), -45);
  EXPECT_EQ(lock.GetBolt(1)->GetUpY(), 300);
  EXPECT_EQ(lock.GetBolt(2)->GetIndex(), 2u);
  EXPECT_EQ(lock.GetOverlayImagePosX(), -20);
  EXPECT_EQ(lock.GetOverlayImagePosY(), 30);
  EXPECT_TRUE(lock.HasMoveBoltSoundFile());
  EXPECT_TRUE(lock.HasWonSoundFile());
  EXPECT_EQ(lock.GetWonSoundFile().ToStd(), "");
  EXPECT_FALSE(lock.DoAllBoltsMoveOthers());
  EXPECT_EQ(UpAndLocked(lock), "D-D-DL");

  EXPECT_FALSE(lock.MoveBolt(2, 1));
  EXPECT_FALSE(lock.MoveBolt(3, 1));
  EXPECT_TRUE(lock.MoveBolt(1, 1));
  EXPECT_EQ(UpAndLocked(lock), "D-U-D-");

  // Saved half way: the bolts load back as they stood, links and all.
  std::string text = Save();
  EXPECT_NE(text.find("\toverlayImagePosX = 4294967276,\n"), std::string::npos);
  EXPECT_NE(text.find("\tmissSoundFile = \"\",\n"), std::string::npos);
  EXPECT_NE(text.find("\t{}\n}; -- MakeUnlockingDoorsBolt end"), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
  CLock& loaded = Lock();
  EXPECT_EQ(UpAndLocked(loaded), "D-U-D-");
  EXPECT_EQ(loaded.GetOverlayImagePosX(), -20);

  EXPECT_TRUE(loaded.MoveBolt(2, 1));
  EXPECT_TRUE(loaded.MoveBolt(0, 1));
  EXPECT_EQ(UpAndLocked(loaded), "U-D-U-");
  EXPECT_FALSE(loaded.IsWon());
  EXPECT_TRUE(loaded.MoveBolt(1, 1));
  EXPECT_EQ(UpAndLocked(loaded), "U-U-UL");
  EXPECT_TRUE(loaded.IsWon());

  loaded.ResetPosition(false);
  EXPECT_EQ(UpAndLocked(loaded), "D-D-D-");
  EXPECT_FALSE(loaded.IsWon());
  EXPECT_TRUE(CLock().IsWon());
}

TEST_F(TLockTest, MovesFlipLinkedBoltsOrTheirLocks) {
  CLock lock(4, true, false, false);
  ASSERT_TRUE(lock.ConfigureBolt(0, {1, 2, 0}, true, false, false));
  lock.GetBolt(2)->SetLocked(true);
  EXPECT_TRUE(lock.DoAllBoltsMoveOthers());
  // Bolt 0 flips, moves 1, leaves the locked 2, and moves itself back once.
  EXPECT_TRUE(lock.MoveBolt(0, 1));
  EXPECT_EQ(UpAndLocked(lock), "D-U-DLD-");
  EXPECT_TRUE(lock.MoveBolt(1, 0));
  EXPECT_EQ(UpAndLocked(lock), "D-D-DLD-");

  ASSERT_TRUE(lock.ConfigureBolt(1, {2}, false, false, false));
  EXPECT_TRUE(lock.MoveBolt(1, 1));
  EXPECT_EQ(UpAndLocked(lock), "D-U-D-D-");
  EXPECT_FALSE(lock.DoAllBoltsMoveOthers());
  // Once false, the answer stays.
  lock.GetBolt(1)->SetFlags(true, true, false);
  EXPECT_FALSE(lock.DoAllBoltsMoveOthers());
}

// Regression: a negative moved index passed the "below the count" test as a signed number and
// linked a bolt before the list's start. Every refused list leaves the bolt as built.
TEST_F(TLockTest, InvalidMovedListsLeaveTheBoltAsBuilt) {
  const struct {
    const char* list;
  } cases[] = {{"{1, 2, 0}"}, {"{1, 1}"}, {"{-1}"}, {"{3}"}, {"{1, 4294967297}"}};
  for (const auto& c : cases) {
    LoadLock(3, std::string("movesOthers = \"false\", up = \"true\", ") + c.list);
    const CLockingBolt& bolt = *Lock().GetBolt(0);
    EXPECT_TRUE(bolt.GetLinkedBoltIndices().empty()) << c.list;
    EXPECT_TRUE(bolt.GetMovesOthers()) << c.list;
    EXPECT_FALSE(bolt.IsUp()) << c.list;
    EXPECT_NE(Save().find("\t{}\n"), std::string::npos) << c.list;
  }
  EXPECT_FALSE(CLock().ConfigureBolt(0, {}, true, true, true));
}

// Regression: a bolt record naming more bolts than the bolt has slots wrote past them.
TEST_F(TLockTest, ABoltMovesAtMostThirtyBolts) {
  std::string list = "{";
  for (int i = 1; i <= 35; ++i) list += std::to_string(i) + ", ";
  LoadLock(40, list + "}");
  std::vector<uint32_t> linked = Lock().GetBolt(0)->GetLinkedBoltIndices();
  ASSERT_EQ(linked.size(), CLockingBolt::MaxMovedBolts);
  EXPECT_EQ(linked.back(), 30u);
  EXPECT_NE(ReadLog().find("at most 30 bolts"), std::string::npos);
}

// Regression: the index read back from a sprite name's character as a signed char made every
// bolt from index 79 on unreachable.
TEST_F(TLockTest, BoltNameCharactersNameEveryBoltUpTo206) {
  for (uint32_t i : {0u, 78u, 79u, 150u, CLock::MaxNamedBolts - 1}) {
    char c = CLock::BoltNameCharacter(i);
    uint32_t index = 0;
    ASSERT_TRUE(CLock::BoltIndexOfCharacter(c, index)) << i;
    EXPECT_EQ(index, i);
  }
  EXPECT_EQ(CLock::BoltNameCharacter(CLock::MaxNamedBolts), '\0');
  uint32_t index = 0;
  EXPECT_FALSE(CLock::BoltIndexOfCharacter('0', index));

  CLock lock(100, true, false, false);
  ASSERT_TRUE(CLock::BoltIndexOfCharacter(CLock::BoltNameCharacter(90), index));
  EXPECT_TRUE(lock.MoveBolt(index, 1));
  EXPECT_TRUE(lock.GetBolt(90)->IsUp());
}

}  // namespace
