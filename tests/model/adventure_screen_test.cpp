#include "model/adventure_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/placing_object_game.h"

namespace {

struct TCountingObserver : CObserver {
  int notifications = 0;
  void Notify(CObservedSubject*) override { notifications++; }
};

std::unique_ptr<CSceneObject> MakeObject(const char* id, const char* image = "") {
  auto object = std::make_unique<CSceneObject>();
  object->SetId(id);
  object->SetImage(image);
  return object;
}

TEST(AdventureScreenTest, ObjectsInTheOrderAdded) {
  CAdventureScreen room;
  EXPECT_EQ(room.GetNextSceneObject(), nullptr);
  room.AddSceneObject(MakeObject("first", "a"));
  room.AddSceneObject(MakeObject("second"));
  room.AddSceneObject(MakeObject("first", "b"));
  room.RewindSceneObjects();
  std::vector<std::string> walked;
  while (room.HasNextSceneObject()) walked.push_back(room.GetNextSceneObject()->GetImage().ToStd());
  EXPECT_EQ(walked, (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(room.GetNextSceneObject()->GetImage().ToStd(), "b");

  TCountingObserver observer;
  room.Attach(&observer);
  room.SetObjectActive("first", true);
  room.SetObjectVisible("nobody", false);
  room.SetObjectAlpha("second", 0.5f);
  EXPECT_EQ(observer.notifications, 3);
  EXPECT_EQ(room.FindSceneObject("first")->GetImage().ToStd(), "a");
  EXPECT_TRUE(room.IsObjectActive("first"));
  EXPECT_FALSE(room.IsObjectActive("nobody"));
  EXPECT_EQ(room.FindSceneObject("second")->GetAlpha(), 0.5f);
  room.Detach(&observer);
}

TEST(AdventureScreenTest, EachKindAnswersOnlyItsOwnType) {
  CAdventureScreen room;
  CPlacingObjectGame placing;
  EXPECT_TRUE(room.IsOfType(18));
  EXPECT_FALSE(room.IsOfType(29));
  EXPECT_TRUE(placing.IsOfType(29));
  EXPECT_FALSE(placing.IsOfType(18));
}

TEST(AdventureScreenTest, PlacingGameTakesItemsAndKeepsItsObservers) {
  CPlacingObjectGame placing;
  TCountingObserver observer;
  placing.GetInventory().Attach(&observer);
  CInventory loaded;
  loaded.AddItem("vase");
  loaded.AddItem("bild");
  placing.SetInventory(loaded);
  EXPECT_EQ(placing.GetInventory().GetItemCount(), 2);
  placing.GetInventory().AddItem("krug");
  EXPECT_EQ(observer.notifications, 2);
  placing.GetInventory().Detach(&observer);
}

TEST(AdventureScreenTest, TextboxBlock) {
  CAdventureScreen room;
  room.SetTextFont("fonts/default.mvec");
  room.SetTextColor(255, 128, 0, 255);
  room.AddTextboxText("sign");
  room.AddTextboxPosition(10, -20);
  room.AddTextboxRotation(0.5f);
  room.AddTextboxText("note \"2\"");
  room.AddTextboxPosition(3, 4);
  room.AddTextboxRotation(-90);
  std::string text;
  room.Serialize(text);
  EXPECT_NE(text.find("\ttextFont = \"fonts/default.mvec\",\n\ttextboxHeight = 0,\n\ttextboxWidth = 0,\n"
                      "\tlineHeight = 0,\n"
                      "\ttextColor = { red = 255, green = 128, blue = 0, alpha = 255\t},\n"
                      "\ttextboxes = {\n"
                      "\n\t{text = \"sign\", x = 10, y = -20, rotation = 0.5},\n"
                      "\n\t{text = \"note \\\"2\\\"\", x = 3, y = 4, rotation = -90},\n"
                      "\t},\n}; -- MakeAdventureScreen end\n"),
            std::string::npos)
      << text;
  // Lists out of step (only code can make them so) read as empty, not past their end.
  room.AddTextboxText("third");
  EXPECT_EQ(room.GetTextboxPosition(2).x, 0);
  EXPECT_EQ(room.GetTextboxRotation(2), 0.0f);
  EXPECT_EQ(room.GetTextboxText(-1).ToStd(), "");
}

}  // namespace
