// The button: its state machine under the mouse, layers per state, toggles and radio
// groups, the mask, sounds, presses with their messages and Lua commands.

#include "platform/settings.h"
#include "script/lua_binding.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_data_source.h"
#include "sound/sound_manager.h"
#include "sound/sound_output.h"
#include "windows/button.h"
#include "windows/modal_window.h"
#include "widget_test_util.h"

namespace {

class ButtonTest : public TWidgetTest {
 protected:
  void SetUp() override {
    TWidgetTest::SetUp();
    WriteSolidImage("n.png", 40, 20, 0xFF202080);
    WriteSolidImage("p.png", 40, 20, 0xFF802020);
    WriteSolidImage("r.png", 40, 20, 0xFF208020);
    WriteSolidImage("t.png", 40, 20, 0xFF808080);
  }
  // Names of the shown state images.
  std::string ShownImage(const char* button) {
    std::string shown;
    for (const auto& child : Find<TButton>(button)->GetChildren())
      if (child->IsVisible() && child->GetName().Find("image") == 0) shown += child->GetName().ToStd();
    return shown;
  }
  bool Hovering(TWindow* window) {
    const auto& list = Manager().GetHoverList();
    return std::find(list.begin(), list.end(), window) != list.end();
  }
};

TEST_F(ButtonTest, APushButtonFollowsTheMouse) {
  Build("Button{ name = 'b', x = 10, y = 10, graphics = { 'n.png', 'p.png', 'r.png' } }()");
  TButton* button = Find<TButton>("b");
  EXPECT_EQ(button->GetRect(), TRect(10, 10, 50, 30));
  EXPECT_EQ(ShownImage("b"), "image0");
  MouseMove(20, 15);
  EXPECT_EQ(button->GetState(), ButtonRollOver);
  EXPECT_EQ(ShownImage("b"), "image2");
  EXPECT_TRUE(Hovering(button));
  MouseDown(20, 15);
  EXPECT_EQ(ShownImage("b"), "image1");
  MouseUp(20, 15);
  EXPECT_EQ(ScriptMessages(), std::vector<std::string>{"3:b"});
  EXPECT_EQ(ShownImage("b"), "image2");
  // Leaving lets go of the mouse.
  MouseMove(200, 200);
  EXPECT_EQ(button->GetState(), ButtonNormal);
  EXPECT_EQ(ShownImage("b"), "image0");
  EXPECT_FALSE(Hovering(button));
  // Pressed, then released outside: no press.
  MouseDown(20, 15);
  MouseUp(100, 100);
  EXPECT_TRUE(ScriptMessages().empty());
  EXPECT_EQ(button->GetState(), ButtonNormal);
}

TEST_F(ButtonTest, AToggleButtonShowsItsToggledLayers) {
  Build("Button{ name = 't', x = 10, y = 10, type = kToggle, graphics = { 'n.png', 'p.png', 'r.png', 't.png' } }()");
  TButton* button = Find<TButton>("t");
  Click(20, 15);
  EXPECT_TRUE(button->GetToggleState());
  EXPECT_EQ(ShownImage("t"), "image3");  // roll-over of the toggled state
  MouseMove(200, 200);
  EXPECT_EQ(ShownImage("t"), "image1");  // at rest, toggled
  EXPECT_EQ(Lua("gOn = GetButtonToggleState('t'); SetState('t', false)"), "");
  EXPECT_EQ(Global("gOn"), "true");
  EXPECT_FALSE(button->GetToggleState());
  EXPECT_EQ(ShownImage("t"), "image0");
  // "on" starts it toggled.
  Build("Button{ name = 'u', x = 100, y = 10, type = kToggle, on = true, graphics = { 'n.png', 'p.png' } }()");
  EXPECT_TRUE(Find<TButton>("u")->GetToggleState());
  EXPECT_EQ(ShownImage("u"), "image1");
}

TEST_F(ButtonTest, AnEmptyGraphicsEntryShowsTheStateBeforeIt) {
  Build("Button{ name = 'b', x = 10, y = 10, graphics = { 'n.png', '', 'r.png' } }()");
  MouseDown(20, 15);
  EXPECT_EQ(ShownImage("b"), "image0");
}

TEST_F(ButtonTest, ARadioButtonSwitchesOffTheOthersOfItsGroup) {
  Build("Window{ name = 'group', w = 320, h = 100,"
        "  Button{ name = 'r1', x = 0, type = kRadio, beginGroup = true },"
        "  Button{ name = 'r2', x = 50, type = kRadio }, Button{ name = 'r3', x = 100, type = kRadio },"
        "  Button{ name = 'r4', x = 150, type = kRadio, beginGroup = true },"
        "  Button{ name = 'r5', x = 200, type = kRadio } }();"
        "Window{ name = 'nogroup', y = 100, w = 320, h = 100,"
        "  Button{ name = 's1', x = 0, type = kRadio }, Button{ name = 's2', x = 50, type = kRadio } }()");
  auto on = [this](const char* name) { return Find<TButton>(name)->GetToggleState() ? '1' : '0'; };
  auto states = [&]() { return std::string{on("r1"), on("r2"), on("r3"), on("r4"), on("r5")}; };
  for (const char* name : {"r1", "r2", "r3", "r4", "r5"}) Find<TButton>(name)->SetSize(40, 20);
  Click(60, 5);  // r2
  EXPECT_EQ(states(), "01000");
  Click(210, 5);  // r5: the second group
  EXPECT_EQ(states(), "01001");
  Click(5, 5);  // r1
  EXPECT_EQ(states(), "10001");
  Click(5, 5);  // pressed again: stays on
  EXPECT_EQ(states(), "10001");
  // Without a group start before it a radio button switches nobody off.
  Find<TButton>("s1")->SetSize(40, 20);
  Find<TButton>("s2")->SetSize(40, 20);
  Click(5, 105);
  Click(55, 105);
  EXPECT_TRUE(Find<TButton>("s1")->GetToggleState());
  EXPECT_TRUE(Find<TButton>("s2")->GetToggleState());
}

TEST_F(ButtonTest, TheMaskLimitsTheHitArea) {
  WriteSolidImage("mask.png", 20, 20, 0xFFFFFFFF);
  WriteImage("holes.png", 20, 20, [](uint32_t x, uint32_t) { return x < 10 ? 0xFF131313 : 0xFF001400; });
  Build("Button{ name = 'm', x = 0, y = 0, w = 40, h = 40, mask = 'mask.png' }();"
        "Button{ name = 'h', x = 100, y = 0, w = 20, h = 20, mask = 'holes.png' }()");
  TButton* masked = Find<TButton>("m");
  // Twice the mask's size: without "fixbuttonmask" coordinates are doubled, not halved.
  MouseMove(9, 9);
  EXPECT_EQ(masked->GetState(), ButtonRollOver);
  MouseMove(12, 5);
  EXPECT_EQ(masked->GetState(), ButtonNormal);
  SetConfig("fixbuttonmask", "1");
  MouseMove(39, 39);
  EXPECT_EQ(masked->GetState(), ButtonRollOver);
  MouseMove(200, 200);
  // Dark pixels (all channels below 20) are outside; one channel of 20 is inside.
  MouseMove(105, 5);
  EXPECT_EQ(Find<TButton>("h")->GetState(), ButtonNormal);
  MouseMove(115, 5);
  EXPECT_EQ(Find<TButton>("h")->GetState(), ButtonRollOver);
}

TEST_F(ButtonTest, ACloseButtonClosesItsDialogAndReturnsItsName) {
  WriteAsset("ask.lua", "MakeDialog{ Button{ name = 'yes', x = 10, y = 10, w = 40, h = 20, close = true } }");
  StartCoroutine("gResult = DoModal('ask.lua')");
  TButton* yes = Find<TButton>("yes");
  ASSERT_NE(yes, nullptr);
  TString dialogId = Manager().GetTopModal()->GetIdString();
  // The close message goes first.
  EXPECT_FALSE(yes->DoPress());
  const auto& queue = Manager().GetMessageQueue();
  ASSERT_EQ(queue.size(), 2u);
  EXPECT_EQ(queue.front()->GetType(), uint32_t(MessageCloseWindow));
  EXPECT_EQ(queue.front()->GetName(), dialogId);
  EXPECT_EQ(queue.back()->GetType(), uint32_t(MessageButtonPress));
  EXPECT_EQ(queue.back()->GetName(), TString("yes"));
  Send(EventIdle);
  Send(EventIdle);
  EXPECT_EQ(Manager().GetTopModal(), Screen());
  EXPECT_EQ(Global("gResult"), "yes");
}

TEST_F(ButtonTest, CommandsRunInTheScriptWithTheButtonsName) {
  // The name never becomes Lua text.
  Build("Button{ name = 'x]]; gInjected = true; --[[', x = 0, y = 0, w = 20, h = 20,"
        "  command = function() gRan = GetButtonName() end }();"
        "Button{ name = 'later', x = 50, y = 0, w = 20, h = 20 }();"
        "SetCommand('later', function() gLater = GetButtonName() end)");
  Click(5, 5);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"8:LuaAction:x]]; gInjected = true; --[[",
                                                         "3:x]]; gInjected = true; --[["}));
  ASSERT_EQ(Lua("FlushMessages()"), "");
  EXPECT_EQ(Global("gRan"), "x]]; gInjected = true; --[[");
  EXPECT_EQ(Global("gInjected"), "nil");
  Click(55, 5);
  EXPECT_EQ(ScriptMessages(), (std::vector<std::string>{"8:LuaAction:later", "3:later"}));
  ASSERT_EQ(Lua("FlushMessages()"), "");
  EXPECT_EQ(Global("gLater"), "later");
}

