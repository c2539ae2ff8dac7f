// The text edit: typing and editing in 8-bit and UTF-8 modes, its limits, the ignore set,
// password display and the blinking cursor, Tab through the edits of a modal, pasting.

#include "windows/button.h"
#include "windows/modal_window.h"
#include "windows/text_edit.h"
#include "widget_test_util.h"

namespace {

// An edit that records what it is asked to allow.
class TRecordingEdit : public TTextEdit {
 public:
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TRecordingEdit>(); }
  bool AllowAction(uint32_t action, uint32_t argument) override {
    actions.push_back(action);
    return TTextEdit::AllowAction(action, argument);
  }
  std::vector<uint32_t> actions;
};

class TextEditTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    Manager().RegisterWindowType("Edit", &TRecordingEdit::Create);
    Build("PushModal('form')");
  }
  TRecordingEdit* MakeEdit(const std::string& style) {
    Build("Edit{ name = 'e', x = 0, y = 0, w = 200, h = 30" + (style.empty() ? "" : ", " + style) + " }()");
    auto* edit = static_cast<TRecordingEdit*>(Find<TTextEdit>("e"));
    Manager().SetFocus(edit);
    return edit;
  }
  // A refused one-byte character is reported twice: the dispatch offers it again as an
  // 8-bit character, which the edit takes through the same path.
  size_t Refusals(TRecordingEdit* edit) {
    return size_t(std::count(edit->actions.begin(), edit->actions.end(), uint32_t(TTextEdit::EditRefused)));
  }
  std::string Text(TTextEdit* edit) { return edit->GetText().ToStd(); }
  std::string Shown(TTextEdit* edit) { return edit->GetTextGraphic()->GetText().ToStd(); }
  // Moves the cursor clock into its shown (on) or hidden half and lets the edit refresh.
  void Blink(bool on) {
    uint32_t phase = (FakeNow - mClockStart) % 800;
    FakeNow += (on ? 600 : 200) + 800 - phase;
    Send(EventIdle);
  }
  uint32_t mClockStart = FakeNow;
};

TEST_F(TextEditTest, EightBitEditsHoldOneByteLessThanTheirLength) {
  TRecordingEdit* edit = MakeEdit("");
  Type("abcdefghij");
  EXPECT_EQ(Text(edit), "abcdefghi");
  EXPECT_EQ(Refusals(edit), 2u);
  // A character of 128 and above is not 8-bit text.
  edit->SetText("");
  Type("ä");
  EXPECT_EQ(Text(edit), "");
}

TEST_F(TextEditTest, Utf8EditsHoldTheirLengthInCharacters) {
  TRecordingEdit* edit = MakeEdit("utf8 = true, length = 4");
  Type("äöüßx");
  EXPECT_EQ(Text(edit), "äöüß");
  EXPECT_EQ(Refusals(edit), 2u);
  // A character the font has no glyph for is refused.
  edit->SetText("");
  Type("\xe4\xb8\x80");
  EXPECT_EQ(Text(edit), "");
  EXPECT_EQ(Refusals(edit), 3u);
}

TEST_F(TextEditTest, EditingMovesByWholeCharacters) {
  TRecordingEdit* edit = MakeEdit("utf8 = true, length = 20");
  Type("aäb");
  Key(EngineKeyLeft);
  Key(EngineKeyLeft);
  EXPECT_EQ(edit->GetCursor(), 1u);
  Key(EngineKeyRight);
  EXPECT_EQ(edit->GetCursor(), 3u);
  Key(8, 0, 8);  // Backspace removes the two bytes of ä
  EXPECT_EQ(Text(edit), "ab");
  Type("ö");
  Key(EngineKeyLeft);
  Key(EngineKeyDelete);
  EXPECT_EQ(Text(edit), "ab");
  EXPECT_EQ(edit->GetCursor(), 1u);
  // At the ends the edit refuses and changes nothing.
  Key(EngineKeyLeft);
  size_t before = Refusals(edit);
  Key(EngineKeyLeft);
  EXPECT_EQ(Refusals(edit), before + 1);
  Key(8, 0, 8);
  EXPECT_EQ(Refusals(edit), before + 3);
  EXPECT_EQ(Text(edit), "ab");
  Key(EngineKeyRight);
  Key(EngineKeyRight);
  Key(EngineKeyRight);
  Key(EngineKeyDelete);
  EXPECT_EQ(Refusals(edit), before + 5);
}

