#pragma once
// IWindowManager: what the platform shell asks of the window manager (TWindowManager of
// the window system implements it). The platform owns the one instance: RunEngine makes it
// through TEngineStart::makeWindowManager in the start-up record, before any other manager,
// and the teardown deletes it first (after the cursor thread has been joined). Without a
// factory the platform uses a stand-in that does nothing.

#include <cstdint>

struct TPlatformEvent;

class IWindowManager {
 public:
  virtual ~IWindowManager() = default;

  // Platform constructor: make the UI script and bind it (TWindowManager::Init).
  virtual void InitScript() = 0;
  // "strings.xml" loaded: the UI script's flag; answers the previous value.
  virtual bool SetScriptFlag(bool on) = 0;

  // Read by the cursor thread too, so the implementation keeps it in an atomic: while a
  // movie is open nothing is redrawn and the cursor is left alone.
  virtual bool IsDrawSuspended() const = 0;
  // While set, every mouse button and wheel message becomes a nothing event.
  virtual bool IsMovieInput() const = 0;
  // The close request: closes a playing movie of the UI script, when there is a script.
  virtual void CloseMovie() = 0;
  // A paint message: the screen needs a redraw.
  virtual void Invalidate() = 0;
  // Display start: make the root screen window sized width x height when there is none.
  virtual void EnsureScreen(uint32_t width, uint32_t height) = 0;

  // The game's main loop hands it every event.
  virtual void HandleEvent(const TPlatformEvent& event) = 0;
};
