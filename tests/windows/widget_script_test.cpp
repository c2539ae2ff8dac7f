// The widgets' script functions that work on text (hotkey labels), the widget types the UI
// script knows, and the dialog library's log line.

#include "widget_test_util.h"

namespace {

class WidgetScriptTest : public TWidgetTest {};

TEST_F(WidgetScriptTest, StripKeyFromLabelTakesTheAmpersandsCharacterAsTheKey) {
  struct TCase {
    const char* label;
    const char* stripped;
    const char* key;
  };
  for (const TCase& c : std::initializer_list<TCase>{{"&Open", "Open", "@O"},
                                                      {"Op&", "Op", ""},
                                                      {"Open", "Open", ""},
                                                      {"Sp&ei&chern", "Spei&chern", "@e"},
                                                      {"&\xc3\xa4nder", "\xc3\xa4nder", ""}}) {
    ASSERT_EQ(Lua(std::string("gLabel, gKey = StripKeyFromLabel('") + c.label + "')"), "");
    EXPECT_EQ(Global("gLabel"), c.stripped) << c.label;
    EXPECT_EQ(Global("gKey"), c.key) << c.label;
  }
}

TEST_F(WidgetScriptTest, TagHotKeyUnderlinesTheKeysFirstOccurrence) {
  struct TCase {
    const char* key;
    const char* label;
    const char* tagged;
  };
  for (const TCase& c : std::initializer_list<TCase>{{"@O", "Open", "<u>O</u>pen"},
                                                      {"@e", "Speichern", "Sp<u>e</u>ichern"},
                                                      {"@E", "Speichern", "Sp<u>e</u>ichern"},
                                                      {"@x", "Open", "Open"},
                                                      {"", "Open", "Open"}}) {
    ASSERT_EQ(Lua(std::string("gTagged = TagHotKey('") + c.key + "', '" + c.label + "')"), "");
    EXPECT_EQ(Global("gTagged"), c.tagged) << c.key << " " << c.label;
  }
  // Together: a label with its key marked becomes the label with the key underlined.
  ASSERT_EQ(Lua("local label, key = StripKeyFromLabel('Sp&eichern'); gTagged = TagHotKey(key, label)"), "");
  EXPECT_EQ(Global("gTagged"), "Sp<u>e</u>ichern");
}

TEST_F(WidgetScriptTest, TheWidgetTypesHaveTheirConstructors) {
  for (const char* type : {"Slider", "Bitmap", "Button", "Text", "TextEdit", "Window"}) {
    ASSERT_EQ(Lua(std::string("gType = type(") + type + ")"), "");
    EXPECT_EQ(Global("gType"), "function") << type;
    EXPECT_NE(Script().FindWindowType(type), nullptr) << type;
  }
}

// Fault mended: DebugOut dropped its text, so this line never reached the log.
TEST_F(WidgetScriptTest, DisplayDialogWithoutAScriptSaysSoInTheLog) {
  ASSERT_EQ(Lua("gResult = DisplayDialog('')"), "");
  EXPECT_EQ(CountInLog("DisplayDialog called with empty script; aborting"), 1) << ReadLog();
  EXPECT_EQ(Manager().GetTopModal(), Screen());
}

}  // namespace
