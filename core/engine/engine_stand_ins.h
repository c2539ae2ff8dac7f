#pragma once
// Stand-ins for the engine parts of later subsystems, so that start-up, the event loop and
// teardown run before those parts exist (and in tests that need none of them).

#include <memory>

#include "graphics/i_renderer.h"
#include "windows/i_window_manager.h"

// A window manager without windows: it draws nothing and takes every event.
class TNullWindowManager : public IWindowManager {
 public:
  void InitScript() override {}
  bool SetScriptFlag(bool on) override;
  bool IsDrawSuspended() const override { return false; }
  bool IsMovieInput() const override { return false; }
  void CloseMovie() override {}
  void Invalidate() override {}
  void EnsureScreen(uint32_t width, uint32_t height) override {}
  void HandleEvent(const TPlatformEvent& event) override {}

 private:
  bool mScriptFlag = false;
};

// A renderer that draws nothing: it keeps the statistics flag and has no frame to capture.
class TStatsOnlyRenderer : public IRenderer {
 public:
  bool ToggleStats() override;
  void OnDisplayStarted(uint32_t width, uint32_t height, bool firstStart) override {}
  bool CaptureFrame(const TString& path) override;
  bool IsStatsOn() const { return mStatsOn; }

 private:
  bool mStatsOn = false;
};
