#include "menus/custom_text_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "menu_test_util.h"
#include "platform/platform_event.h"
#include "windows/button.h"

namespace {

class TextEditTest : public TMenuTest {
 protected:
  void SetUp() override {
    TMenuTest::SetUp();
    for (int n = 1; n <= TCustomTextEdit::TypingSoundCount; n++) {
      TString name = TCustomTextEdit::TypingSoundName(n);
      WriteSound(name.Substr(0, name.Find('?')).c_str());
    }
  }
  // A name field of five characters with a preset text as long as that and an OK button,
  // which starts hidden; `clear' is the field's "clearinitial".
  TCustomTextEdit* Build(bool clear) {
    Open<TWindow>(std::string("Window{ w = 400, h = 300,"
                              " TextEdit{ name = 'field', w = 200, h = 30, length = 5, utf8 = true,"
                              " label = 'Name!', enablewindow = 'ok', clearinitial = ") +
                  (clear ? "true" : "false") + " }, Button{ name = 'ok', y = 40, w = 20, h = 20 } }");
    Lua("EnableWindow('ok', false)");
    return Child<TCustomTextEdit>("field");
  }
  bool Type(TCustomTextEdit* field, const char* text) { return field->OnUnicodeChar(text); }
  std::string Text(TCustomTextEdit* field) { return field->GetText().ToStd(); }
  bool OkShown() { return Child<TButton>("ok")->IsVisible(); }
  size_t Sounds() { return mSound->GetPlayingCount(); }
};

}  // namespace

// "clearinitial": the preset text goes at the first click, which does nothing else, or
// with the first character typed, which then stands alone. Without it the text stays.
TEST_F(TextEditTest, ThePresetTextGoesAtTheFirstClickOrKey) {
  TCustomTextEdit* field = Build(true);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(std::string(field->GetClassName()), "TCustomTextEdit");
  EXPECT_EQ(Text(field), "Name!");
  EXPECT_TRUE(field->OnMouseUp(TPoint(5, 5)));
  EXPECT_EQ(Text(field), "");
  EXPECT_FALSE(OkShown());
  Type(field, "A");
  EXPECT_EQ(Text(field), "A");

  Lua("PopModal('menu')");
  field = Build(true);
  EXPECT_TRUE(Type(field, "ü"));
  EXPECT_EQ(Text(field), "ü");

  Lua("PopModal('menu')");
  field = Build(false);
  EXPECT_FALSE(Type(field, "x"));
  EXPECT_FALSE(field->OnMouseUp(TPoint(5, 5)));
  Type(field, "\b");
  EXPECT_TRUE(Type(field, "x"));
  EXPECT_EQ(Text(field), "Namex");
}

// Every character typed plays a typing sound and shows the enable window; a backspace that
// takes the last character away hides it again (also a character of two bytes), deleting
// with another key does not; typing at the length plays nothing and changes nothing.
TEST_F(TextEditTest, TypingSoundsAndTheEnableWindowFollowTheText) {
  TCustomTextEdit* field = Build(true);
  ASSERT_NE(field, nullptr);
  EXPECT_TRUE(Type(field, "J"));
  EXPECT_EQ(Sounds(), 1u);
  EXPECT_TRUE(OkShown());
  EXPECT_TRUE(Type(field, "\b"));
  EXPECT_FALSE(OkShown());
  EXPECT_TRUE(Type(field, "ä"));
  EXPECT_TRUE(OkShown());
  EXPECT_TRUE(Type(field, "\b"));
  EXPECT_EQ(Text(field), "");
  EXPECT_FALSE(OkShown());

  for (const char* c : {"J", "ü", "r", "g", "e"}) EXPECT_TRUE(Type(field, c)) << c;
  EXPECT_EQ(Sounds(), 7u);
  Lua("EnableWindow('ok', false)");
  EXPECT_FALSE(Type(field, "n"));
  EXPECT_EQ(Text(field), "Jürge");
  EXPECT_EQ(Sounds(), 7u);
  EXPECT_FALSE(OkShown());

  Lua("EnableWindow('ok', true)");
  field->OnKeyDown(EngineKeyLeft, 0);
  for (int i = 0; i < 4; i++) field->OnKeyDown(EngineKeyLeft, 0);
  for (int i = 0; i < 5; i++) field->OnKeyDown(EngineKeyDelete, 0);
  EXPECT_EQ(Text(field), "");
  EXPECT_TRUE(OkShown());
}
