// Injected SDL input through the OS layer and the event-loop step, as the game receives it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/platform_impl.h"
#include "platform/os/input_injection.h"
#include "platform/os/message_queue.h"
#include "platform/os/virtual_keys.h"
#include "platform/settings.h"
#include "platform/task_list.h"
#include "shell_fixture.h"

namespace {

TPlatformEvent Ev(uint32_t type, int32_t code = 0, int32_t x = 0, int32_t y = 0, uint32_t extra = 0) {
  return TPlatformEvent::Of(type, code, x, y, extra);
}

// Steps past the start-up's own events.
void Settle(TPlatform* platform) { Drain(platform); }

TEvents Press(TPlatform* platform, const char* key) {
  EXPECT_TRUE(InjectKey(key, true)) << key;
  return DrainInput(platform);
}

TEvents Type(TPlatform* platform, const std::string& text) {
  EXPECT_TRUE(InjectText(text));
  return DrainInput(platform);
}

void Enqueue(TPlatform* platform, TNativeMessage message) { platform->Impl().mQueue->Enqueue(message); }

TNativeMessage CharMessage(uint32_t unit) {
  TNativeMessage message;
  message.type = TNativeMessageType::Char;
  message.charCode = unit;
  return message;
}

}  // namespace

TEST_F(TShellTest, KeysGiveEngineKeyCodes) {
  struct TCase {
    const char* key;
    TEvents events;
  };
  const TCase cases[] = {
      {"Up", {Ev(EventKeyDown, EngineKeyUp)}},
      {"Down", {Ev(EventKeyDown, EngineKeyDown)}},
      {"Left", {Ev(EventKeyDown, EngineKeyLeft)}},
      {"Right", {Ev(EventKeyDown, EngineKeyRight)}},
      {"PageUp", {Ev(EventKeyDown, EngineKeyPageUp)}},
      {"PageDown", {Ev(EventKeyDown, EngineKeyPageDown)}},
      {"Delete", {Ev(EventKeyDown, EngineKeyDelete)}},
      {"Home", {Ev(EventKeyDown, VkHome)}},
      {"F5", {Ev(EventKeyDown, 0x74)}},
      // Insert counts only with shift (the paste key).
      {"Insert", {}},
      {"Ctrl+Shift+Insert", {}},
      {"Shift+Insert", {Ev(EventKeyDown, EngineKeyInsert, 0, 0, ModifierShift)}},
      {"Keypad 5", {Ev(EventKeyDown, '5')}},
      {"Keypad *", {Ev(EventKeyDown, '*')}},
      {"Keypad +", {Ev(EventKeyDown, '+')}},
      {"Keypad -", {Ev(EventKeyDown, '-')}},
      {"Keypad .", {Ev(EventKeyDown, '.')}},
      {"Keypad /", {Ev(EventKeyDown, '/')}},
      {"=", {Ev(EventKeyDown, '+')}},
      {"-", {Ev(EventKeyDown, '-')}},
      {".", {Ev(EventKeyDown, '.')}},
      {"/", {Ev(EventKeyDown, '/')}},
      {";", {Ev(EventKeyDown, ';')}},
      {",", {Ev(EventKeyDown, ',')}},
      {"`", {Ev(EventKeyDown, '`')}},
      {"[", {Ev(EventKeyDown, '[')}},
      {"\\", {Ev(EventKeyDown, '\\')}},
      {"]", {Ev(EventKeyDown, ']')}},
      {"'", {Ev(EventKeyDown, '\'')}},
      {"A", {Ev(EventKeyDown, 'A')}},
      // Keys that type by themselves give their character after the key.
      {"Return", {Ev(EventKeyDown, VkReturn), Ev(EventChar, 13)}},
      {"Backspace", {Ev(EventKeyDown, VkBack), Ev(EventChar, 8)}},
      {"Ctrl+V", {Ev(EventKeyDown, 'V', 0, 0, ModifierControl), Ev(EventChar, 0x16)}},
      // With alt held: the raw virtual key, alt and the extended bit.
      {"Alt+X", {Ev(EventKeyDown, 'X', 0, 0, ModifierAlt)}},
      {"Alt+Shift+Up", {Ev(EventKeyDown, VkUp, 0, 0, ModifierAlt | ModifierShift | ModifierExtended)}},
  };
  Run([&](TPlatform* platform) {
    Settle(platform);
    for (const TCase& c : cases) EXPECT_EQ(Press(platform, c.key), c.events) << c.key;
    EXPECT_TRUE(InjectKey("Up", false));
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventKeyUp, EngineKeyUp)});
    // Num lock off turns the keypad into the cursor block.
    EXPECT_TRUE(InjectKey("Keypad 8", true, false));
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventKeyDown, EngineKeyUp)});
  });
}

