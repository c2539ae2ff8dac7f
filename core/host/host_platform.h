#pragma once
// IHostPlatform: what the host integration asks of the platform object, which lives in the
// engine above it. The engine installs its answer for as long as the platform exists; before
// and after, and in tests that install nothing, an inert stand-in answers (no cursor, no
// window, nothing opens). Tests install a recording fake.
//
// Main thread only.

#include <cstdint>

#include "platform/engine_string.h"

class IHostPlatform {
 public:
  virtual ~IHostPlatform() = default;

  // "-pq=": the game runs inside an external player window.
  virtual bool IsExternalPlayerMode() { return false; }
  // Lets the mouse go when the game holds it captured.
  virtual void ReleaseMouseCapture() {}

  // The engine's own cursor.
  virtual bool IsCursorVisible() { return false; }
  virtual void SetCursorVisible(bool visible) {}
  // The system's arrow stands in for the engine's cursor (while the host holds the game, or
  // over an interactive movie).
  virtual void ShowArrowCursor() {}
  // The engine's cursor image comes back (after ShowArrowCursor).
  virtual void RestoreGameCursor() {}
  // The display handler forgets what it knows of the drawn cursor.
  virtual void ForgetDrawnCursor() {}

  // The main window's client area.
  virtual void GetClientSize(int32_t& width, int32_t& height) { width = height = 0; }
  virtual void SetClientSize(int32_t width, int32_t height) {}
  virtual bool IsFullScreen() { return false; }
  // Run in a host page ("-wnd=").
  virtual bool IsEmbedded() { return false; }
  virtual bool IsActive() { return false; }

  // Opens a web address in the browser; false when it is refused.
  virtual bool OpenUrl(const TString& url) { return false; }
};

// The installed platform answer, or the inert stand-in; never null.
IHostPlatform& GetHostPlatform();
// Installs a non-owning link (null: back to the stand-in); the installer keeps it alive
// until it installs null again.
void SetHostPlatform(IHostPlatform* platform);
