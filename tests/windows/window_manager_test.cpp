// The window manager: event dispatch through the hover list and the hit test from the top
// modal down, bubbling, focus, the modal stack, deferred deletion, messages and listeners,
// and the redraw's pace.

#include "engine/platform.h"
#include "platform/settings.h"
#include "windows/lua_message.h"
#include "windows/modal_window.h"
#include "windows_test_util.h"

namespace {

class TRecordingListener : public TMessageListener {
 public:
  TRecordingListener(std::vector<std::string>* seen, bool handles) : mSeen(seen), mHandles(handles) {}
  bool OnMessage(TMessage& message) override {
    mSeen->push_back(std::to_string(message.GetType()) + " " + message.GetName().ToStd());
    return mHandles;
  }

 private:
  std::vector<std::string>* mSeen;
  bool mHandles;
};

class WindowManagerTest : public TWindowsTest {
 protected:
  // Screen > panel (100,100)-(300,300) > under (0,0)-(100,100), over (50,50)-(150,150) on top.
  void MakePanel() {
    panel = AddProbe(Screen(), "panel", TRect(100, 100, 300, 300));
    under = AddProbe(panel, "under", TRect(0, 0, 100, 100));
    over = AddProbe(panel, "over", TRect(50, 50, 150, 150));
  }
  TRecordingListener* Listen(bool handles) {
    auto listener = std::make_unique<TRecordingListener>(&mSeen, handles);
    TRecordingListener* raw = listener.get();
    Manager().AddListener(std::move(listener));
    return raw;
  }
  TModalWindow* PushModal(const char* name) {
    auto modal = std::make_unique<TModalWindow>();
    modal->SetName(name);
    return static_cast<TModalWindow*>(Manager().PushModal(std::move(modal)));
  }

  TProbeWindow *panel = nullptr, *under = nullptr, *over = nullptr;
  std::vector<std::string> mSeen;
};

TEST_F(WindowManagerTest, AnUnhandledClickFallsThroughToTheSiblingThenTheParentAndStopsAtTheModal) {
  MakePanel();
  Listen(false);
  Send(EventLeftButtonDown, 160, 160);
  EXPECT_EQ(mLog, (TProbeLog{"over:down@10,10", "under:down@60,60", "panel:down@60,60"}));
  EXPECT_EQ(Manager().GetLastHitWindow(), over);
  mLog.clear();
  Send(EventLeftButtonUp, 160, 160);
  EXPECT_EQ(mLog, (TProbeLog{"over:up@10,10", "under:up@60,60", "panel:up@60,60"}));
  // The screen is the modal where it stops: the raw input goes out as a message, and with
  // no window taking it, it ends in the script's queue.
  EXPECT_EQ(mSeen, (std::vector<std::string>{"4 mouse:up"}));
  EXPECT_EQ(Lua("gQueued = table.getn(gMessageQueue); gName = gMessageQueue[1].name"), "");
  EXPECT_EQ(Global("gQueued"), "1");
  EXPECT_EQ(Global("gName"), "mouse:up");
}

TEST_F(WindowManagerTest, AHandledClickStopsButStillMovesTheFocus) {
  MakePanel();
  over->handleDown = true;
  // Only windows that take the focus get it: the panel does, the other probes do not.
  panel->TakeFocusOnClick();
  Send(EventLeftButtonDown, 160, 160);
  EXPECT_EQ(mLog, (TProbeLog{"over:down@10,10", "panel:focus"}));
  EXPECT_EQ(Manager().GetFocus(), panel);
  // Keys go to the focus window and bubble from there.
  // Unhandled, it stops at the screen, which posts it as raw input for the focus window.
  mLog.clear();
  Send(EventKeyDown, 0, 0, 'A');
  EXPECT_EQ(mLog, (TProbeLog{"panel:key@65,0", "panel:msg raw:A"}));
}

TEST_F(WindowManagerTest, RawKeysAndMouseUpLeaveTheModalAsMessages) {
  Listen(false);
  Send(EventKeyDown, 0, 0, 'Q');
  Send(EventLeftButtonUp, 5, 5);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"4 raw:Q", "4 mouse:up"}));
  // With "overlaymouse" the modal posts nothing and the manager posts the mouse's own, once.
  mSeen.clear();
  SetConfig("overlaymouse", "1");
  Send(EventKeyDown, 0, 0, 'Q');
  Send(EventLeftButtonUp, 5, 5);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"4 mouse:up"}));
}

TEST_F(WindowManagerTest, ACharacterAfterAHotkeyIsSwallowedOnce) {
  TProbeWindow* probe = AddProbe(Screen(), "p", TRect(0, 0, 10, 10));
  Manager().SetFocus(probe);
  mLog.clear();
  SetSkipNextChar(true);
  Send(EventChar, 0, 0, 'x');
  Send(EventChar, 0, 0, 'y');
  EXPECT_EQ(mLog, (TProbeLog{"p:char@121,0"}));
  EXPECT_FALSE(GetSkipNextChar());
}