// A command that runs at once (the script is suspended, not waiting) may give its button a
// new command: the running one must stay alive until it returns.
TEST_F(ButtonTest, ACommandMayReplaceItselfWhileItRuns) {
  Build("Button{ name = 'b', x = 0, y = 0, w = 20, h = 20,"
        "  command = function() gRuns = (gRuns or 0) + 1; SetCommand('b', function() gSecond = true end);"
        "  collectgarbage() end }()");
  StartCoroutine("Yield(); Yield()");
  Click(5, 5);
  EXPECT_EQ(Global("gRuns"), "1");
  Click(5, 5);
  EXPECT_EQ(Global("gRuns"), "1");
  EXPECT_EQ(Global("gSecond"), "true");
}

class TRemovingAction : public TButton::Action {
 public:
  void Execute(TButton* button) override {
    TWindowManager* manager = GetWindowManager();
    TWindow* dialog = button->GetModal();
    manager->DestroyWindowLater(dialog->GetParent()->RemoveChild(dialog));
  }
};

TEST_F(ButtonTest, AnActionThatTakesTheButtonAwayEndsThePress) {
  ASSERT_EQ(Lua("PushModal('dialog'); Button{ name = 'away', x = 0, y = 0, w = 20, h = 20 }();"
                "Button{ name = 'up', x = 30, y = 0, w = 20, h = 20, sendToParent = true }()"),
            "");
  Find<TButton>("away")->SetAction(std::make_unique<TRemovingAction>());
  Click(5, 5);
  EXPECT_EQ(Manager().GetTopModal(), Screen());
  // With sendToParent the message still goes out.
  ASSERT_EQ(Lua("PushModal('dialog'); Button{ name = 'up', x = 30, y = 0, w = 20, h = 20, sendToParent = true }()"),
            "");
  TButton* up = Find<TButton>("up");
  up->SetAction(std::make_unique<TRemovingAction>());
  MouseMove(35, 5);
  MouseDown(35, 5);
  EXPECT_FALSE(up->Click());
  EXPECT_EQ(up->GetState(), ButtonNormal);
  EXPECT_FALSE(Hovering(up));
  Send(EventIdle);
  std::vector<std::string> seen = ScriptMessages();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "3:up"), 1);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), "3:away"), 0);
}

