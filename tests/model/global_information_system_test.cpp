#include <gtest/gtest.h>

#include <cmath>

#include "model/global_information_system.h"
#include "model_test_util.h"

namespace {

class GlobalInformationTest : public TModelTest {
 protected:
  void SetUp() override {
    TModelTest::SetUp();
    store = CGlobalInformationSystem::CreateInstance();
  }
  std::string Text() const {
    std::string out;
    store->Serialize(out);
    return out;
  }
  // Runs the saved text into a new store, as loading a player does; answers its text.
  std::string Reload() {
    std::string saved = Text();
    store = CGlobalInformationSystem::CreateInstance();
    Run(saved);
    return Text();
  }
  CGlobalInformationSystem* store = nullptr;
};

TEST_F(GlobalInformationTest, WritesOneCallPerEntryInKeyOrder) {
  EXPECT_EQ(Text(), "\n");
  store->SetGlobalBool("f", true);
  store->SetGlobalNumber("n", 2.5);
  store->SetGlobalString("b", "y");
  store->SetGlobalString("a", "x");
  store->SetGlobalString("a", "z");
  EXPECT_EQ(Text(),
            "\nSetGlobalString(\"a\", \"z\");SetGlobalString(\"b\", \"y\");SetGlobalNumber(\"n\", 2.5);"
            "SetGlobalBool(\"f\", true);");
}

TEST_F(GlobalInformationTest, TheMapsAreIndependentAndGetsInsertNothing) {
  store->SetGlobalString("key", "text");
  EXPECT_FALSE(store->GetGlobalBool("key"));
  EXPECT_EQ(store->GetGlobalNumber("key"), 0.0);
  EXPECT_EQ(store->GetGlobalString("other"), TString());
  EXPECT_EQ(Text(), "\nSetGlobalString(\"key\", \"text\");");
}

TEST_F(GlobalInformationTest, ScriptFunctionsReadAndWriteTheStore) {
  Run("SetGlobalString('HintLocation', 'well') SetGlobalNumber('HintPosX', 12.5) SetGlobalNumber('bad', 'x')"
      " SetGlobalBool('endGame', 1) SetGlobalBool('isMainMenu', nil) SetGlobalString('n', 3)");
  EXPECT_EQ(store->GetGlobalString("HintLocation"), TString("well"));
  EXPECT_EQ(store->GetGlobalNumber("HintPosX"), 12.5);
  EXPECT_EQ(store->GetGlobalNumber("bad"), 0.0);
  EXPECT_TRUE(store->GetGlobalBool("endGame"));
  EXPECT_EQ(store->GetGlobalString("n"), TString("3"));
  EXPECT_EQ(Eval("GetGlobalBool('isMainMenu')"), "false");
  EXPECT_EQ(Eval("GetGlobalNumber('HintPosX')"), "12.5");
  EXPECT_EQ(Eval("GetGlobalString('HintLocation')"), "well");
  EXPECT_EQ(Eval("GetGlobalString()"), "");
  // A new instance takes over the functions.
  store = CGlobalInformationSystem::CreateInstance();
  EXPECT_EQ(Eval("GetGlobalString('HintLocation')"), "");
}

// Regression: keys and strings were written unescaped (a quote or backslash lost the whole
// save), and numbers with six digits (1234567 came back as 1234570).
TEST_F(GlobalInformationTest, TheSavedTextReadsBackExactly) {
  store->SetGlobalString("description", "Opas \"alter\" Brief\nC:\\Nebeltal\\");
  store->SetGlobalString("key \" with quote", "");
  store->SetGlobalNumber("score", 1234567);
  store->SetGlobalNumber("third", 1.0 / 3);
  store->SetGlobalNumber("negative", -0.1);
  store->SetGlobalNumber("huge", 1e300);
  store->SetGlobalNumber("nothing", std::nan(""));
  store->SetGlobalBool("back\\slash", false);
  std::string first = Text();
  EXPECT_NE(first.find("SetGlobalNumber(\"score\", 1234567);"), std::string::npos);
  EXPECT_EQ(Reload(), first);
  EXPECT_EQ(store->GetGlobalString("description"), TString("Opas \"alter\" Brief\nC:\\Nebeltal\\"));
  EXPECT_EQ(store->GetGlobalNumber("score"), 1234567.0);
  EXPECT_EQ(store->GetGlobalNumber("third"), 1.0 / 3);
  EXPECT_TRUE(std::isnan(store->GetGlobalNumber("nothing")));
  EXPECT_FALSE(store->GetGlobalBool("back\\slash"));
  EXPECT_EQ(Reload(), first);
}

}  // namespace