TEST_F(WindowManagerTest, TheHoverListCapturesTheMouse) {
  MakePanel();
  Manager().AddToHoverList(under);
  under->leaveHover = false;  // holds on to the mouse
  Send(EventLeftButtonDown, 500, 400);
  // Outside its rectangle: a leave, then the event anyway, in its own coordinates (and
  // bubbling on from there when it is not handled).
  EXPECT_EQ(mLog, (TProbeLog{"under:leave", "under:down@400,300", "panel:down@400,300"}));
  under->handleMove = true;
  mLog.clear();
  Send(EventMouseMove, 110, 120);
  EXPECT_EQ(mLog, (TProbeLog{"under:move@10,20"}));
  // Relative mouse mode: moves are deltas, passed on as they are.
  mLog.clear();
  mHost->mouseMode = MouseRelative;
  Send(EventMouseMove, 3, -2);
  EXPECT_EQ(mLog, (TProbeLog{"under:move@3,-2"}));
  mHost->mouseMode = MouseAbsolute;
  // One that lets go gets no event.
  mLog.clear();
  under->leaveHover = true;
  Send(EventLeftButtonDown, 500, 400);
  EXPECT_EQ(mLog, (TProbeLog{"under:leave"}));
  EXPECT_TRUE(Manager().GetHoverList().empty());
  // With an empty list, relative moves reach nobody.
  mLog.clear();
  mHost->mouseMode = MouseRelative;
  Send(EventMouseMove, 3, -2);
  EXPECT_TRUE(mLog.empty());
}

TEST_F(WindowManagerTest, TheMouseLeavingTheWindowReachesEveryHoverWindow) {
  MakePanel();
  Manager().AddToHoverList(under);
  Manager().AddToHoverList(over);
  Send(EventMouseGone);
  EXPECT_EQ(mLog, (TProbeLog{"under:leave", "over:leave"}));
}

TEST_F(WindowManagerTest, PushingAModalEmptiesTheHoverListWithLeaves) {
  MakePanel();
  under->leaveHover = false;
  Manager().AddToHoverList(under);
  TModalWindow* modal = PushModal("dialog");
  EXPECT_EQ(mLog, (TProbeLog{"under:leave"}));
  EXPECT_TRUE(Manager().GetHoverList().empty());
  EXPECT_EQ(Manager().GetTopModal(), modal);
  EXPECT_EQ(modal->GetParent(), Screen());
  EXPECT_EQ(modal->GetRect(), TRect(0, 0, 640, 480));
  EXPECT_EQ(Manager().GetFocus(), modal);
  EXPECT_EQ(Script().GetWindowCount(), 1u);
  EXPECT_EQ(Script().GetCurrentWindow(), modal);
  // Input now goes to the modal only.
  mLog.clear();
  Send(EventLeftButtonDown, 160, 160);
  EXPECT_TRUE(mLog.empty());
}

TEST_F(WindowManagerTest, DoPopModalPopsDownToTheNamedModal) {
  TModalWindow* first = PushModal("first");
  PushModal("second");
  TModalWindow* third = PushModal("third");
  TProbeWindow* inThird = AddProbe(third, "inThird", TRect(0, 0, 5, 5));
  EXPECT_TRUE(WindowCast<TModalWindow>(Screen())->GetClock().IsPaused());
  Manager().DoPopModal("unknown");
  EXPECT_EQ(Manager().GetModals().size(), 4u);
  EXPECT_FALSE(third->GetClock().IsPaused());
  Manager().DoPopModal(first->GetIdString());
  EXPECT_EQ(Manager().GetTopModal(), Screen());
  EXPECT_EQ(Manager().GetFocus(), Screen());
  EXPECT_TRUE(Manager().HasTreeChanged());
  EXPECT_EQ(mLog, (TProbeLog{"inThird:popped"}));
  EXPECT_FALSE(WindowCast<TModalWindow>(Screen())->GetClock().IsPaused());
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
  (void)inThird;
  // The popped modals go with the next event, each announcing itself.
  Listen(false);
  Send(EventActivation, 0, 0, 1);
  Send(EventIdle);
  EXPECT_EQ(mSeen.size(), 3u);
  for (const std::string& seen : mSeen) EXPECT_EQ(seen.substr(0, 2), "6 ");
}

TEST_F(WindowManagerTest, AWindowQueuedDuringAnEventLivesUntilTheNextOne) {
  MakePanel();
  bool destroyed = false;
  over->destroyed = &destroyed;
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "for over", over));
  Manager().DestroyWindowLater(panel->RemoveChild(over));
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(Manager().GetMessageQueue().front()->GetTarget(), nullptr);
  Listen(false);
  Send(EventIdle);
  EXPECT_TRUE(destroyed);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"0 for over"}));
}