TEST_F(ButtonTest, HidingAHoveredButtonLetsGoOfTheMouse) {
  Build("Button{ name = 'b', x = 0, y = 0, w = 20, h = 20 }()");
  TButton* button = Find<TButton>("b");
  MouseMove(5, 5);
  ASSERT_TRUE(Hovering(button));
  ASSERT_EQ(Lua("gFound = EnableWindow('b', false); gMissing = EnableWindow('nobody', true)"), "");
  EXPECT_EQ(Global("gFound") + Global("gMissing"), "truefalse");
  EXPECT_FALSE(Hovering(button));
  EXPECT_EQ(button->GetState(), ButtonNormal);
  EXPECT_FALSE(button->IsVisible());
}

class TNullSoundOutput : public TSoundOutput {
 public:
  bool Open(const std::shared_ptr<TSoundMixer>&, TString&) override { return true; }
  void Close() override {}
};

class ButtonSoundTest : public ButtonTest {
 protected:
  void SetUp() override {
    ButtonTest::SetUp();
    ClearSoundDataSourceBuilders();
    RegisterOggDataSource();
    ASSERT_TRUE(mSounds.Initialize(std::make_unique<TNullSoundOutput>(), false));
    std::string tone = ReadTextFile((std::string(TARVELON_FIXTURES) + "/sound/tone_a.ogg").c_str());
    WriteAsset("press.ogg", tone);
    WriteAsset("over.ogg", tone);
  }
  void TearDown() override {
    ButtonTest::TearDown();
    ClearSoundDataSourceBuilders();
  }

