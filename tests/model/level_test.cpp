#include <gtest/gtest.h>

#include "model/level.h"
#include "model_test_util.h"

namespace {

// A scene kind with one object flag per name, and a note of its own deletion.
class CFlagScene : public CTestScene {
 public:
  CFlagScene(int32_t seqId, bool* deleted = nullptr) : CTestScene(seqId), mDeleted(deleted) {}
  ~CFlagScene() override {
    if (mDeleted) *mDeleted = true;
  }
  void SetObjectActive(const TString& name, bool active) override { mActive[name.ToStd()] = active; }
  bool IsObjectActive(const TString& name) const override {
    auto it = mActive.find(name.ToStd());
    return it != mActive.end() && it->second;
  }

 private:
  bool* mDeleted;
  std::map<std::string, bool> mActive;
};

std::unique_ptr<CSceneExit> ExitTo(const char* id, int32_t next) {
  auto exit = std::make_unique<CSceneExit>();
  exit->SetId(id);
  exit->SetNextScene(next);
  return exit;
}

TEST(LevelTest, ScenesAreAskedInAscendingNumber) {
  CLevel level;
  auto seven = std::make_unique<CFlagScene>(7);
  seven->AddSceneExit(ExitTo("x", 70));
  auto three = std::make_unique<CFlagScene>(3);
  three->AddSceneExit(ExitTo("x", 30));
  EXPECT_EQ(level.AddScene(std::move(seven)), 7);
  EXPECT_EQ(level.AddScene(std::move(three)), 3);
  EXPECT_EQ(level.FindSceneExit("x")->GetNextScene(), 30);
  EXPECT_EQ(level.FindSceneExit("y"), nullptr);
  EXPECT_EQ(level.FindSceneHotspot("x"), nullptr);

  level.SetObjectActive("laterne", true);
  EXPECT_TRUE(level.IsObjectActive("laterne"));
  static_cast<CFlagScene*>(level.GetScene(3))->SetObjectActive("laterne", false);
  EXPECT_FALSE(level.IsObjectActive("laterne"));  // the lowest scene answers
  EXPECT_TRUE(level.GetScene(7)->IsObjectActive("laterne"));
  EXPECT_FALSE(CLevel().IsObjectActive("laterne"));
}

TEST(LevelTest, ASceneOfANumberInUseReplacesTheEarlierOne) {
  CLevel level;
  bool firstDeleted = false, secondDeleted = false;
  level.AddScene(std::make_unique<CFlagScene>(5, &firstDeleted));
  level.AddScene(std::make_unique<CFlagScene>(5, &secondDeleted));
  EXPECT_TRUE(firstDeleted);
  EXPECT_FALSE(secondDeleted);
  EXPECT_EQ(level.GetScenes().size(), 1u);
  EXPECT_EQ(level.AddScene(nullptr), -1);
  level.RemoveScene(4);
  level.RemoveScene(5);
  EXPECT_TRUE(secondDeleted);
  EXPECT_EQ(level.GetScene(5), nullptr);
}

TEST(LevelTest, WritesItsRecordWithItsScenes) {
  CLevel level;
  level.SetSeqId(2);
  level.SetName("Kapitel \\ 2");
  level.AddScene(std::make_unique<CTestScene>(9));
  level.AddScene(std::make_unique<CTestScene>(8));
  std::string out;
  level.Serialize(out);
  std::string scene8, scene9;
  CTestScene(8).Serialize(scene8);
  CTestScene(9).Serialize(scene9);
  EXPECT_EQ(out, "\nMakeLevel\n{\n\tseqId = 2,\n\tname = \"Kapitel \\\\ 2\",\n" + scene8 + scene9 +
                     "}; -- MakeLevel end\n");
}

}  // namespace
