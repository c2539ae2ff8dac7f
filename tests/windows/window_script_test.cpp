// The UI script: building window trees from Lua, the current-window stack, the window API,
// and messages between windows and waiting scripts.

#include "platform/settings.h"
#include "platform/string_table.h"
#include "script/lua_binding.h"
#include "windows/lua_message.h"
#include "windows/modal_window.h"
#include "windows_test_util.h"

namespace {

class TConsumingListener : public TMessageListener {
 public:
  explicit TConsumingListener(std::vector<const TMessage*>* seen) : mSeen(seen) {}
  bool OnMessage(TMessage& message) override {
    mSeen->push_back(&message);
    return true;
  }

 private:
  std::vector<const TMessage*>* mSeen;
};

class WindowScriptTest : public TWindowsTest {
 protected:
  // One step of the platform's frame tasks, where the script's task runs.
  void Step() { mHost->frameTasks.RunTasks(0); }
  void Post(const char* name) { Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, name)); }
};

TEST_F(WindowScriptTest, BuildsATreeFromConstructors) {
  // A constructor answers a closure that builds the window (MakeDialog at the screen
  // would also fit the screen to its children).
  ASSERT_EQ(Lua("Window{ name = 'panel', x = 10, y = 20, w = 200, h = 100,"
                "  Window{ name = 'inner', x = kCenter, y = kMax - 30, w = 50, h = 20 } }()"),
            "");
  TWindow* panel = Screen()->FindChild("panel");
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->GetRect(), TRect(10, 20, 210, 120));
  TWindow* inner = Screen()->FindChild("inner");
  ASSERT_NE(inner, nullptr);
  EXPECT_EQ(inner->GetParent(), panel);
  EXPECT_EQ(inner->GetRect(), TRect(75, 70, 125, 90));
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
  EXPECT_EQ(Global("gDialogWidth"), "50");
}

TEST_F(WindowScriptTest, UnknownTypesAndTheCurrentWindowStack) {
  EXPECT_EQ(Lua("GenericCreate{ typename = 'NoSuchType', name = 'x' }; GenericCreate{ name = 'y' }"), "");
  EXPECT_TRUE(Screen()->GetChildren().empty());
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
  EXPECT_EQ(Lua("PopWindow(); PopWindow()"), "");
  EXPECT_EQ(Script().GetWindowCount(), 1u);
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
  ASSERT_EQ(Lua("GenericCreate{ typename = 'Window', name = 'a' }; GenericCreate{ typename = 'Window', name = 'b' }"), "");
  EXPECT_EQ(Script().GetWindowCount(), 3u);
  EXPECT_EQ(Lua("gId = PushModal('dialog'); gDepth = GetWindowDepth()"), "");
  EXPECT_EQ(Script().GetWindowCount(), 1u);
  EXPECT_EQ(Script().GetCurrentWindow(), Manager().GetTopModal());
  EXPECT_EQ(Global("gId"), Manager().GetTopModal()->GetIdString().ToStd());
  EXPECT_EQ(Global("gDepth"), "2");
  // Type names that are no plain Lua names are refused.
  Script().RegisterWindowType("Bad'Name", &TWindow::Create);
  EXPECT_EQ(Script().FindWindowType("Bad'Name"), nullptr);
  EXPECT_EQ(CountInLog("Window type 'Bad'Name' refused"), 1);
}

TEST_F(WindowScriptTest, LibraryGlobals) {
  const char* const cases[][2] = {
      {"kSliderPageDown", "12"}, {"kUserMessageBase", "1000"}, {"kCenter", "80000"}, {"kMax", "160000"},
      {"kPushButtonAlignment", "5"}, {"kRadioButtonAlignment", "4"}, {"kModalClosed", "6"},
      {"kCmdLine", "cmdline"}, {"kHiscoreAnonymous", "hiscoreanon"}, {"kGameVersion", "version"},
      {"gCurID", "100"}, {"gBeginGroup", "0"}, {"gReturnValue", "nil"}, {"LUA_PATH", "?;../?;../../?"},
  };
  for (const auto& c : cases) EXPECT_EQ(Global(c[0]), c[1]) << c[0];
  EXPECT_EQ(Lua("gColour = Color(255, 0, 51)[3]; gF = FColor(0.5, 0, 0)[4]"), "");
  EXPECT_EQ(Global("gColour"), "0.2");
  EXPECT_EQ(Global("gF"), "1");
}

