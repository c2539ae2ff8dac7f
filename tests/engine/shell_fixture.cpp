#include "shell_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/directory_iterator.h"
#include "platform/settings.h"

TFakeDisplay::~TFakeDisplay() {
  mRecord.displayDestroyed = true;
  mRecord.cursorThreadAliveAtDisplayDeath = GetPlatform() && GetPlatform()->IsCursorThreadRunning();
}

TPoint TFakeDisplay::UpdateCursor(int32_t x, int32_t y) {
  ++mRecord.cursorUpdates;
  return TPoint(x, y);
}

TFakeWindowManager::~TFakeWindowManager() {
  mRecord.windowManagerDestroyed = true;
  mRecord.cursorThreadAliveAtWindowManagerDeath = GetPlatform() && GetPlatform()->IsCursorThreadRunning();
}

void TShellTest::SetUp() {
  ResetPlatformState();
  mOldDir = GetCurrentDir();
  std::filesystem::create_directories((mRoot / "home").c_str());
  std::filesystem::create_directories((mRoot / "desktop").c_str());
  setenv("XDG_DATA_HOME", (mRoot / "xdg").c_str(), 1);
  setenv("HOME", (mRoot / "home").c_str(), 1);
  setenv("XDG_DESKTOP_DIR", (mRoot / "desktop").c_str(), 1);
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
}

void TShellTest::TearDown() {
  ResetPlatformState();
  if (chdir(mOldDir.c_str()) != 0) ADD_FAILURE() << "cannot return to " << mOldDir.c_str();
}

int TShellTest::Run(std::function<void(TPlatform*)> gameMain, const char* commandLine, bool withFakes) {
  SetConfig("gamename", "ShellTest");
  SetConfig("publisher", "TestPub");
  TEngineStart start;
  start.commandLine = commandLine;
  start.gameMain = std::move(gameMain);
  start.version.productName = "ShellTest";
  start.version.internalName = "shelltest";
  start.version.fileVersion[0] = 1;
  start.version.fileVersion[1] = 2;
  start.version.fileVersion[2] = 3;
  start.version.fileVersion[3] = 4;
  if (withFakes) {
    start.makeDisplayHandler = [this] { return std::make_unique<TFakeDisplay>(mRecord); };
    start.makeWindowManager = [this] { return std::make_unique<TFakeWindowManager>(mRecord); };
    start.makeRenderer = [this] { return std::make_unique<TFakeRenderer>(mRecord); };
  }
  return RunEngine(std::move(start));
}

TEvents Drain(TPlatform* platform, int maxSteps) {
  TEvents events;
  for (int i = 0; i < maxSteps; ++i) {
    TPlatformEvent event;
    platform->ProcessEvents(event);
    if (event.type == EventIdle) break;
    events.push_back(event);
  }
  return events;
}

TEvents DrainInput(TPlatform* platform) {
  TEvents events;
  for (const TPlatformEvent& event : Drain(platform)) {
    if (event.type != EventNothing) events.push_back(event);
  }
  return events;
}
