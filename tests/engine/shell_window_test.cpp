// Window events through the window procedure, the display handler's device state, and
// the platform's clipboard and web-page services.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "engine/platform_impl.h"
#include "engine/window_procedure.h"
#include "host/fake_host.h"
#include "host/game_state.h"
#include "host/portal.h"
#include "platform/os/input_injection.h"
#include "platform/os/message_queue.h"
#include "shell_fixture.h"
#include "sound/sound_manager.h"

namespace {

TPlatformEvent Ev(uint32_t type, int32_t code = 0) { return TPlatformEvent::Of(type, code); }

TEvents Window(TPlatform* platform, TInjectedWindowEvent kind) {
  EXPECT_TRUE(InjectWindowEvent(kind));
  return DrainInput(platform);
}

}  // namespace

TEST_F(TShellTest, MinimiseAndRestoreChangeTheActivation) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::Minimized), (TEvents{Ev(EventActivation, 0), Ev(EventActivation, 0)}));
    EXPECT_FALSE(platform->IsActive());
    EXPECT_TRUE(platform->IsMinimized());
    EXPECT_GT(mRecord.workingCountResets, 0);
    EXPECT_FALSE(GetSoundManager()->IsActive());
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::Restored), (TEvents{Ev(EventActivation, 1), Ev(EventActivation, 1)}));
    EXPECT_TRUE(platform->IsActive());
    EXPECT_FALSE(platform->IsMinimized());
    EXPECT_TRUE(GetSoundManager()->IsActive());
  });
}

TEST_F(TShellTest, FocusLossAndGainChangeTheActivation) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::FocusLost), (TEvents{Ev(EventActivation, 0), Ev(EventActivation, 0)}));
    EXPECT_FALSE(platform->HasFocus());
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::FocusGained), (TEvents{Ev(EventActivation, 1), Ev(EventActivation, 1)}));
    EXPECT_TRUE(platform->HasFocus());
    // The desktop repeating a focus it already gave is no change.
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::FocusGained), TEvents{});
  });
}

TEST_F(TShellTest, CloseRequestsLeaveTheWindowToTheGame) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    EXPECT_EQ(Window(platform, TInjectedWindowEvent::Close), TEvents{Ev(EventClose)});
    EXPECT_EQ(mRecord.closeMovies, 1);
    EXPECT_NE(platform->GetMainWindow(), nullptr);
    // The session asking the program to end is a close request too.
    ASSERT_TRUE(InjectQuitRequest());
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventClose)});
    // Alt+F4 asks the window to close.
    ASSERT_TRUE(InjectKey("Alt+F4", true));
    TEvents events = DrainInput(platform);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), Ev(EventClose));
  });
}

TEST_F(TShellTest, PaintRedrawsAndInvalidatesTheWindowManager) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    int before = mRecord.invalidates;
    TEvents events = Window(platform, TInjectedWindowEvent::Exposed);
    ASSERT_FALSE(events.empty());
    for (const TPlatformEvent& event : events) EXPECT_EQ(event, Ev(EventRedraw));
    EXPECT_EQ(mRecord.invalidates, before + 1);
  });
}

TEST_F(TShellTest, PointerEnteringTheWindowLetsTheDisplaySetTheCursor) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    Window(platform, TInjectedWindowEvent::Enter);
    EXPECT_EQ(mRecord.windowsCursorCalls, 1);
  });
}

TEST_F(TShellTest, LostDeviceIsRestoredOnlyWhileShownAndNeverHoldsUpMessages) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    mRecord.deviceReady = false;
    TPlatformEvent event;
    platform->ProcessEvents(event);
    EXPECT_EQ(event, Ev(EventNothing));
    EXPECT_EQ(mRecord.restores, 1);
    // A device that stays lost does not stop the messages: minimising gets through, and
    // minimised, the step does not restore.
    InjectWindowEvent(TInjectedWindowEvent::Minimized);
    Drain(platform, 20);
    EXPECT_TRUE(platform->IsMinimized());
    int restores = mRecord.restores;
    for (int i = 0; i < 5; ++i) platform->ProcessEvents(event);
    EXPECT_EQ(mRecord.restores, restores);
    // A quit waiting while the device is lost ends the loop at once.
    platform->PostQuit(0);
    platform->ProcessEvents(event);
    EXPECT_EQ(event, Ev(EventQuit));
    mRecord.deviceReady = true;
  });
}

TEST_F(TShellTest, DisplayChangeIsReported) {
  Run([&](TPlatform* platform) {
    Drain(platform);
    platform->NotifyDisplayChanged();
    EXPECT_EQ(DrainInput(platform), TEvents{Ev(EventDisplayChanged)});
  });
}

TEST_F(TShellTest, ClipboardRoundTripsUtf8AndNeverHoldsEightBitText) {
  Run([&](TPlatform* platform) {
    ASSERT_TRUE(platform->SetClipboardString("Grüße"));
    EXPECT_EQ(platform->GetClipboardString(), "Grüße");
    // Text in the 8-bit code page is stored as its UTF-8 form.
    ASSERT_TRUE(platform->SetClipboardString("Gr\xFC\xDF" "e \x80"));
    EXPECT_EQ(platform->GetClipboardString(), "Grüße €");
  });
}

