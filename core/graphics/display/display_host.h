#pragma once
// What the display handler needs of the platform around it: the window's presenter, the
// activity and focus of the program, the embedding and portal modes, the view scales, the
// window manager's redraw, message boxes and process exit. The platform installs its own
// host at start-up; until then (and in tests that need nothing more) an inert host
// answers: active, focused, not embedded, no presenter.

#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "platform/task_list.h"

class TPresenter;

enum class TMessageBoxIcon { None, Exclamation, Stop };

class IDisplayHost {
 public:
  virtual ~IDisplayHost() = default;

  // The presenter of the main window (null: frames go nowhere).
  virtual std::shared_ptr<TPresenter> GetPresenter() { return nullptr; }
  // Screen position of the main window's client area.
  virtual void GetWindowOrigin(int32_t& x, int32_t& y) { x = y = 0; }
  // The pointer in client coordinates of the main window; false when unknown.
  virtual bool GetMousePosition(int32_t& x, int32_t& y) { return false; }
  // Shows the main window after a set-up, centred on its monitor when it sits at the
  // screen's top-left corner in a window; brought to the front in full screen.
  virtual void ShowMainWindow(bool fullScreen) {}

  // The game counts as active (the game-active flag, and the window's activation once
  // the first activation message came).
  virtual bool IsGameActive() { return true; }
  // The platform lost activation in full screen and waits to be activated again.
  virtual bool IsSuspended() { return false; }
  // The main window is the foreground window.
  virtual bool HasFocus() { return true; }

  // Embedding and portal modes.
  virtual bool IsEmbeddedControl() { return false; }  // "activex" on, "--axtest" off
  virtual bool HasExternalParent() { return false; }  // "-wnd="
  virtual bool IsExternalParentAlive() { return true; }
  virtual bool IsExternalPlayerMode() { return false; }  // "-pq="
  virtual bool IsZylomPortal() { return false; }

  // The platform's view scale (1.0 unless embedded and scaled).
  virtual float GetViewScale() { return 1.0f; }
  virtual void SetViewScale(float scale) {}
  // Whether a viewport scale is in force, and its factor.
  virtual bool GetViewportScale(float& factor) {
    factor = 1.0f;
    return false;
  }

  // Tells the event step that the display was reset.
  virtual void SetDisplayResetFlag() {}
  // The platform's once-only handling of exhausted video memory; ends in the display
  // handler's OnOutOfVideoMemory (here at once, through the video memory receiver).
  virtual void ReportOutOfVideoMemory();
  // The list of tasks run after the display device was restored.
  virtual void AddRestoreTask(std::unique_ptr<TTask> task);
  virtual void RunRestoreTasks();
  // The cursor-visible flag of the platform.
  virtual bool IsCursorShown() { return true; }
  // From now on the main window has no cursor of its own.
  virtual void ResetClassCursor() {}

  // The window manager: redraw everything at the next frame; whether drawing is
  // suspended (a movie plays); the root screen's rectangle; whether the cursor images
  // must not be rebuilt now.
  virtual void InvalidateWindows() {}
  virtual bool IsDrawSuspended() { return false; }
  virtual bool GetScreenSize(int32_t& width, int32_t& height) { return false; }
  virtual bool IsCursorRestoreBlocked() { return false; }

  virtual void Sleep(uint32_t milliseconds);
  // A message box: owned by the main window or by nobody. Never blocks in tests.
  virtual void ShowMessageBox(const TString& text, const TString& caption, TMessageBoxIcon icon, bool ownedByMain);
  // Ends the process; a test host records the code and returns.
  virtual void ExitProcess(int code);
  // The set-up and its fall-back failed for good: the program is to end.
  virtual void PostQuit() {}

 private:
  TTaskList mRestoreTasks;
};

// The host in force (never null: an inert one until the platform installs its own).
IDisplayHost& DisplayHost();
// The display handler that hears of exhausted video memory from a host that does not
// handle it itself (a non-owning link: the display handler sets itself while it lives).
class IDisplayHandler;
void SetVideoMemoryReceiver(IDisplayHandler* display);
IDisplayHandler* GetVideoMemoryReceiver();
// Installs a host (a non-owning link that must outlive its use); null restores the inert one.
void SetDisplayHost(IDisplayHost* host);
