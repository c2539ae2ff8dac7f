#include "model/mirrored_image_game.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "model_compositor_test_util.h"

namespace {

using TSlots = std::set<std::pair<int32_t, int32_t>>;

class TMirroredImageTest : public TModelTextTest {
 protected:
  CMirroredImageGame& Load(const std::string& fields) {
    RunOneScene("MakeMirroredImageGame", fields);
    return FirstScene<CMirroredImageGame>(27);
  }
  static std::string Slots(int count) {
    std::string slots = "{ ";
    for (int i = 0; i < count; ++i) slots += "{ xPos = " + std::to_string(i) + ", yPos = " + std::to_string(10 * i) + " }, ";
    return slots + "}";
  }
  // The slots of the deal, each checked to be used once.
  static TSlots DealtSlots(const CMirroredImageGame& game) {
    TSlots slots;
    std::vector<const CMirroredImageGame::TImageSprite*> shown;
    for (int32_t i = 0; i < game.GetFalseSpriteCount(); ++i) shown.push_back(game.GetFalseSprite(i));
    if (game.GetCorrectSprite()) shown.push_back(game.GetCorrectSprite());
    for (const auto* sprite : shown) EXPECT_TRUE(slots.insert({sprite->position.x, sprite->position.y}).second);
    return slots;
  }
};

TEST_F(TMirroredImageTest, PlaysFromARecordToALossAndAWin) {
  CMirroredImageGame& game = Load(R"(amountSelectedFalseImages = 2, amountAllFalseImages = 10, filepath = "mi/",
      nameFalseImage = "face", nameCorrectImage = "true_face", { { xPos = 120, yPos = 300 }, { xPos = -4 },
      { yPos = 7 }, "not a slot", { xPos = 9, yPos = 9 } })");
  ASSERT_EQ(game.GetPositionCount(), 4);
  game.DealImages();
  ASSERT_EQ(game.GetFalseSpriteCount(), 2);
  std::set<int> numbers;
  for (int32_t i = 0; i < 2; ++i) {
    const auto* sprite = game.GetFalseSprite(i);
    EXPECT_EQ(sprite->name.ToStd(), "false");
    std::string image = sprite->image.ToStd();
    ASSERT_EQ(image.rfind("mi/face", 0), 0u) << image;
    std::string number = image.substr(7);
    EXPECT_NE(number[0], '0') << image;
    numbers.insert(std::stoi(number));
  }
  EXPECT_EQ(numbers.size(), 2u);
  EXPECT_GE(*numbers.begin(), 1);
  EXPECT_LE(*numbers.rbegin(), 10);
  ASSERT_TRUE(game.GetCorrectSprite());
  EXPECT_EQ(game.GetCorrectSprite()->image.ToStd(), "mi/true_face");
  // Slots 0 to 2 are dealt; a slot without yPos or xPos keeps the one before it.
  EXPECT_EQ(DealtSlots(game), (TSlots{{120, 300}, {-4, 300}, {-4, 7}}));

  EXPECT_FALSE(game.CheckAnswer("false"));
  EXPECT_FALSE(game.IsWon());
  EXPECT_TRUE(game.CheckAnswer("correct"));
  EXPECT_TRUE(game.IsWon());
  game.DealImages();
  EXPECT_TRUE(game.IsWon());

  std::string text = Save();
  EXPECT_NE(text.find("\t\t{xPos = -4, yPos = 300},\n\t\t{xPos = -4, yPos = 7},\n"), std::string::npos);
  Reload(text);
  EXPECT_EQ(Save(), text);
}

// Regression: a deal asked for more false images than exist (a draw from an empty pool) or
// than the slots hold (slots read past the end).
TEST_F(TMirroredImageTest, DealsNoMoreThanTheImagesAndSlotsAllow) {
  const struct {
    const char* amounts;
    int slots;
    int32_t falseShown;
    bool correctShown;
  } cases[] = {
      {"amountSelectedFalseImages = 3, amountAllFalseImages = 3", 4, 3, true},
      {"amountSelectedFalseImages = 5, amountAllFalseImages = 3", 10, 3, true},
      {"amountSelectedFalseImages = 5, amountAllFalseImages = 10", 3, 2, true},
      {"amountSelectedFalseImages = 2, amountAllFalseImages = 2147483647", 3, 2, true},
      {"amountSelectedFalseImages = 0, amountAllFalseImages = -3", 2, 0, true},
      {"amountSelectedFalseImages = 2, amountAllFalseImages = 4", 0, 0, false},
  };
  for (const auto& c : cases) {
    CMirroredImageGame& game = Load(std::string(c.amounts) + ", " + Slots(c.slots));
    game.DealImages();
    EXPECT_EQ(game.GetFalseSpriteCount(), c.falseShown) << c.amounts << ", " << c.slots;
    EXPECT_EQ(game.GetCorrectSprite() != nullptr, c.correctShown) << c.amounts << ", " << c.slots;
    EXPECT_EQ(DealtSlots(game).size(), size_t(c.falseShown + c.correctShown));
    EXPECT_EQ(game.GetFalseSprite(c.falseShown), nullptr);
  }
  EXPECT_NE(ReadLog().find("5 false images asked, of 3 and with 10 slots; 3 shown"), std::string::npos);
}

}  // namespace