TEST_F(TextEditTest, EveryChangePostsAMessageAndIgnoredCharactersOnlyThat) {
  TRecordingEdit* edit = MakeEdit("ignore = 'x#'");
  Type("ax");
  Key(8, 0, 8);
  EXPECT_EQ(Text(edit), "");
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"7:e", "7:e", "7:e"}));
  // Control characters and keys with ctrl do nothing here.
  Key('A', ModifierControl, 1);
  EXPECT_EQ(Text(edit), "");
}

TEST_F(TextEditTest, APasswordShowsStarsAndTheCursorOnlyWithTheFocus) {
  TRecordingEdit* edit = MakeEdit("password = true");
  Type("abc");
  Key(EngineKeyLeft);
  Blink(true);
  EXPECT_EQ(Shown(edit), "**<cursor>*");
  Blink(false);
  EXPECT_EQ(Shown(edit), "***");
  EXPECT_EQ(Text(edit), "abc");
  // Without the focus no cursor.
  Manager().SetFocus(Manager().GetTopModal());
  Blink(true);
  EXPECT_EQ(Shown(edit), "***");
  // An inactive edit takes no input and shows no cursor tag.
  Manager().SetFocus(edit);
  edit->SetActive(false);
  Type("d");
  Blink(true);
  EXPECT_EQ(Shown(edit), "***");
  EXPECT_EQ(Text(edit), "abc");
}

TEST_F(TextEditTest, TheLabelIsTheFirstContentNeverAStringKey) {
  Manager().SetScriptFlag(true);
  TRecordingEdit* edit = MakeEdit("label = 'NAME_KEY', length = 3");
  EXPECT_EQ(Text(edit), "NAME_KEY");
  EXPECT_EQ(edit->GetCursor(), 8u);
  EXPECT_TRUE(Manager().SetScriptFlag(true));
  EXPECT_EQ(Lua("gName = GetLabel('e')"), "");
  EXPECT_EQ(Global("gName"), "NAME_KEY");
}

TEST_F(TextEditTest, TabMovesToTheNextShownEditOfTheModal) {
  // Key events carry the point (0, 0): an edit there would also get the keys that the
  // others pass on, so these stand apart from it.
  Build("Edit{ name = 'one', x = 10, y = 10, w = 100, h = 20 }(); Edit{ name = 'two', x = 10, y = 40, w = 100, h = 20 }();"
        "Edit{ name = 'three', x = 10, y = 70, w = 100, h = 20 }(); EnableWindow('two', false)");
  TTextEdit* one = Find<TTextEdit>("one");
  ASSERT_EQ(one->GetGroup(), Find<TTextEdit>("three")->GetGroup());
  EXPECT_EQ(one->GetGroup()->size(), 3u);
  Click(15, 15);
  ASSERT_EQ(Manager().GetFocus(), one);
  Key(9, 0, 9);
  EXPECT_EQ(Manager().GetFocus(), Find<TTextEdit>("three"));
  Key(9, 0, 9);
  EXPECT_EQ(Manager().GetFocus(), one);
  // An edit that goes leaves its group.
  Build("DestroyWindow('three')");
  Send(EventIdle);
  EXPECT_EQ(one->GetGroup()->size(), 2u);
}

TEST_F(TextEditTest, APasteReplacesTheTextWithTheCleanedClipboard) {
  TRecordingEdit* edit = MakeEdit("ignore = 'c'");
  Type("zz");
  mClipboard->clipboard = "ab\tc";
  Key('V', ModifierControl);
  EXPECT_EQ(Text(edit), "ab");
  // Cut to the length in characters.
  mClipboard->clipboard = "0123456789abc";
  Key(EngineKeyInsert, ModifierShift);
  EXPECT_EQ(Text(edit), "0123456789");
  // Outside UTF-8 mode a name the highscores would refuse is not pasted at all.
  mClipboard->clipboard = "Jürgen";
  Key('V', ModifierControl);
  EXPECT_EQ(Text(edit), "0123456789");
  mClipboard->clipboard = "";
  Key('V', ModifierControl);
  EXPECT_EQ(Text(edit), "0123456789");
}

TEST_F(TextEditTest, KeysWithCtrlOrAltTravelOnToTheHotkeys) {
  Build("Button{ name = 'ok', x = 0, y = 100, w = 20, h = 20 }(); RegisterHotkey('ctrl-s', 'ok')");
  MakeEdit("");
  Key('S', ModifierControl, 19);
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"3:ok"});
  // Plain keys stay with the edit (typed through their characters).
  Key('S', 0, 's');
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"7:e"});
}

}  // namespace
