#include "model/cutscene.h"

#include <gtest/gtest.h>

#include <string>

#include "model_compositor_test_util.h"

namespace {

std::unique_ptr<CCutsceneScriptItem> Line(const char* character, int32_t mood = 1) {
  auto item = std::make_unique<CCutsceneScriptItem>();
  item->SetCharacterId(character);
  item->SetMood(mood);
  return item;
}

std::unique_ptr<CCutsceneCharacter> Character(const char* id, int32_t position) {
  auto character = std::make_unique<CCutsceneCharacter>();
  character->SetId(id);
  character->SetPosition(position);
  return character;
}

TEST(CutsceneTest, ScriptStopsAtTheFirstMissingStep) {
  CCutsceneScript script;
  script.AddItem(1, Line("a"));
  script.AddItem(2, Line("b"));
  script.AddItem(5, Line("c"));
  EXPECT_EQ(script.GetCurrentItem()->GetCharacterId().ToStd(), "a");
  EXPECT_TRUE(script.Advance());
  EXPECT_FALSE(script.Advance());
  EXPECT_EQ(script.GetCurrentItem()->GetCharacterId().ToStd(), "b");
  script.Rewind();
  EXPECT_EQ(script.GetCurrentStep(), 1);
}

TEST(CutsceneTest, FindCharacterAtPositionGoesByStep) {
  CCutscene cutscene;
  EXPECT_EQ(cutscene.FindCharacterAtPosition(2), nullptr);
  cutscene.AddCharacter(Character("silent", 2));
  cutscene.AddCharacter(Character("left", 1));
  cutscene.AddCharacter(Character("right", 2));
  auto script = std::make_unique<CCutsceneScript>();
  for (int32_t step = 1; step <= 3; ++step) script->AddItem(step, Line("left"));
  script->AddItem(4, Line("right"));
  cutscene.SetScript(std::move(script));
  EXPECT_EQ(cutscene.FindCharacterAtPosition(2)->GetId().ToStd(), "right");
  EXPECT_EQ(cutscene.FindCharacterAtPosition(1)->GetId().ToStd(), "left");
  EXPECT_EQ(cutscene.FindCharacterAtPosition(3), nullptr);
  EXPECT_TRUE(cutscene.IsOfType(11));
  EXPECT_FALSE(cutscene.IsOfType(1));
}

TEST(CutsceneTest, RecordForm) {
  CCutscene cutscene;
  cutscene.AddCharacter(Character("plain", 0));
  auto script = std::make_unique<CCutsceneScript>();
  script->AddItem(1, Line("plain", 0));
  cutscene.SetScript(std::move(script));
  std::string text;
  cutscene.Serialize(text);
  EXPECT_NE(text.find("\tletterFont = \"fonts/default.mvec\",\n\tletterFontSize = \"30\",\n"), std::string::npos);
  EXPECT_NE(text.find("\nMakeCutsceneCharacter\n{\n\tid= \"plain\",\n\tname= \"\",\n\tposition = 0,\n\toffsetX = 0,\n"
                      "}; -- MakeCutsceneCharacter end\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\t{ \"plain\", \"normal\", \"\", \"\" },\n"), std::string::npos) << text;
}

using TCutsceneTextTest = TModelTextTest;

TEST_F(TCutsceneTextTest, StepsReadBackNumberedFromOne) {
  Run("MakeGame{ MakeLevel{ MakeCutscene{ seqId = 4, MakeCutsceneScript{ [1] = {'a'}, [2] = {'b'}, [5] = {'c'} } } } }");
  auto* cutscene = static_cast<CCutscene*>(Game().FindScene(4));
  ASSERT_EQ(cutscene->GetScript()->GetItems().size(), 3u);
  EXPECT_EQ(cutscene->GetScript()->GetItems().count(5), 1u);
  Reload(Save());
  cutscene = static_cast<CCutscene*>(Game().FindScene(4));
  const CCutsceneScript::Items& steps = cutscene->GetScript()->GetItems();
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps.at(3)->GetCharacterId().ToStd(), "c");
}

}  // namespace
