#include "menus/hiscore_window.h"

#include <gtest/gtest.h>

#include <string>

#include "flow/game_defaults.h"
#include "menu_test_util.h"
#include "persistence/jx_hiscores.h"
#include "platform/settings.h"
#include "windows/image_window.h"
#include "windows/message.h"
#include "windows/text_window.h"

namespace {

class HiscoreTest : public TMenuTest {
 protected:
  // The table as its window script builds it: ten rows of name, score, rank and flag, the
  // caption and the scroll buttons; row 7's flag is a text, not an image.
  THiscoreWindow* Build() {
    std::string rows;
    for (int r = 1; r <= 10; r++) {
      std::string y = std::to_string(40 * r);
      rows += "Text{ name = 'name" + std::to_string(r) + "', x = 40, y = " + y +
              ", w = 120, h = 40, font = { 'fonts/default.mvec', 20, { 1, 1, 1, 1 } } },";
      rows += "Text{ name = 'score" + std::to_string(r) + "', x = 200, y = " + y + ", w = 80, h = 40 },";
      rows += "Text{ name = '" + std::to_string(r) + "', y = " + y + ", w = 40, h = 40 },";
      rows += r == 7 ? "Text{ name = 'p1_7', w = 10, h = 10 },"
                     : "Bitmap{ name = 'p1_" + std::to_string(r) + "', x = 300, y = " + y + ", w = 10, h = 10 },";
    }
    return Open<THiscoreWindow>("HiscoreWindow{ w = 400, h = 460, " + rows +
                                " Text{ name = 'topplayers', w = 100, h = 20 },"
                                " Button{ name = 'scrollup', w = 10, h = 10 }, Button{ name = 'scrolldown', w = 10, h = 10 } }");
  }
  // A row of mode 0's table for the player.
  void AddScore(const std::string& name, int score) {
    TJxHiscores& store = Settings().GetHiscores();
    store.SetInfoString(1, name.c_str());
    store.SetInfoString(2, GetGameModeTableName(0));
    store.AddScore(score, true, "");
  }
  bool Shown(const std::string& name) {
    TWindow* window = Manager().GetTopModal()->FindChild(name.c_str());
    return window && window->IsVisible();
  }
  std::string Text(const std::string& name) { return Child<TText>(name.c_str())->GetText().ToStd(); }
  int FontSize(int row) { return Child<TText>(("name" + std::to_string(row)).c_str())->GetTextGraphic()->GetFontSize(); }
};

}  // namespace

// Twelve rows: table rows 1 to 10 show store rows 0 to 9 of game mode 0's table, whatever
// the current mode, which the store keeps afterwards. A long name shrinks to the largest
// size that fits; a name that fits keeps its size.
TEST_F(HiscoreTest, TheTableFillsFromTheFirstTenRowsWithTheNamesFitted) {
  const std::string longName = "Maximiliane Josephine";
  for (int i = 0; i < 12; i++) {
    std::string name = i == 2 ? longName : "Spieler " + std::to_string(i);
    AddScore(name, 5000 - 100 * i);
  }
  Settings().SetCurrentGameMode(1);
  THiscoreWindow* table = Build();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(Settings().GetHiscores().GetScoreCount(true), 0);  // mode 1's table again
  for (int r = 1; r <= 10; r++) {
    std::string row = std::to_string(r);
    EXPECT_TRUE(Shown("name" + row) && Shown("score" + row) && Shown(row)) << r;
    EXPECT_EQ(Text("score" + row), std::to_string(5000 - 100 * (r - 1)));
    EXPECT_EQ(Text(row), row + ".");
    // The store flags every row it keeps: no flag image shows (row 7's is no image).
    EXPECT_EQ(Shown("p1_" + row), r == 7) << r;
  }
  EXPECT_EQ(Text("name1"), "Spieler 0");
  EXPECT_EQ(Text("name10"), "Spieler 9");
  EXPECT_EQ(FontSize(1), 20);
  int fittedSize = FontSize(3);
  EXPECT_LT(fittedSize, 20);
  EXPECT_GT(fittedSize, 1);
  TText* fitted = Child<TText>("name3");
  auto fits = [fitted] {
    TRect bounds = fitted->GetTextBounds();
    return bounds.right < fitted->GetWidth() && bounds.top >= 0 && bounds.bottom <= fitted->GetHeight();
  };
  EXPECT_TRUE(fits());
  for (const char* name : {"topplayers", "scrollup", "scrolldown"}) EXPECT_FALSE(Shown(name)) << name;

  // A scroll press fills again from the first row and goes on to the script.
  TMessage down(MessageButtonPress, "scrolldown");
  EXPECT_FALSE(table->OnMessage(down));
  EXPECT_EQ(table->GetFirstRow(), 0);
  EXPECT_EQ(Text("name1"), "Spieler 0");
  EXPECT_TRUE(Shown("name10"));

  // The size it got is the largest that fits.
  fitted->GetTextGraphic()->SetFontSize(fittedSize + 1);
  EXPECT_FALSE(fits());
}

// An empty table hides every row and the scroll buttons; the caption follows
// "hiscorelocal".
TEST_F(HiscoreTest, AnEmptyTableShowsNothingButTheCaption) {
  Settings();
  SetConfig("hiscorelocal", "1");
  Build();
  for (int r = 1; r <= 10; r++) EXPECT_FALSE(Shown("name" + std::to_string(r)) || Shown(std::to_string(r))) << r;
  EXPECT_TRUE(Shown("topplayers"));
  EXPECT_FALSE(Shown("scrollup"));

  AddScore("Ann", 10);
  Lua("PopModal('menu')");
  SetConfig("hiscorelocal", "0");
  SetConfig("hiscoreanon", "1");
  Build();
  EXPECT_TRUE(Shown("name1"));
  EXPECT_FALSE(Shown("topplayers"));
}
