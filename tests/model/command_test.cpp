#include <gtest/gtest.h>

#include "model/command.h"
#include "model/game.h"
#include "model/inventory_item.h"
#include "model_test_util.h"
#include "script/lua_binding.h"

namespace {

using CommandTest = TModelTest;

TEST_F(CommandTest, LuaCommandWritesItsCodeVerbatimAndRunsOnTheModelScript) {
  CCommandLua command("SetNextScene(4)");
  std::string out = "x";
  command.Serialize(out);
  EXPECT_EQ(out, "xSetNextScene(4)");

  CCommandLua run("ran = (ran or 0) + 1");
  run.Execute();
  run.Execute();
  EXPECT_EQ(Eval("ran"), "2");
  // A failing command is logged by the script runtime and keeps its code.
  CCommandLua broken("error('boom')");
  broken.Execute();
  EXPECT_EQ(broken.GetScript(), TString("error('boom')"));
  EXPECT_NE(ReadLog().find("boom"), std::string::npos);

  SetModelScript(nullptr);
  run.Execute();
  SetModelScript(mScript.get());
  EXPECT_EQ(Eval("ran"), "2");
  EXPECT_NE(ReadLog().find("Command not run (no model script): ran = (ran or 0) + 1"), std::string::npos);
}

TEST_F(CommandTest, ActionMapsRunWriteAndCopyTheirCommands) {
  ActionMap map;
  EXPECT_FALSE(map.Execute("OnClick"));
  std::string out;
  map.Serialize(out);
  EXPECT_EQ(out, "");  // an empty map writes no record

  map.Set("OnClick", std::make_shared<CCommandLua>("clicked = 1"));
  map.Set("OnUse", std::make_shared<CCommandLua>("Say(\"a \\\\ b\")"));
  map.Set("OnClick", std::make_shared<CCommandLua>("clicked = 2"));
  map.Set("Ignored", nullptr);
  EXPECT_EQ(map.GetSize(), 2u);
  EXPECT_TRUE(map.Execute("OnClick"));
  EXPECT_EQ(Eval("clicked"), "2");

  map.Serialize(out);
  EXPECT_EQ(out,
            "\nMakeActionMap\n{\n{\"OnClick\" ,\"clicked = 2\"},\n"
            "{\"OnUse\" ,\"Say(\\\"a \\\\\\\\ b\\\")\"},\n}; -- MakeActionMap end\n");
  // The escaped code reads back as it was.
  Run("function MakeActionMap(t) read = t end" + out);
  EXPECT_EQ(Eval("read[2][2]"), "Say(\"a \\\\ b\")");

  // Copying entries keeps the entries of other events.
  ActionMap own;
  own.Set("OnLook", std::make_shared<CCommandLua>("looked = 1"));
  own.Set("OnUse", std::make_shared<CCommandLua>("old = 1"));
  own.CopyEntriesFrom(map);
  EXPECT_EQ(own.GetSize(), 3u);
  EXPECT_EQ(static_cast<CCommandLua*>(own.Find("OnUse"))->GetScript(), TString("Say(\"a \\\\ b\")"));
}

// A command may load another game, which deletes the hotspot that runs it.
CGame* NewGameWithHotspot() {
  CGame::DestroyInstance();
  CGame* game = CGame::CreateInstance();
  auto level = std::make_unique<CLevel>();
  auto scene = std::make_unique<CTestScene>(1);
  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId("door");
  ActionMap map;
  map.Set("OnClick", std::make_shared<CCommandLua>("ReplaceGame() after = 1"));
  hotspot->SetActionMap(std::move(map));
  scene->AddSceneHotspot(std::move(hotspot));
  level->AddScene(std::move(scene));
  game->AddLevel(std::move(level));
  return game;
}
void ReplaceGame() { NewGameWithHotspot(); }

TEST_F(CommandTest, ACommandThatDeletesItsHolderRunsToItsEnd) {
  BindLuaFunction(L(), "ReplaceGame", &ReplaceGame);
  CGame* game = NewGameWithHotspot();
  EXPECT_TRUE(game->FindSceneHotspot("door")->ExecuteAction("OnClick"));
  EXPECT_EQ(Eval("after"), "1");
  EXPECT_NE(CGame::GetInstance()->FindSceneHotspot("door"), nullptr);
}

TEST_F(CommandTest, InventoryItemsAnswerForTheirActions) {
  CInventoryItem item;
  item.SetId("1");
  item.SetName("Laterne");
  item.SetDescription("Eine alte Laterne");
  EXPECT_FALSE(item.HasAction("OnUse"));
  ActionMap map;
  map.Set("OnUse", std::make_shared<CCommandLua>("used = true"));
  map.Set("", std::make_shared<CCommandLua>("nameless = true"));
  item.SetActionMap(map);
  EXPECT_TRUE(item.HasAction("OnUse"));
  EXPECT_FALSE(item.HasAction(""));
  EXPECT_FALSE(item.ExecuteAction("OnLook"));
  EXPECT_TRUE(item.ExecuteAction("OnUse"));
  EXPECT_EQ(Eval("used"), "true");

  std::string out;
  item.Serialize(out);
  EXPECT_EQ(out,
            "\nMakeInventoryItem\n{\n\tid = \"1\",\n\tname = \"Laterne\",\n\tdescription = \"Eine alte Laterne\",\n"
            "\timage = \"\",\n\tpickUpImage = \"\",\n"
            "\nMakeActionMap\n{\n{\"\" ,\"nameless = true\"},\n{\"OnUse\" ,\"used = true\"},\n}; -- MakeActionMap end\n"
            "}; -- MakeInventoryItem end\n");
}

}  // namespace