  TSoundManager mSounds;
};

// Fault mended: the clicking state (3) read a fourth sound from the three sound slots (with
// a mask, what lies after them is no empty pointer).
TEST_F(ButtonSoundTest, AClickPlaysThePressSoundOnceAndHoverTheRollOverSound) {
  WriteSolidImage("mask.png", 20, 20, 0xFFFFFFFF);
  Build("Button{ name = 'b', x = 0, y = 0, w = 20, h = 20, sound = 'press.ogg', rolloversound = 'over.ogg',"
        "  mask = 'mask.png' }()");
  TButton* button = Find<TButton>("b");
  std::shared_ptr<TSound> press = button->GetSound(ButtonPressSound);
  std::shared_ptr<TSound> over = button->GetSound(ButtonRollOverSound);
  ASSERT_NE(press, nullptr);
  ASSERT_NE(over, nullptr);
  EXPECT_EQ(button->GetSound(0), nullptr);
  EXPECT_EQ(button->GetSound(3), nullptr);
  MouseMove(5, 5);
  EXPECT_EQ(over->GetInstanceCount(), 1u);
  MouseDown(5, 5);
  MouseUp(5, 5);
  EXPECT_EQ(press->GetInstanceCount(), 1u);
  EXPECT_EQ(over->GetInstanceCount(), 2u);  // roll-over again after the press
  // A hotkey's click plays the press sound, and only that.
  EXPECT_TRUE(button->Click());
  EXPECT_EQ(press->GetInstanceCount(), 2u);
  EXPECT_EQ(over->GetInstanceCount(), 2u);
  button->SetSound(3, "press.ogg");
  EXPECT_EQ(CountInLog("Button 'b': no sound slot 3"), 1);
  // A hidden button is silent.
  button->SetFlags(button->GetFlags() & ~uint32_t(WindowVisible));
  button->Click();
  EXPECT_EQ(press->GetInstanceCount(), 2u);
}

class TBoundButton : public TButton {
 public:
  TBoundButton() {
    if (TWindowManager* manager = GetWindowManager())
      BindLuaMember(manager->GetScript()->GetState(), "gButtonPing", this, &TBoundButton::Ping);
  }
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TBoundButton>(); }
  int32_t Ping() { return GetState() + 7; }
};

// Functions a widget binds to its members are harmless once it is gone: a call does nothing.
TEST_F(ButtonTest, ScriptFunctionsBoundToAButtonFailCleanlyOnceItIsDestroyed) {
  Manager().RegisterWindowType("PingButton", &TBoundButton::Create);
  Build("PingButton{ name = 'p', x = 0, y = 0, w = 20, h = 20 }(); gFirst = gButtonPing()");
  EXPECT_EQ(Global("gFirst"), "7");
  Build("DestroyWindow('p')");
  Send(EventIdle);
  EXPECT_EQ(Lua("gSecond = gButtonPing()"), "");
  EXPECT_EQ(Global("gSecond"), "nil");
}

}  // namespace
