// The text widget: its style, label lookup, links that press buttons, scrolling; and style
// inheritance as the widgets see it.

#include "platform/string_table.h"
#include "windows/button.h"
#include "windows/text_window.h"
#include "widget_test_util.h"

namespace {

class TextWindowTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    mStrings.Set("HELLO", "Hallo Welt");
    SetStringTable(&mStrings);
  }
  void TearDown() override {
    SetStringTable(nullptr);
    TWidgetTest::TearDown();
  }
  TTextGraphic* Graphic(const char* name) {
    TText* text = Find<TText>(name);
    return text ? text->GetTextGraphic() : nullptr;
  }
  // A point of the text's box over the link, found by scanning.
  bool FindLink(TText* text, TPoint& at) {
    for (int32_t y = 0; y < text->GetHeight(); y += 2)
      for (int32_t x = 0; x < text->GetWidth(); x += 2)
        if (!text->GetTextGraphic()->GetLinkAt(float(x), float(y)).IsEmpty()) {
          at = TPoint(x, y);
          return true;
        }
    return false;
  }

  TStringTable mStrings;
};

TEST_F(TextWindowTest, WithoutAFontTableTheTextIsGreenInTheDefaultFontAtSixteen) {
  Build("Text{ name = 'plain', w = 100, h = 30, label = '#x' }();"
        "Text{ name = 'small', w = 100, h = 30, font = { 'fonts/default.mvec', 0, { 1, 0, 0, 0.5 } } }();"
        "Text{ name = 'centred', w = 100, h = 30, defflags = kHAlignCenter }()");
  TTextGraphic* plain = Graphic("plain");
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->GetFontName(), TString("__DEFAULT"));
  EXPECT_EQ(plain->GetFontSize(), 16);
  EXPECT_EQ(plain->GetColor(), (TColor{0, 1, 0, 1}));
  TTextGraphic* small = Graphic("small");
  EXPECT_EQ(small->GetFontName(), TString("fonts/default.mvec"));
  EXPECT_EQ(small->GetFontSize(), 12);
  EXPECT_EQ(small->GetColor(), (TColor{1, 0, 0, 0.5f}));
  EXPECT_EQ(plain->GetAlignFlags(), 0u);
  EXPECT_EQ(Graphic("centred")->GetAlignFlags(), 1u);
}

TEST_F(TextWindowTest, LabelsAreLookedUpWhileTheLabelFlagIsSet) {
  Manager().SetScriptFlag(true);
  Build("Text{ name = 'key', w = 100, h = 30, label = 'HELLO' }();"
        "Text{ name = 'literal', w = 100, h = 30, label = '#HELLO' }();"
        "Text{ name = 'number', w = 100, h = 30, label = '12.50' }()");
  EXPECT_EQ(Find<TText>("key")->GetText(), TString("Hallo Welt"));
  EXPECT_EQ(Find<TText>("literal")->GetText(), TString("HELLO"));
  EXPECT_EQ(Find<TText>("number")->GetText(), TString("12.50"));
  Manager().SetScriptFlag(false);
  Build("Text{ name = 'raw', w = 100, h = 30, label = '#HELLO' }()");
  EXPECT_EQ(Find<TText>("raw")->GetText(), TString("#HELLO"));
  // The flag was only read.
  EXPECT_FALSE(Manager().SetScriptFlag(false));
}

TEST_F(TextWindowTest, AWindowWithoutSizeHasNoTextAndSaysSo) {
  Build("Text{ name = 'empty', w = 100, label = '#lost' }()");
  TText* text = Find<TText>("empty");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->GetTextGraphic(), nullptr);
  EXPECT_EQ(text->GetText(), TString());
  text->SetText("ignored");
  Frame();  // draws nothing, and does not fail
  EXPECT_EQ(CountInLog("ERROR: Attempting to create text window of size(0,0): named 'empty', label '#lost'"), 1)
      << ReadLog();
}

