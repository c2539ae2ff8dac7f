#pragma once
// A fixture that runs the whole engine (RunEngine) headless: data folders under a
// temporary folder, the SDL dummy drivers, recording fakes behind the display-handler,
// window-manager and renderer seams, and helpers that step the event loop.

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "graphics/display/i_display_handler.h"
#include "graphics/i_renderer.h"
#include "platform/test_util.h"
#include "windows/i_window_manager.h"

// What the fakes saw; it outlives the engine so tests can look after teardown.
struct TFakeRecord {
  // Display handler.
  int displaysMade = 0;
  bool deviceReady = true;
  std::atomic<bool> displayActive{false};
  std::atomic<int> cursorUpdates{0};
  int restores = 0;
  int windowsCursorCalls = 0;
  int windowMoves = 0;
  int workingCountResets = 0;
  bool fullScreen = false;
  std::vector<bool> vsync;
  bool displayDestroyed = false;
  bool cursorThreadAliveAtDisplayDeath = true;
  // Window manager.
  int invalidates = 0;
  int closeMovies = 0;
  bool scriptFlag = false;
  std::atomic<bool> drawSuspended{false};
  bool movieInput = false;
  bool windowManagerDestroyed = false;
  bool cursorThreadAliveAtWindowManagerDeath = true;
  // Renderer.
  int statsToggles = 0;
  bool rendererDestroyedBeforeDisplay = false;
};

class TFakeDisplay : public IDisplayHandler {
 public:
  explicit TFakeDisplay(TFakeRecord& record) : mRecord(record) { ++mRecord.displaysMade; }
  ~TFakeDisplay() override;
  bool IsActive() const override { return mRecord.displayActive; }
  TPoint UpdateCursor(int32_t x, int32_t y) override;
  TPoint WindowToEngine(TPoint point) const override { return TPoint(point.x * 2, point.y * 2); }
  void RefreshCursor() override {}
  void OnWindowMoved() override { ++mRecord.windowMoves; }
  bool SetWindowsCursor() override {
    ++mRecord.windowsCursorCalls;
    return true;
  }
  void SetHardwareCursor(bool on) override {}
  bool IsDeviceReady() override { return mRecord.deviceReady; }
  void Restore() override { ++mRecord.restores; }
  void ResetWorkingCount() override { ++mRecord.workingCountResets; }
  bool IsDisplayReady() const override { return true; }
  bool IsFrameDone() override { return true; }
  void OnOutOfVideoMemory() override {}
  void SetDisplay(uint32_t, uint32_t, bool fullScreen, bool, bool, bool) override { mRecord.fullScreen = fullScreen; }
  bool SetFullscreen(bool fullScreen) override {
    mRecord.fullScreen = fullScreen;
    return true;
  }
  bool IsFullscreen() const override { return mRecord.fullScreen; }
  void GetDisplayMode(uint32_t& w, uint32_t& h, bool& full) const override {
    w = 800;
    h = 600;
    full = mRecord.fullScreen;
  }
  void UpdateDesktopMode(int32_t, int32_t, int32_t) override {}
  void SetVSync(bool on) override { mRecord.vsync.push_back(on); }

 private:
  TFakeRecord& mRecord;
};

class TFakeWindowManager : public IWindowManager {
 public:
  explicit TFakeWindowManager(TFakeRecord& record) : mRecord(record) {}
  ~TFakeWindowManager() override;
  void InitScript() override {}
  bool SetScriptFlag(bool on) override {
    bool previous = mRecord.scriptFlag;
    mRecord.scriptFlag = on;
    return previous;
  }
  bool IsDrawSuspended() const override { return mRecord.drawSuspended; }
  bool IsMovieInput() const override { return mRecord.movieInput; }
  void CloseMovie() override { ++mRecord.closeMovies; }
  void Invalidate() override { ++mRecord.invalidates; }
  void EnsureScreen(uint32_t, uint32_t) override {}
  void HandleEvent(const TPlatformEvent&) override {}

 private:
  TFakeRecord& mRecord;
};

class TFakeRenderer : public IRenderer {
 public:
  explicit TFakeRenderer(TFakeRecord& record) : mRecord(record) {}
  ~TFakeRenderer() override { mRecord.rendererDestroyedBeforeDisplay = !mRecord.displayDestroyed; }
  bool ToggleStats() override { return ++mRecord.statsToggles % 2 == 0; }
  void OnDisplayStarted(uint32_t, uint32_t, bool) override {}
  bool CaptureFrame(const TString&) override { return false; }

 private:
  TFakeRecord& mRecord;
};

inline bool operator==(const TPlatformEvent& a, const TPlatformEvent& b) {
  return a.type == b.type && a.code == b.code && a.x == b.x && a.y == b.y && a.extra == b.extra;
}
inline std::ostream& operator<<(std::ostream& out, const TPlatformEvent& e) {
  return out << "{type " << e.type << ", code " << e.code << ", " << e.x << ", " << e.y << ", extra " << e.extra << "}";
}

using TEvents = std::vector<TPlatformEvent>;

class TShellTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the engine with the fakes (unless withFakes is false) and the given main function.
  int Run(std::function<void(TPlatform*)> gameMain, const char* commandLine = "", bool withFakes = true);

  TString UserFolder() const { return mRoot / "xdg/TestPub/ShellTest"; }

  TTempFolder mRoot;
  TString mOldDir;
  TFakeRecord mRecord;
};

// Steps until an idle event and answers every other event on the way.
TEvents Drain(TPlatform* platform, int maxSteps = 500);
// The same without the nothing events.
TEvents DrainInput(TPlatform* platform);