TEST_F(TShellTest, AltEnterTogglesFullScreenAndAltF1TheStatistics) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    EXPECT_EQ(Press(platform, "Alt+Return"), TEvents{Ev(EventFullScreenToggled, 1, 0, 0, 1)});
    EXPECT_TRUE(mRecord.fullScreen);
    EXPECT_EQ(Press(platform, "Alt+Return"), TEvents{Ev(EventFullScreenToggled, 0, 0, 0, 0)});
    EXPECT_FALSE(mRecord.fullScreen);

    ASSERT_TRUE(InjectKey("Alt+F1", true));
    TPlatformEvent event = Ev(EventKeyDown, 99, 1, 2, 3);
    platform->ProcessEvents(event);
    EXPECT_EQ(event, Ev(EventIdle)) << "Alt+F1 gives no event";
    EXPECT_EQ(mRecord.statsToggles, 1);
  });
}

TEST_F(TShellTest, TextArrivesAsCharactersOfTheWindowsKind) {
  SetConfig("utf8mode", "1");
  Run([&](TPlatform* platform) {
    Settle(platform);
    EXPECT_TRUE(platform->GetMainWindow()->IsWide());
    // A character outside the BMP arrives as two units and leaves as one code point.
    EXPECT_EQ(Type(platform, "Grüße \xF0\x9F\x98\x80"),
              (TEvents{Ev(EventUnicodeChar, 'G'), Ev(EventUnicodeChar, 'r'), Ev(EventUnicodeChar, 0xFC),
                       Ev(EventUnicodeChar, 0xDF), Ev(EventUnicodeChar, 'e'), Ev(EventUnicodeChar, ' '),
                       Ev(EventUnicodeChar, 0x1F600)}));
    std::string longText(100, 'x');
    EXPECT_EQ(Type(platform, longText).size(), 100u) << "long text is split into several SDL events";
  });
}

TEST_F(TShellTest, EightBitWindowGetsWindows1252Bytes) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    EXPECT_FALSE(platform->GetMainWindow()->IsWide());
    EXPECT_EQ(Type(platform, "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              (TEvents{Ev(EventChar, 'a'), Ev(EventChar, 0xE9), Ev(EventChar, 0x80), Ev(EventChar, '?')}));
  });
}

TEST_F(TShellTest, SurrogatesJoinAndAStaleHighOneIsDropped) {
  SetConfig("utf8mode", "1");
  Run([&](TPlatform* platform) {
    Settle(platform);
    Enqueue(platform, CharMessage(0xD83D));
    Enqueue(platform, CharMessage(0xDE00));
    EXPECT_EQ(Drain(platform), (TEvents{Ev(EventNothing), Ev(EventUnicodeChar, 0x1F600)}));
    // A lone low surrogate is nothing.
    Enqueue(platform, CharMessage(0xDE00));
    EXPECT_EQ(Drain(platform), TEvents{Ev(EventNothing)});
    // A high surrogate followed by a plain character must not join a later low one.
    Enqueue(platform, CharMessage(0xD83D));
    Enqueue(platform, CharMessage('a'));
    Enqueue(platform, CharMessage(0xDE00));
    EXPECT_EQ(Drain(platform), (TEvents{Ev(EventNothing), Ev(EventUnicodeChar, 'a'), Ev(EventNothing)}));
  });
}