TEST_F(TextWindowTest, SetLabelAndGetLabelReachTextsAndButtonLabels) {
  Build("Text{ name = 'caption', w = 100, h = 30 }();"
        "Button{ name = 'ok', x = 0, y = 40, w = 60, h = 20, Text{ name = 'label', w = 60, h = 20, label = '#OK' } }();"
        "Window{ name = 'box', w = 5, h = 5 }()");
  ASSERT_EQ(Lua("SetLabel('caption', 'Neu'); SetLabel('ok', 'Gut');"
                "gA = GetLabel('caption'); gB = GetLabel('ok'); gC = GetLabel('box'); gD = GetLabel('none')"),
            "");
  EXPECT_EQ(Global("gA"), "Neu");
  EXPECT_EQ(Global("gB"), "Gut");
  EXPECT_EQ(Global("gC"), "box_is_not_a_TText_window_or_TButton");
  EXPECT_EQ(Global("gD"), "none_is_not_found");
}

TEST_F(TextWindowTest, ALinkPressesTheButtonOfItsName) {
  Build("Text{ name = 'links', x = 0, y = 0, w = 200, h = 40, label = \"#<a id='go'>Weiter</a> <a id='gone'>Fort</a>\" }();"
        "Button{ name = 'go', x = 0, y = 100, w = 20, h = 20 }()");
  TText* text = Find<TText>("links");
  TPoint at;
  ASSERT_TRUE(FindLink(text, at));
  EXPECT_EQ(text->GetTextGraphic()->GetLinkAt(float(at.x), float(at.y)), TString("go"));
  Click(at.x, at.y);
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"3:go"});
  // Released elsewhere: nothing.
  MouseDown(at.x, at.y);
  MouseUp(at.x, 35);
  EXPECT_TRUE(ScriptMessages().empty());
  // A link whose button is missing is logged.
  ASSERT_TRUE(Script().DoLuaString("SetLabel('links', \"<a id='gone'>Fort</a>\")"));
  ASSERT_TRUE(FindLink(text, at));
  Click(at.x, at.y);
  EXPECT_EQ(CountInLog("ERROR: Command window gone not found"), 1) << ReadLog();
  ASSERT_TRUE(Script().DoLuaString("SetLabel('links', \"<a id='links'>Selbst</a>\")"));
  ASSERT_TRUE(FindLink(text, at));
  Click(at.x, at.y);
  EXPECT_EQ(CountInLog("ERROR: Command window links not a derived class of TButton"), 1) << ReadLog();
}

TEST_F(TextWindowTest, ScrollingMovesTheFirstLineWithinTheText) {
  Build("Text{ name = 'long', w = 120, h = 40, label = '#eins<br>zwei<br>drei<br>vier<br>fünf<br>sechs' }()");
  TText* text = Find<TText>("long");
  int maxScroll = text->GetTextGraphic()->GetMaxScroll(1.0f, 0.0f);
  ASSERT_GT(maxScroll, 0);
  text->SetScroll(1.0f, 0);
  EXPECT_FLOAT_EQ(text->GetTextGraphic()->GetScroll(), float(maxScroll) + 0.5f);
  text->SetScroll(0.0f, 0);
  EXPECT_FLOAT_EQ(text->GetTextGraphic()->GetScroll(), 0.0f);
  // Beyond the lines nothing changes.
  text->SetScroll(100.0f, 0);
  EXPECT_FLOAT_EQ(text->GetTextGraphic()->GetScroll(), 0.0f);
}

TEST_F(TextWindowTest, WidgetsTakeWhatTheirStyleLacksFromTheDefaultStyle) {
  Build("SetStyle{ font = { 'fonts/default.mvec', 20, { 1, 1, 1, 1 } }, padding = 3 };"
        "AppendStyle{ flags = kHAlignRight };"
        "Text{ name = 'inherits', w = 100, h = 30 }();"
        "Text{ name = 'own', w = 100, h = 30, flags = 0, font = { '__DEFAULT', 10 } }()");
  TText* inherits = Find<TText>("inherits");
  EXPECT_EQ(inherits->GetTextGraphic()->GetFontSize(), 20);
  EXPECT_EQ(inherits->GetTextGraphic()->GetAlignFlags(), 2u);
  EXPECT_EQ(inherits->GetPadding(), 3);
  TText* own = Find<TText>("own");
  EXPECT_EQ(own->GetTextGraphic()->GetFontSize(), 10);
  EXPECT_EQ(own->GetTextGraphic()->GetAlignFlags(), 0u);
  // The own font table has no colour: the text's default, not the default style's.
  EXPECT_EQ(own->GetTextGraphic()->GetColor(), (TColor{0, 1, 0, 1}));
}

}  // namespace
