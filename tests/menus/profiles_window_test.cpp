#include "menus/profiles_window.h"

#include <gtest/gtest.h>

#include <string>

#include "flow/flow_test_util.h"
#include "platform/settings.h"
#include "windows/button.h"

namespace {

class ProfilesTest : public TFlowTest {
 protected:
  void SetUp() override {
    TFlowTest::SetUp();
    // The dialog's script hears the choices.
    RunLua(L(), "function UpdatePlayerChoices(current, count, names)"
                "  calls = (calls or 0) + 1"
                "  choices = current .. '|' .. count .. '|' .. table.concat(names, '/') end");
  }
  // The dialog with three slots; slot 2 is a text, not a button.
  TProfilesWindow* Build() {
    RunLua(L(), "PushModal('profiles') MakeDialog{ ProfilesWindow{ w = 640, h = 480,"
                " Button{ name = 'button0', type = kToggle, w = 10, h = 10 },"
                " Button{ name = 'button1', type = kToggle, w = 10, h = 10 },"
                " Text{ name = 'button2', w = 10, h = 10 } } }");
    return WindowCast<TProfilesWindow>(Manager().GetTopModal()->GetChildren().front().get());
  }
};

}  // namespace

// Names go to the script as they are, whatever they hold: a quote, a line break or a
// backslash neither breaks the chunk nor adds code to it.
TEST_F(ProfilesTest, ThePlayersNamesReachTheScriptAsTheyAre) {
  SetConfig("pWMaxProfiles", "3");
  for (const char* name : {"O'Brien", "Zeile\nzwei\"", "x') os = nil --\\"}) Settings().CreateNewUser(name);
  TProfilesWindow* dialog = Build();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(Global("calls"), "1");
  EXPECT_EQ(Global("choices"), "2|3|O'Brien/Zeile\nzwei\"/x') os = nil --\\");

  // Only the first players of the shown maximum are listed; the count counts them all.
  SetConfig("pWMaxProfiles", "2");
  Settings().SetCurrentUser(0);
  RunLua(L(), "SetPlayerChoices()");
  EXPECT_EQ(Global("choices"), "0|3|O'Brien/Zeile\nzwei\"");
  SetConfig("pWMaxProfiles", "");
  RunLua(L(), "SetPlayerChoices()");
  EXPECT_EQ(Global("choices"), "0|3|");
  EXPECT_EQ(TProfilesWindow::MakeChoicesChunk().ToStd(), "UpdatePlayerChoices( 0, 3, {} )");
  Settings().SetCurrentUser(-1);
  SetConfig("pWMaxProfiles", "1");
  EXPECT_EQ(TProfilesWindow::MakeChoicesChunk().ToStd(), "UpdatePlayerChoices( -1, 3, {\"O'Brien\",} )");
}

TEST_F(ProfilesTest, TheLowestToggledSlotIsTheSelection) {
  SetConfig("pWMaxProfiles", "3");
  Settings().CreateNewUser("Ann");
  Settings().CreateNewUser("Bob");
  TProfilesWindow* dialog = Build();
  EXPECT_EQ(Eval("GetCurrentSelectedUser()"), "0");
  WindowCast<TButton>(dialog->FindChild("button1"))->SetToggleState(true);
  EXPECT_EQ(Eval("GetCurrentSelectedUser()"), "1");
  EXPECT_EQ(Eval("GetSelectedPlayerName()"), "Bob");
  WindowCast<TButton>(dialog->FindChild("button0"))->SetToggleState(true);
  EXPECT_EQ(Eval("GetCurrentSelectedUser()"), "0");
  // Without a maximum no slot counts.
  SetConfig("pWMaxProfiles", "0");
  WindowCast<TButton>(dialog->FindChild("button0"))->SetToggleState(false);
  EXPECT_EQ(Eval("GetCurrentSelectedUser()"), "0");
}