TEST_F(WindowScriptTest, WindowFunctions) {
  SetConfig("mysetting", "7");
  ASSERT_EQ(Lua("Window{ name = 'box', x = 10, y = 10, w = 100, h = 50,"
                "  Window{ name = 'child', x = 1, y = 1, w = 5, h = 5 } }()"),
            "");
  TWindow* box = Screen()->FindChild("box");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(Lua("gShown = EnableWindow('box', false); gMissing = EnableWindow('nothing', true)"), "");
  EXPECT_EQ(Global("gShown"), "true");
  EXPECT_EQ(Global("gMissing"), "false");
  EXPECT_FALSE(box->IsVisible());
  EXPECT_EQ(Lua("EnableWindow('box', true); SetPosition('box', kCenter, kMax - 60)"), "");
  EXPECT_TRUE(box->IsVisible());
  EXPECT_EQ(box->GetRect(), TRect(270, 420, 370, 470));
  EXPECT_EQ(Lua("RealSetFocus('child')"), "");
  EXPECT_EQ(Manager().GetFocus(), Screen()->FindChild("child"));
  EXPECT_EQ(Lua("RealSetFocus('nothing')"), "");
  EXPECT_EQ(Manager().GetFocus(), nullptr);
  EXPECT_EQ(Lua("StringToClipboard('Gr\xC3\xBC\xC3\x9F" "e'); gConfig = GetConfig('mysetting');"
                "gOn = IsEnabled('mysetting'); gTime = GetTimer(); gText = _GetString('#Hello')"),
            "");
  EXPECT_EQ(mHost->clipboard, "Gr\xC3\xBC\xC3\x9F" "e");
  EXPECT_EQ(Global("gConfig"), "7");
  EXPECT_EQ(Global("gOn"), "true");
  EXPECT_EQ(Global("gTime"), "1000");
  EXPECT_EQ(Global("gText"), "Hello");
  EXPECT_EQ(Lua("DestroyWindow('box')"), "");
  EXPECT_EQ(Screen()->FindChild("box"), nullptr);
  EXPECT_EQ(Lua("PushModal('m'); MakeDialog{ Window{ name = 'a', w = 10, h = 10 } }; ClearModalChildren()"), "");
  TWindow* top = Manager().GetTopModal();
  EXPECT_TRUE(top->GetChildren().empty());
  EXPECT_EQ(top->GetRect(), TRect(0, 0, 0, 0));
}

TEST_F(WindowScriptTest, AScriptWaitingForAMessageGetsIt) {
  StartCoroutine("local m = WaitForMessage(); gName = m.name; gType = m.type");
  EXPECT_TRUE(Script().IsYielded());
  EXPECT_EQ(Script().GetWaitState(), TWindowScript::MessageWait);
  Post("hello");
  Send(EventIdle);
  EXPECT_EQ(Global("gName"), "hello");
  EXPECT_EQ(Global("gType"), "0");
  EXPECT_FALSE(Script().IsYielded());
  EXPECT_EQ(Script().GetWaitState(), TWindowScript::NotWaiting);
}

