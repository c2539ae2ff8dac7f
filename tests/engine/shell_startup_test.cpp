// The engine's start-up and teardown, run whole (RunEngine) on the SDL dummy drivers.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "engine/engine_stand_ins.h"
#include "engine/platform_impl.h"
#include "platform/asset.h"
#include "platform/log.h"
#include "platform/os/instance_lock.h"
#include "platform/os/os_window.h"
#include "platform/settings.h"
#include "script/script_code.h"
#include "shell_fixture.h"
#include "sound/sound_manager.h"

namespace {

bool WaitFor(const std::function<bool()>& condition, int ms = 2000) {
  for (int waited = 0; waited < ms; waited += 5) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

}  // namespace

TEST_F(TShellTest, StartsWithDataFoldersAndAFreshLogCallsTheGameAndTearsDown) {
  WriteTextFile(UserFolder() + "/logfile.txt", "a line of the last run\n");
  TPlatform* seen = nullptr;
  int calls = 0;
  int exitCode = Run([&](TPlatform* platform) {
    ++calls;
    seen = platform;
    EXPECT_EQ(GetPlatform(), platform);
    EXPECT_NE(platform->GetMainWindow(), nullptr);
    EXPECT_NE(platform->GetSoundManager(), nullptr);
    EXPECT_EQ(GetConfig("gamename"), "ShellTest");
    EXPECT_EQ(GetConfig("version"), "1.2.3.4");
    EXPECT_EQ(GetConfig("buildtag"), "shelltest");
    EXPECT_EQ(GetConfig("memorymax"), "100000000");
    EXPECT_EQ(GetConfig("computerid").Length(), 16u);
    EXPECT_FALSE(GetConfig("installkey").IsEmpty());
    EXPECT_FALSE(GetConfig("hwnd").IsEmpty());
    EXPECT_EQ(platform->GetGameName(), "ShellTest");
    EXPECT_TRUE(platform->IsCursorThreadRunning());
    // A new window activates itself: the first steps report it.
    TEvents events = DrainInput(platform);
    EXPECT_NE(std::find(events.begin(), events.end(), TPlatformEvent::Of(EventActivation, 1)), events.end());
    EXPECT_TRUE(platform->IsActive());
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(calls, 1);
  EXPECT_NE(seen, nullptr);
  EXPECT_EQ(GetPlatform(), nullptr);
  EXPECT_EQ(GetSoundManager(), nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(UserFolder().c_str()));
  EXPECT_TRUE(std::filesystem::is_directory((UserFolder() + "/common").c_str()));
  std::string log = ReadTextFile(UserFolder() + "/logfile.txt");
  EXPECT_NE(log.find("ShellTest, version 1.2.3.4."), std::string::npos) << log;
  EXPECT_EQ(log.find("a line of the last run"), std::string::npos);
  EXPECT_TRUE(GetConfig("gamename").IsEmpty()) << "the settings are emptied at teardown";
}

// Every room finds assets through the global link: while the engine runs it is the engine's
// cache, so two loads of one file share one asset; the teardown unlinks its own cache only.
TEST_F(TShellTest, TheEnginesAssetCacheIsSharedWhileItRunsAndUnlinkedAfter) {
  WriteTextFile(UserFolder() + "/shared.lua", "gShared = 1\n");
  TString file = "::" + UserFolder() + "/shared.lua";
  Run([&](TPlatform* platform) {
    ASSERT_NE(GetAssetManager(), nullptr);
    EXPECT_EQ(GetAssetManager(), platform->GetAssetManager());
    auto first = TScriptCode::Get(file, "", nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(TScriptCode::Get(file, "", nullptr), first);
  });
  EXPECT_EQ(GetAssetManager(), nullptr);
  // A cache linked by someone else while the engine ran stays linked.
  TAssetManager other;
  Run([&](TPlatform*) { SetAssetManager(&other); });
  EXPECT_EQ(GetAssetManager(), &other);
  SetAssetManager(nullptr);
}

TEST_F(TShellTest, TeardownJoinsTheCursorThreadBeforeWhatItUses) {
  mRecord.displayActive = true;
  Run([&](TPlatform*) { EXPECT_TRUE(WaitFor([&] { return mRecord.cursorUpdates > 1; })); });
  EXPECT_TRUE(mRecord.windowManagerDestroyed);
  EXPECT_TRUE(mRecord.displayDestroyed);
  EXPECT_FALSE(mRecord.cursorThreadAliveAtWindowManagerDeath);
  EXPECT_FALSE(mRecord.cursorThreadAliveAtDisplayDeath);
  EXPECT_TRUE(mRecord.rendererDestroyedBeforeDisplay);
}

TEST_F(TShellTest, CursorThreadLeavesTheCursorAloneWhileDrawingIsSuspended) {
  mRecord.displayActive = true;
  Run([&](TPlatform*) {
    ASSERT_TRUE(WaitFor([&] { return mRecord.cursorUpdates > 0; }));
    mRecord.drawSuspended = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(40));  // an update under way ends
    mRecord.cursorUpdates = 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    EXPECT_EQ(mRecord.cursorUpdates, 0);
  });
}

TEST_F(TShellTest, SecondStartExitsWithoutWindowUnlessMultiple) {
  TString lockPath;
  Run([&](TPlatform* platform) { lockPath = platform->Impl().mLockPath; });
  ASSERT_FALSE(lockPath.IsEmpty());
  EXPECT_TRUE(lockPath.Find(UserFolder()) == 0) << lockPath.c_str();

  // Another process holding the lock is a second open file holding it.
  TInstanceLock other;
  ASSERT_EQ(other.Acquire(lockPath.ToStd()), TInstanceLock::TResult::Acquired);
  mRecord.displaysMade = 0;
  bool called = false;
  EXPECT_EQ(Run([&](TPlatform*) { called = true; }), 0);
  EXPECT_FALSE(called);
  EXPECT_EQ(mRecord.displaysMade, 0);
  EXPECT_EQ(GetPlatform(), nullptr);

  EXPECT_EQ(Run([&](TPlatform*) { called = true; }, "--multiple"), 0);
  EXPECT_TRUE(called);
}

TEST_F(TShellTest, CommandLineSettingsComeLastAndTakeEffect) {
  Run(
      [&](TPlatform*) {
        EXPECT_EQ(GetConfig("foo"), "bar");
        EXPECT_EQ(GetConfig("cheatcode"), "ABC");
        EXPECT_EQ(GetConfig("downloadurl"), "http://example.org/x");
      },
      "-url=http://example.org/x options=vsync=1&foo=bar --cheat ABC");
  ASSERT_FALSE(mRecord.vsync.empty());
  EXPECT_TRUE(mRecord.vsync.back());
}

TEST_F(TShellTest, NoDisplayGivesAClearMessageAndNoGame) {
  unsetenv("SDL_VIDEODRIVER");
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(CheckDisplayAvailable().empty());
  bool called = false;
  EXPECT_EQ(Run([&](TPlatform*) { called = true; }), ExitNoWindow);
  EXPECT_FALSE(called);
  EXPECT_EQ(GetPlatform(), nullptr);
  std::string log = ReadTextFile(UserFolder() + "/logfile.txt");
  EXPECT_NE(log.find("no display"), std::string::npos) << log;
}

TEST_F(TShellTest, MissingHostWindowExits) {
  bool called = false;
  EXPECT_EQ(Run([&](TPlatform*) { called = true; }, "-wnd=1234abcd"), ExitLostParent);
  EXPECT_FALSE(called);
}

TEST_F(TShellTest, StandInsShowTheWindowAndKeepTheStatisticsFlag) {
  Run(
      [&](TPlatform* platform) {
        ASSERT_NE(platform->GetDisplayHandler(), nullptr);
        EXPECT_FALSE(platform->IsDisplayReady());
        platform->InitDisplay(320, 240, false);
        EXPECT_TRUE(platform->IsDisplayReady());
        EXPECT_TRUE(platform->GetMainWindow()->IsShown());
        int32_t width = 0, height = 0;
        platform->GetMainWindow()->GetClientSize(width, height);
        EXPECT_EQ(width, 320);
        EXPECT_EQ(height, 240);
        auto* renderer = dynamic_cast<TStatsOnlyRenderer*>(platform->GetRenderer());
        ASSERT_NE(renderer, nullptr);
        EXPECT_FALSE(renderer->IsStatsOn());
        EXPECT_FALSE(renderer->CaptureFrame("frame.png"));
        // Stepping with the stand-ins only runs the loop.
        Drain(platform);
      },
      "", false);
}