TEST_F(TShellTest, MouseButtonsWheelAndMoves) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    // Positions go through the display handler (the fake doubles them); shift and
    // control come with presses and the wheel.
    ASSERT_TRUE(InjectKey("Shift+Left Shift", true));
    Drain(platform);
    InjectMouseMove(10, 20);
    InjectMouseButton(ButtonLeft, true, 10, 20);
    InjectMouseButton(ButtonLeft, false, 11, 20);
    InjectMouseButton(ButtonRight, true, 1, 2);
    InjectMouseButton(ButtonRight, false, 1, 2);
    InjectMouseButton(ButtonMiddle, true, 3, 4);
    InjectMouseButton(ButtonMiddle, false, 3, 4);
    InjectMouseButton(ButtonX1, true, 5, 6);
    InjectMouseButton(ButtonX1, false, 5, 6);
    InjectMouseButton(ButtonX2, true, 5, 6);
    InjectMouseWheel(1);
    InjectMouseWheel(-2);
    EXPECT_EQ(DrainInput(platform), (TEvents{
                                        Ev(EventMouseMove, 0, 20, 40),
                                        Ev(EventLeftButtonDown, 0, 20, 40, ModifierShift),
                                        Ev(EventLeftButtonUp, 0, 22, 40),
                                        Ev(EventButton, ButtonRightDown, 2, 4, ModifierShift),
                                        Ev(EventButton, ButtonRightUp, 2, 4),
                                        Ev(EventButton, ButtonMiddleDown, 6, 8, ModifierShift),
                                        Ev(EventButton, ButtonMiddleUp, 6, 8),
                                        Ev(EventButton, ButtonExtra1Down, 10, 12),
                                        Ev(EventButton, ButtonExtra2Down, 10, 12),
                                        Ev(EventButton, ButtonWheelAway, 10, 12, ModifierShift),
                                        Ev(EventButton, ButtonWheelToward, 10, 12, ModifierShift),
                                    }));
    EXPECT_GT(mRecord.windowMoves, 0) << "the window procedure lets the display follow the pointer";
  });
}

TEST_F(TShellTest, MovieInputMakesButtonsNothing) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    mRecord.movieInput = true;
    InjectMouseButton(ButtonLeft, true, 1, 1);
    InjectMouseWheel(1);
    EXPECT_EQ(DrainInput(platform), TEvents{});
  });
}

TEST_F(TShellTest, HoverAfterTheSystemHoverTimeAndLeave) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    auto start = std::chrono::steady_clock::now();
    InjectMouseMove(30, 40);
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventMouseMove, 0, 60, 80)});
    TEvents events;
    while (events.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(3))
      events = DrainInput(platform);
    auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    EXPECT_EQ(events, TEvents{Ev(EventHover, 0, 60, 80)});
    EXPECT_GE(waited.count(), 398);  // the clock counts whole milliseconds

    ASSERT_TRUE(InjectWindowEvent(TInjectedWindowEvent::Leave));
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventMouseGone, 0, 60, 80)});
  });
}