// Regression: after a delivery the script stayed marked as waiting, so the next message went
// into whatever the script suspended in next and was lost.
TEST_F(WindowScriptTest, ADeliveryEndsTheWaitSoLaterMessagesAreKept) {
  StartCoroutine(
      "gFirst = WaitForMessage().name; coroutine.yield(); gAfter = true;"
      "gSecond = WaitForMessage().name");
  Post("one");
  Send(EventIdle);
  EXPECT_EQ(Global("gFirst"), "one");
  EXPECT_EQ(Script().GetWaitState(), TWindowScript::NotWaiting);
  Post("two");  // arrives while the script sits in a plain yield
  Send(EventIdle);
  EXPECT_EQ(Global("gAfter"), "nil");
  Step();
  EXPECT_EQ(Global("gAfter"), "true");
  EXPECT_EQ(Global("gSecond"), "two");
}

TEST_F(WindowScriptTest, CallsAndTimeoutsReachTheWaitingScript) {
  StartCoroutine("gTimed = WaitForMessage(100); gTimedDone = true; gGot = WaitForMessage().name");
  // Lua text run while the script waits goes into the coroutine and runs there.
  EXPECT_TRUE(Script().DoLuaString("gCalled = GetWindowDepth()"));
  EXPECT_EQ(Global("gCalled"), "1");
  EXPECT_EQ(Global("gTimedDone"), "nil");
  Step();
  EXPECT_EQ(Global("gTimedDone"), "nil");
  FakeNow += 100;
  Step();
  EXPECT_EQ(Global("gTimedDone"), "true");
  EXPECT_EQ(Global("gTimed"), "nil");
  Post("late");
  Send(EventIdle);
  EXPECT_EQ(Global("gGot"), "late");
}

TEST_F(WindowScriptTest, MessagesQueueWhileTheScriptIsNotWaiting) {
  Post("a");
  Post("b");
  Send(EventIdle);
  EXPECT_EQ(Lua("gCount = table.getn(gMessageQueue); gSecond = gMessageQueue[2].name"), "");
  EXPECT_EQ(Global("gCount"), "2");
  EXPECT_EQ(Global("gSecond"), "b");
  StartCoroutine("gOne = WaitForMessage().name; gTwo = WaitForMessage().name");
  EXPECT_EQ(Global("gOne"), "a");
  EXPECT_EQ(Global("gTwo"), "b");
}

TEST_F(WindowScriptTest, ScriptMessagesGoOutAndComeBack) {
  std::vector<const TMessage*> seen;
  ASSERT_EQ(Lua("gMessage = CreateNamedMessage(7, 'named'); gType = gMessage.type; gOther = gMessage.other;"
                "PostMessage(gMessage); PostMessage({}); PostMessage('text'); PostMessage()"),
            "");
  EXPECT_EQ(Global("gType"), "7");
  EXPECT_EQ(Global("gOther"), "nil");
  ASSERT_EQ(Manager().GetMessageQueue().size(), 1u);
  Manager().AddListener(std::make_unique<TConsumingListener>(&seen));
  Send(EventIdle);
  ASSERT_EQ(seen.size(), 1u);
  // The listener gets the script's own message object.
  lua_pushliteral(L(), "gMessage");
  lua_rawget(L(), LUA_GLOBALSINDEX);
  EXPECT_EQ(seen[0], ToMessage(L(), -1));
  lua_pop(L(), 1);
  EXPECT_EQ(seen[0]->GetName(), TString("named"));
}

TEST_F(WindowScriptTest, AHandledScriptMessageCanBeCollected) {
  std::vector<const TMessage*> seen;
  Manager().AddListener(std::make_unique<TConsumingListener>(&seen));
  ASSERT_EQ(Lua("gWeak = setmetatable({}, { __mode = 'v' }); gWeak[1] = CreateNamedMessage(0, 'x');"
                "PostMessage(gWeak[1])"),
            "");
  Send(EventIdle);
  ASSERT_EQ(seen.size(), 1u);
  ASSERT_EQ(Lua("collectgarbage(); gAlive = gWeak[1] ~= nil"), "");
  EXPECT_EQ(Global("gAlive"), "false");
}

