#include "model/placing_pictures_game.h"

#include <gtest/gtest.h>

#include "model/scene_hotspot.h"
#include "model_compositor_test_util.h"

namespace {

// A square hotspot of id n at x = 100 n.
std::string Hotspot(int n, const char* start, const char* end) {
  std::string x1 = std::to_string(100 * n), x2 = std::to_string(100 * n + 90);
  return "{ id = \"" + std::to_string(n) + "\", imageStart = \"" + start + "\", imageEnd = \"" + end +
         "\", xPos1 = " + x1 + ", xPos2 = " + x2 + ", xPos3 = " + x2 + ", xPos4 = " + x1 +
         ", yPos1 = 0, yPos2 = 0, yPos3 = 90, yPos4 = 90 }, ";
}

class TPlacingPicturesTest : public TModelTextTest {
 protected:
  CPlacingPicturesGame& Load(const std::string& fields) {
    RunOneScene("MakePlacingPicturesGame", fields);
    return Pictures();
  }
  CPlacingPicturesGame& Pictures() { return FirstScene<CPlacingPicturesGame>(31); }
  // The pictures the hotspot objects hold, in board order.
  std::vector<std::string> Board() {
    std::vector<std::string> names;
    for (int32_t i = 0; i < Pictures().GetHotspotObjectCount(); ++i)
      names.push_back(Pictures().GetHotspotObject(i)->GetName().ToStd());
    return names;
  }
};

TEST_F(TPlacingPicturesTest, PlaysFromARecordToAWinAndKeepsItsProgress) {
  CPlacingPicturesGame& game = Load(R"(filepath = "pp/sun", checkbutton = "pp/check", checkbuttonX = -1,
      textFont = "fonts/serif", textboxWidth = 200, textColor = { red = 255, green = 128, blue = 0, alpha = 255 },
      textboxes = { { text = "skip", x = -5, y = 40, rotation = 12.5 } },
      hotspots = { )" + Hotspot(0, "1", "2") + Hotspot(1, "2", "1") + Hotspot(2, "", "?") + "}");
  EXPECT_EQ(game.GetCheckbuttonX(), 4294967295u);
  EXPECT_EQ(game.GetCheckbuttonY(), 0u);
  EXPECT_FALSE(game.GetSwopMode());
  EXPECT_EQ(game.GetTextboxPosition(0).x, -5);
  ASSERT_EQ(game.GetHotspotCount(), 3);
  EXPECT_EQ(game.GetHotspotX2(1), 190);

  game.LayOutBoard();
  ASSERT_EQ(Board(), (std::vector<std::string>{"1", "2", ""}));
  EXPECT_FALSE(game.GetHotspotObject(0)->IsActive());
  EXPECT_TRUE(game.GetHotspotObject(2)->IsActive());
  EXPECT_EQ(game.FindHotspotObject(game.FindSceneHotspot("2")), 2);
  EXPECT_FALSE(game.IsWon());
  EXPECT_FALSE(game.PickUpPicture("7"));
  EXPECT_TRUE(game.PickUpPicture("1"));
  EXPECT_FALSE(game.PickUpPicture("2"));
  // A hotspot that holds a picture takes none in normal mode.
  EXPECT_FALSE(game.DropPicture(1).placed);
  EXPECT_TRUE(game.DropPicture(2).placed);
  EXPECT_EQ(Board(), (std::vector<std::string>{"", "2", "1"}));
  EXPECT_TRUE(game.GetHotspotObject(0)->IsActive());
  EXPECT_FALSE(game.GetHotspotObject(2)->IsActive());

  // Saved with the board up: the board in the scene's hotspots, the end pictures alone
  // (regression: saved again before the board was laid out, they were lost).
  std::string text = Save();
  EXPECT_NE(text.find("checkbuttonX = 4294967295,"), std::string::npos);
  EXPECT_NE(text.find("red = 255, green = 128, blue = 0, alpha = 255"), std::string::npos);
  EXPECT_NE(text.find("\n\t{text = \"skip\", x = -5, y = 40, rotation = 12.5},\n"), std::string::npos);
  EXPECT_NE(text.find("\n\t{imageEnd = \"?\"},\n"), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
  CPlacingPicturesGame& loaded = Pictures();
  loaded.LayOutBoard();
  ASSERT_EQ(Board(), (std::vector<std::string>{"", "2", "1"}));
  EXPECT_EQ(loaded.GetHotspotX2(1), 190);
  EXPECT_TRUE(loaded.PickUpPicture("2"));
  EXPECT_TRUE(loaded.DropPicture(0).placed);
  EXPECT_TRUE(loaded.PickUpPicture("1"));
  EXPECT_TRUE(loaded.DropPicture(1).placed);
  EXPECT_TRUE(loaded.IsWon());

  // The screen goes and comes back: the board as it was left.
  loaded.ClearHotspotObjects();
  text = Save();
  EXPECT_NE(text.find("{id = \"1\", imageStart = \"2\", imageEnd = \"1\", xPos1 = 100, "), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
  Pictures().LayOutBoard();
  EXPECT_EQ(Board(), (std::vector<std::string>{"2", "1", ""}));
  EXPECT_TRUE(Pictures().IsWon());
}

// Regression: swap mode was not saved, and a swap drop after a pick-up that emptied no
// hotspot sent the target's picture to hotspot 0, over the picture there.
TEST_F(TPlacingPicturesTest, SwapsKeepEveryPictureAndTheModeIsSaved) {
  CPlacingPicturesGame& game = Load("swopMode = \"yes\", hotspots = { " + Hotspot(0, "3", "3") + Hotspot(1, "2", "1") +
                                    Hotspot(2, "1", "2") + "}");
  ASSERT_TRUE(game.GetSwopMode());
  std::string text = Save();
  EXPECT_NE(text.find("swopMode = \"true\","), std::string::npos);
  Reload(text);
  CPlacingPicturesGame& loaded = Pictures();
  ASSERT_TRUE(loaded.GetSwopMode());
  loaded.LayOutBoard();
  EXPECT_TRUE(loaded.GetHotspotObject(0)->IsActive());

  ASSERT_TRUE(loaded.PickUpPicture("1"));
  CPlacingPicturesGame::TDrop drop = loaded.DropPicture(1);
  EXPECT_TRUE(drop.placed);
  EXPECT_EQ(drop.returned.ToStd(), "2");
  EXPECT_EQ(drop.returnedTo, 2);
  EXPECT_EQ(Board(), (std::vector<std::string>{"3", "1", "2"}));
  // Back on the hotspot it came from: nothing else moves.
  ASSERT_TRUE(loaded.PickUpPicture("3"));
  drop = loaded.DropPicture(0);
  EXPECT_TRUE(drop.placed);
  EXPECT_EQ(drop.returnedTo, -1);
  EXPECT_EQ(Board(), (std::vector<std::string>{"3", "1", "2"}));
  EXPECT_TRUE(loaded.IsWon());
}

// Regression: the hotspots taken back from the scene were counted through from the smallest
// id value to the largest (an id of "-1" never ended), board indices went unchecked, a
// hotspot record lacking keys put the lists out of step, and an end list shorter than the
// hotspots was read past its end.
TEST_F(TPlacingPicturesTest, BoardsFromUnevenRecordsStayWithinTheirLists) {
  CPlacingPicturesGame& game = Load(R"(
      MakeSceneHotspot{ id = "-1", name = "4" }, MakeSceneHotspot{ id = "10", name = "" },
      MakeSceneHotspot{ id = "9", name = "5" }, MakeSceneHotspot{ id = "09", name = "6" },
      hotspots = { { imageEnd = "6" }, { imageEnd = "" } })");
  EXPECT_EQ(game.GetHotspotCount(), 0);
  game.LayOutBoard();
  ASSERT_EQ(game.GetHotspotCount(), 3);
  EXPECT_EQ(game.GetHotspotId(0).ToStd(), "09");
  EXPECT_EQ(game.GetHotspotId(1).ToStd(), "10");
  EXPECT_EQ(game.GetHotspotId(2).ToStd(), "-1");
  EXPECT_EQ(Board(), (std::vector<std::string>{"6", "", "4"}));
  EXPECT_EQ(game.GetSceneHotspots().size(), 3u);
  // The third hotspot has no end picture: it must end empty.
  EXPECT_FALSE(game.IsWon());
  ASSERT_TRUE(game.PickUpPicture("4"));
  EXPECT_FALSE(game.DropPicture(3).placed);
  EXPECT_FALSE(game.DropPicture(-1).placed);
  EXPECT_TRUE(game.DropPicture(1).placed);
  EXPECT_FALSE(game.IsWon());
  EXPECT_EQ(game.GetHotspotObject(3), nullptr);
  EXPECT_EQ(game.GetHotspotX1(3), 0);
  EXPECT_EQ(game.GetHotspotImageEnd(2).ToStd(), "");

  CPlacingPicturesGame& uneven = Load(R"(hotspots = { { id = "0", xPos1 = 7, imageEnd = "?" }, { imageStart = "2" },
      { id = "0", imageStart = "3", yPos4 = 9 }, "not a hotspot" })");
  ASSERT_EQ(uneven.GetHotspotCount(), 3);
  EXPECT_EQ(uneven.GetHotspotImageStart(0).ToStd(), "");
  EXPECT_EQ(uneven.GetHotspotX1(0), 7);
  EXPECT_EQ(uneven.GetHotspotId(1).ToStd(), "");
  EXPECT_EQ(uneven.GetHotspotImageEnd(1).ToStd(), "");
  EXPECT_EQ(uneven.GetHotspotY4(2), 9);
  // The second hotspot of id "0" would replace the first in the scene: it is left out.
  uneven.LayOutBoard();
  EXPECT_EQ(uneven.GetHotspotCount(), 2);
  EXPECT_EQ(Board(), (std::vector<std::string>{"", "2"}));
  EXPECT_NE(ReadLog().find("the hotspot id \"0\" is given twice"), std::string::npos);
}

}  // namespace