TEST_F(TShellTest, OpenUrlHandsOnlyWebAndMailAddressesToTheHandler) {
  // A stand-in "xdg-open" that records its arguments, one per line.
  TString bin = mRoot / "bin";
  TString record = mRoot / "opened.txt";
  WriteTextFile(bin + "/xdg-open", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\" >> '" + record.ToStd() + "'; done\n");
  chmod((bin + "/xdg-open").c_str(), 0755);
  std::string path = bin.ToStd() + ":" + getenv("PATH");
  setenv("PATH", path.c_str(), 1);
  Run([&](TPlatform* platform) {
    EXPECT_FALSE(platform->OpenUrl("file:///etc/passwd"));
    EXPECT_FALSE(platform->OpenUrl("javascript:alert(1)"));
    EXPECT_FALSE(platform->OpenUrl("; touch /tmp/x"));
    EXPECT_FALSE(platform->OpenUrl("http://a\nb"));
    EXPECT_TRUE(platform->OpenUrl("https://example.org/a b?x=$(id)&y=`id`"));
    EXPECT_TRUE(platform->OpenUrl("MAILTO:info@example.org"));
  });
  std::string opened;
  for (int i = 0; i < 400 && std::count(opened.begin(), opened.end(), '\n') < 2; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    opened = ReadTextFile(record);
  }
  // Each address arrives whole, as one argument (their order is the handlers' own).
  EXPECT_NE(opened.find("https://example.org/a b?x=$(id)&y=`id`\n"), std::string::npos) << opened;
  EXPECT_NE(opened.find("MAILTO:info@example.org\n"), std::string::npos) << opened;
  EXPECT_EQ(std::count(opened.begin(), opened.end(), '\n'), 2) << opened;
}

namespace {

class TRecordingHandler : public TGameStateHandler {
 public:
  explicit TRecordingHandler(std::vector<std::string>& seen) : mSeen(seen) {}
  bool HandleEvent(const char* name, const char* value) override {
    mSeen.push_back(std::string(name) + "=" + value);
    return true;
  }

 private:
  std::vector<std::string>& mSeen;
};

}  // namespace

TEST_F(TShellTest, HostMessagesReachTheGameState) {
  std::vector<std::string> seen;
  Run([&](TPlatform* platform) {
    Drain(platform);
    GetGameState()->AddHandler(std::make_unique<TRecordingHandler>(seen));
    TNativeMessage host;
    host.type = TNativeMessageType::Host;
    host.hostMessage = HostMessageUser;
    host.wParam = 7;
    platform->Impl().mQueue->Enqueue(host);
    host.hostMessage = HostMessageIgnored;
    platform->Impl().mQueue->Enqueue(host);
    EXPECT_EQ(DrainInput(platform), TEvents{});
  });
  EXPECT_EQ(seen, std::vector<std::string>{"windowmessage=7"});
}

// A handler that asks the engine to wait for quit: the step only pumps messages.
TEST_F(TShellTest, WaitingForQuitPumpsMessagesUntilTheQuit) {
  class TWaiting : public TGameStateHandler {
   public:
    bool HandleEvent(const char*, const char*) override { return false; }
    bool QueryWaitForQuit() override { return true; }
  };
  Run([&](TPlatform* platform) {
    Drain(platform);
    GetGameState()->AddHandler(std::make_unique<TWaiting>());
    InjectWindowEvent(TInjectedWindowEvent::Close);
    platform->PostQuit(0);
    TPlatformEvent event;
    platform->ProcessEvents(event);
    EXPECT_EQ(event, Ev(EventQuit));
    // The close message went to the window procedure on the way.
    EXPECT_TRUE(platform->Impl().mClosePending);
  });
}

// A portal host on the host channel: the first step tells it that the game has loaded and
// waits for its go-ahead; a Zylom host that goes away ends the game.
TEST_F(TShellTest, APortalHostOnTheChannelHoldsTheGameUntilItsGoAhead) {
  TFakeHost host;
  std::string line = "-wnd=" + host.Path() + " -msn";
  Run(
      [&](TPlatform* platform) {
        ASSERT_TRUE(host.Accept());
        ASSERT_TRUE(host.Send(5));
        TPlatformEvent event;
        platform->ProcessEvents(event);
        EXPECT_EQ(host.TakeCommands(),
                  (std::vector<std::string>{"LoadBroadcast(\"<data><percentcomplete>100</percentcomplete></data>\")",
                                            "SessionReady(\"<data></data>\")"}));
        EXPECT_FALSE(QueryWaitForQuit());
        EXPECT_TRUE(IsMsnPortal());
      },
      line.c_str());
  EXPECT_FALSE(IsMsnPortal()) << "the teardown resets the portal";
}

TEST_F(TShellTest, AZylomGameEndsWhenItsHostGoesAway) {
  TFakeHost host;
  std::string line = "-wnd=" + host.Path() + " -zylom";
  Run(
      [&](TPlatform* platform) {
        ASSERT_TRUE(host.Accept());
        host.Hangup();
        TPlatformEvent event;
        platform->ProcessEvents(event);
        EXPECT_EQ(event, Ev(EventQuit));
      },
      line.c_str());
}