TEST_F(WindowScriptTest, MessagesToTheParentModal) {
  ASSERT_EQ(Lua("PushModal('dialog'); PostMessageToParent(CreateNamedMessage(0, 'up'))"), "");
  ASSERT_EQ(Manager().GetMessageQueue().size(), 1u);
  EXPECT_EQ(Manager().GetMessageQueue().front()->GetTarget(), Screen());
}

TEST_F(WindowScriptTest, HandleGetMessageOutsideACoroutineIsAScriptError) {
  EXPECT_NE(Lua("HandleGetMessage()"), "");
  EXPECT_EQ(Script().GetWaitState(), TWindowScript::NotWaiting);
  Post("kept");
  Send(EventIdle);
  EXPECT_EQ(Lua("gName = gMessageQueue[1].name"), "");
  EXPECT_EQ(Global("gName"), "kept");
}

TEST_F(WindowScriptTest, DoModalWaitsForItsDialogToClose) {
  WriteAsset("dialog.lua", "MakeDialog{ Window{ name = 'okbox', x = 10, y = 10, w = 50, h = 20 } }");
  StartCoroutine("gResult = DoModal('dialog.lua'); gDone = true");
  TWindow* dialog = Manager().GetTopModal();
  ASSERT_NE(dialog, Screen());
  EXPECT_EQ(dialog->GetName(), TString("dialog.lua"));
  ASSERT_NE(dialog->FindChild("okbox"), nullptr);
  EXPECT_EQ(dialog->GetRect(), TRect(0, 0, 60, 30));
  // A button command closes it (run inside the waiting script).
  EXPECT_TRUE(Script().DoLuaString("CloseWindow('yes')"));
  Send(EventIdle);
  EXPECT_EQ(Manager().GetTopModal(), Screen());
  EXPECT_EQ(Global("gDone"), "nil");
  Send(EventIdle);  // the dialog goes, and says so
  EXPECT_EQ(Global("gDone"), "true");
  EXPECT_EQ(Global("gResult"), "yes");
  EXPECT_EQ(Lua("DisplayDialog('')"), "");
}

TEST_F(WindowScriptTest, ASplashShowsForItsTimeOrUntilAKey) {
  StartCoroutine("DisplaySplash{ time = 300 }; gFirstDone = true; DisplaySplash{ time = 100000 }; gSecondDone = true");
  EXPECT_EQ(Manager().GetTopModal()->GetName(), TString("splash"));
  for (int i = 0; i < 8 && Global("gFirstDone") == "nil"; i++) {
    FakeNow += 60;
    Step();
    Send(EventIdle);
  }
  EXPECT_EQ(Global("gFirstDone"), "true") << ReadLog();
  // The second one ends with a key.
  FakeNow += 60;
  Step();
  Send(EventKeyDown, 0, 0, 'X');
  Send(EventIdle);
  EXPECT_EQ(Global("gSecondDone"), "true");
  EXPECT_EQ(Manager().GetTopModal(), Screen());
}

class TBoundWindow : public TWindow {
 public:
  explicit TBoundWindow(lua_State* L) { BindLuaMember(L, "gPing", this, &TBoundWindow::Ping); }
  int32_t Ping() { return 42; }
};

// Lua functions bound to a window's members must not reach it once it is gone: a call does
// nothing (and logs a line), so the script that makes it goes on.
TEST_F(WindowScriptTest, FunctionsBoundToAWindowAreHarmlessOnceItGoes) {
  std::unique_ptr<TWindow> window = std::make_unique<TBoundWindow>(L());
  TWindow* raw = window.get();
  ASSERT_TRUE(Screen()->AddChild(window, false));
  EXPECT_EQ(Lua("gPong = gPing()"), "");
  EXPECT_EQ(Global("gPong"), "42");
  Manager().DestroyWindowLater(Screen()->RemoveChild(raw));
  Send(EventIdle);
  EXPECT_EQ(Lua("gPong = gPing()"), "");
  EXPECT_EQ(Global("gPong"), "nil");
}

}  // namespace
