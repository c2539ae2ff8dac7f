// Modal windows and keys: hotkeys that press named buttons, Enter and Escape on the default
// and cancel buttons, and the default-action message.

#include "windows/button.h"
#include "windows/modal_window.h"
#include "widget_test_util.h"

namespace {

class ModalKeysTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    Build("PushModal('dialog')");
    mModal = WindowCast<TModalWindow>(Manager().GetTopModal());
  }
  TModalWindow* mModal = nullptr;
};

TEST_F(ModalKeysTest, HotkeyNamesAreNormalised) {
  struct TCase {
    const char* name;
    const char* normalised;
  };
  for (const TCase& c : std::initializer_list<TCase>{{"x", "X"},
                                                      {"CTRL-s", "ctrl-S"},
                                                      {"Control-Shift-s", "shift-ctrl-S"},
                                                      {"alt-shift-ctrl-F", "shift-ctrl-alt-F"},
                                                      {"@q", "@Q"},
                                                      {"@", "@"},
                                                      {"", ""}})
    EXPECT_EQ(TModalWindow::NormalizeHotkey(c.name), TString(c.normalised)) << c.name;
}

TEST_F(ModalKeysTest, AHotkeyPressesItsButtonAndSwallowsTheCharacter) {
  Build("Button{ name = 'save', x = 0, y = 0, w = 20, h = 20 }(); Button{ name = 'quit', x = 30, w = 20, h = 20 }();"
          "RegisterHotkey('CTRL-s', 'save'); RegisterHotkey('@q', 'quit'); RegisterHotkey('shift-Q', 'save')");
  Key('S', ModifierControl, 19);
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"3:save"});
  EXPECT_FALSE(GetSkipNextChar());  // the character that followed was swallowed
  // "@" matches with or without modifiers, after an entry for those modifiers.
  Key('Q', ModifierAlt);
  Key('Q', 0, 'q');
  Key('Q', ModifierShift, 'Q');
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"3:quit", "3:quit", "3:save"}));
  // Unregistered keys reach the script as raw input.
  Key('Z');
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"4:raw:Z"});
  // An empty button name removes the entry.
  Build("_RegisterHotkey('@q', ''); _RegisterHotkey('', 'save')");
  EXPECT_EQ(mModal->GetHotkeys().size(), 2u);
}

TEST_F(ModalKeysTest, AHotkeyWhoseButtonIsGoneIsLoggedAndStillSwallowsTheCharacter) {
  Build("RegisterHotkey('@x', 'vanished')");
  Key('X', 0, 'x');
  EXPECT_EQ(CountInLog("ERROR: Hot key button not found. Button:'vanished'"), 1) << ReadLog();
  EXPECT_TRUE(ScriptMessages().empty());
}

TEST_F(ModalKeysTest, EnterAndEscapePressTheShownDefaultAndCancelButtons) {
  Build("Button{ name = 'first', x = 0, w = 20, h = 20, default = true }();"
          "Button{ name = 'second', x = 30, w = 20, h = 20, default = true }();"
          "Button{ name = 'hidden', x = 60, w = 20, h = 20, cancel = true }(); EnableWindow('hidden', false)");
  // The key down reaches the script as raw input; the character presses the button (its
  // message is queued) and sends the default action at once. Of two shown defaults, the one
  // visited last wins (the first made, at the back of the list).
  Key(13, 0, 13);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"4:raw:\r", "2:", "3:first"}));
  // The only cancel button is hidden: the default action goes out alone.
  Key(27, 0, 27);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"4:raw:\x1B", "2:"}));
  Build("EnableWindow('hidden', true)");
  Key(27, 0, 27);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"4:raw:\x1B", "2:", "3:hidden"}));
  // Other characters are no business of the modal.
  Key('A', 0, 'a');
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"4:raw:A"});
}

TEST_F(ModalKeysTest, ACloseMessageWithoutANameIsConsumedAndPopsNothing) {
  Manager().PostMessage(std::make_unique<TMessage>(MessageCloseWindow, TString(), mModal));
  Send(EventIdle);
  EXPECT_EQ(Manager().GetTopModal(), mModal);
  EXPECT_TRUE(ScriptMessages().empty());
}

}  // namespace