TEST_F(TShellTest, ClickThatActivatesTheWindowIsFiltered) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    TFakeTimer timer(10000);
    InjectWindowEvent(TInjectedWindowEvent::FocusLost);
    EXPECT_EQ(DrainInput(platform), (TEvents{Ev(EventActivation, 0), Ev(EventActivation, 0)}));

    // The activating click: its press is dropped, and so is a release within 400 ms.
    InjectMouseButton(ButtonLeft, true, 5, 5);
    TEvents events = DrainInput(platform);
    EXPECT_EQ(std::count(events.begin(), events.end(), Ev(EventLeftButtonDown, 0, 10, 10)), 0);
    FakeNow += 399;
    InjectMouseButton(ButtonLeft, false, 5, 5);
    EXPECT_EQ(DrainInput(platform), TEvents{});
    // The next click is an ordinary one.
    InjectMouseButton(ButtonLeft, true, 5, 5);
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventLeftButtonDown, 0, 10, 10)});
    InjectMouseButton(ButtonLeft, false, 5, 5);
    Drain(platform);

    // An activating click released 400 ms or later: the release counts.
    InjectWindowEvent(TInjectedWindowEvent::FocusLost);
    Drain(platform);
    InjectMouseButton(ButtonLeft, true, 5, 5);
    events = DrainInput(platform);
    EXPECT_EQ(std::count(events.begin(), events.end(), Ev(EventLeftButtonDown, 0, 10, 10)), 0);
    FakeNow += 400;
    InjectMouseButton(ButtonLeft, false, 5, 5);
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventLeftButtonUp, 0, 10, 10)});
  });
}

TEST_F(TShellTest, RelativeMouseModeReportsDeltasAndAStepWithoutEventIsIdle) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    InjectMouseMove(50, 50);
    Drain(platform);
    platform->SetMouseMode(MouseRelative);
    InjectMouseMove(53, 48);
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventMouseMove, 0, 3, -2)});
    // Back on the anchor: the step has nothing to report and says idle, whatever the
    // record held before.
    InjectMouseMove(50, 50);
    TPlatformEvent event = Ev(EventKeyDown, 65, 7, 8, 9);
    platform->ProcessEvents(event);
    EXPECT_EQ(event, Ev(EventIdle));
  });
}

// A window that takes the pointer over (a drag, a diver) hides it and puts it back on an
// engine point: on a display shown at half its size the pointer lands on the window's half
// of the point, so that the next move reports the very point again (the fake display
// doubles window points).
TEST_F(TShellTest, PointerHidesAndWarpsToTheEnginePoint) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    platform->SetCursorVisible(false);
    EXPECT_FALSE(platform->IsCursorVisible());
    SetConfig("viewportscale", "0.5");
    platform->SetMousePosition(TPoint(300, 140));
    TEvents moves = DrainInput(platform);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves.back(), Ev(EventMouseMove, 0, 300, 140));
    platform->SetCursorVisible(true);
    EXPECT_TRUE(platform->IsCursorVisible());
  });
}

TEST_F(TShellTest, IdleStepsRunTheFrameTasksOnceEachAndWaitBriefly) {
  struct TCounter : TTask {
    explicit TCounter(int& runs) : mRuns(runs) {}
    bool Run() override {
      ++mRuns;
      return true;
    }
    int& mRuns;
  };
  Run([&](TPlatform* platform) {
    Settle(platform);
    int runs = 0;
    platform->AddTask(std::make_unique<TCounter>(runs));
    constexpr int Steps = 100;
    auto quickest = std::chrono::steady_clock::duration::max();
    for (int i = 0; i < Steps; ++i) {
      TPlatformEvent event;
      auto start = std::chrono::steady_clock::now();
      platform->ProcessEvents(event);
      quickest = std::min(quickest, std::chrono::steady_clock::now() - start);
      ASSERT_EQ(event.type, EventIdle);
    }
    EXPECT_EQ(runs, Steps);
    // About 1 ms per step. A wait of many milliseconds shows in every step, while a loaded
    // machine holds up only some: the quickest step tells them apart.
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(quickest).count();
    EXPECT_LT(ms, 8) << "the quickest of " << Steps << " idle steps took " << ms << " ms";
  });
}

TEST_F(TShellTest, QuitMessageEndsTheLoop) {
  Run([&](TPlatform* platform) {
    Settle(platform);
    platform->PostQuit(0);
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventQuit)});
  });
}