// Regression: a message posted to a window already queued for deletion was delivered to it
// after it was freed (an event that drains no messages lies in between).
TEST_F(WindowManagerTest, AMessageForAWindowQueuedForDeletionNeverReachesIt) {
  MakePanel();
  Manager().DestroyWindowLater(Screen()->RemoveChild(panel));
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "late", over));
  Send(EventActivation, 0, 0, 1);  // deletes the queue, drains no messages
  // A window deleted straight away leaves no target behind either.
  TProbeWindow* other = AddProbe(Screen(), "other", TRect());
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "gone", other));
  delete Screen()->RemoveChild(other).release();
  Listen(false);
  Send(EventIdle);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"0 late", "0 gone"}));
  EXPECT_TRUE(mLog.empty());
}

// Regression: destroying a modal from a script left its modal-stack entry behind.
TEST_F(WindowManagerTest, DestroyingAModalFromAScriptTakesItOffTheStack) {
  ASSERT_EQ(Lua("gId = PushModal('dialog'); MakeDialog{ Window{ name = 'inside', w = 10, h = 10 } }"), "");
  ASSERT_EQ(Manager().GetModals().size(), 2u);
  ASSERT_EQ(Lua("DestroyWindow('dialog')"), "");
  EXPECT_EQ(Manager().GetModals().size(), 1u);
  EXPECT_EQ(Manager().GetTopModal(), Screen());
  EXPECT_EQ(Manager().GetFocus(), Screen());
  EXPECT_EQ(Script().GetCurrentWindow(), Screen());
  // The next events run over the freed modal's place without touching it.
  Send(EventLeftButtonDown, 5, 5);
  Send(EventLeftButtonUp, 5, 5);
  Send(EventKeyDown, 0, 0, 'A');
  Send(EventIdle);
  EXPECT_EQ(Manager().GetModals().size(), 1u);
}

TEST_F(WindowManagerTest, ListenersComeFirstAndQuitEndsTheApplication) {
  TRecordingListener* first = Listen(true);
  Listen(false);
  MakePanel();
  Manager().SetFocus(over);
  mLog.clear();
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "taken"));
  Manager().PostMessage(std::make_unique<TMessage>(MessageQuitNow, "bye"));
  Send(EventIdle);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"0 taken"}));
  EXPECT_TRUE(mLog.empty());
  EXPECT_EQ(mHost->quits, (std::vector<int32_t>{0}));
  // Without the consuming listener the message walks from the focus window upwards.
  EXPECT_NE(Manager().RemoveListener(first), nullptr);
  EXPECT_EQ(Manager().RemoveListener(first), nullptr);
  mSeen.clear();
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "walks"));
  Send(EventIdle);
  EXPECT_EQ(mSeen, (std::vector<std::string>{"0 walks"}));
  EXPECT_EQ(mLog, (TProbeLog{"over:msg walks", "panel:msg walks"}));
}

TEST_F(WindowManagerTest, AModalAsksItsFocusChildBeforeTheScript) {
  MakePanel();
  TModalWindow* screen = WindowCast<TModalWindow>(Screen());
  screen->SetFocusChild(under);
  EXPECT_EQ(Manager().GetFocus(), under);
  EXPECT_EQ(mLog, (TProbeLog{"under:focus"}));
  mLog.clear();
  Manager().PostMessage(std::make_unique<TMessage>(MessageGeneric, "targeted", over));
  Send(EventIdle);
  EXPECT_EQ(mLog, (TProbeLog{"over:msg targeted", "panel:msg targeted", "under:msg targeted"}));
  EXPECT_EQ(Lua("gName = gMessageQueue[1].name"), "");
  EXPECT_EQ(Global("gName"), "targeted");
}

TEST_F(WindowManagerTest, RedrawsKeepTheirPace) {
  int frames = 0;
  struct TFrameCounter : TTask {
    explicit TFrameCounter(int* count) : mCount(count) {}
    bool IsReady(int passKind) override { return passKind == 1; }
    bool Run() override {
      ++*mCount;
      return true;
    }
    int* mCount;
  };
  mHost->frameTasks.AddTask(std::make_unique<TFrameCounter>(&frames));
  auto idleAt = [&](uint32_t now) {
    FakeNow = now;
    Manager().Invalidate();
    Send(EventIdle);
  };
  idleAt(1000);
  idleAt(1011);
  idleAt(1012);
  EXPECT_EQ(frames, 2);
  // In the background: at most every 200 ms, unless the pace is kept.
  mHost->focus = false;
  idleAt(1100);
  idleAt(1211);
  idleAt(1212);
  EXPECT_EQ(frames, 3);
  mHost->keepPace = true;
  idleAt(1224);
  EXPECT_EQ(frames, 4);
  // Nothing while drawing is suspended or nothing changed.
  Manager().SetDrawSuspended(true);
  idleAt(2000);
  Manager().SetDrawSuspended(false);
  FakeNow = 3000;
  Send(EventIdle);
  EXPECT_EQ(frames, 5);  // still dirty: no frame was drawn without a display
}

}  // namespace
