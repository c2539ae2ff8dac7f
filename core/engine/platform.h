#pragma once
// TPlatform: the engine's single platform object, a facade over the start-up record
// TPlatformImpl. GetPlatform() reaches it from everywhere between RunEngine's start-up and
// teardown. ProcessEvents runs one step of the engine's event loop.
//
// Main thread only, except GetTimer and Sleep.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/engine_string.h"
#include "platform/platform_event.h"
#include "platform/point.h"
#include "platform/task_list.h"

class IDisplayHandler;
class IRenderer;
class IWindowManager;
class TAssetManager;
class TOsWindow;
class TPlatformImpl;
class TSoundManager;
class TStringTable;
class TTexture;

class TPlatform {
 public:
  // The platform constructor of the start-up (settings, asset folders, string tables, the
  // game state); the main window comes after it (CreateMainWindow).
  explicit TPlatform(std::unique_ptr<TPlatformImpl> impl);
  // The teardown: cursor thread first, then the managers, the display, the record.
  ~TPlatform();
  TPlatform(const TPlatform&) = delete;
  TPlatform& operator=(const TPlatform&) = delete;

  // One step of the event loop; always fills the event.
  void ProcessEvents(TPlatformEvent& event);

  // Milliseconds since start, less the time a portal host held the game paused.
  uint32_t GetTimer() const;
  void Sleep(uint32_t ms) const;
  // Posts the quit message; the step that takes it answers EventQuit.
  void PostQuit(int32_t code);

  IWindowManager* GetWindowManager() const;
  TAssetManager* GetAssetManager() const;
  TStringTable* GetStringTable() const;
  TSoundManager* GetSoundManager() const;
  // Never null while the main window exists: the real display handler or the stand-in.
  IDisplayHandler* GetDisplayHandler() const;
  IRenderer* GetRenderer() const;
  // The main window (null before CreateMainWindow and after teardown).
  TOsWindow* GetMainWindow() const;

  TTaskList& GetTaskList();
  TTask* AddTask(std::unique_ptr<TTask> task);
  std::unique_ptr<TTask> RemoveTask(TTask* task);
  TTaskList& GetRestoreTaskList();
  TTask* AddRestoreTask(std::unique_ptr<TTask> task);

  uint32_t GetRandom();
  TString GetGameName() const;
  TString GetVersion() const;
  void SetWindowTitle(const TString& title);
  // Whether the main window has the input focus.
  bool HasFocus() const;

  bool IsFullScreen() const;
  bool SetFullScreen(bool fullScreen);
  void GetScreenMode(uint32_t& width, uint32_t& height, bool& fullScreen) const;
  bool IsDisplayReady() const;
  bool IsFrameDone() const;
  void ReportOutOfVideoMemory();
  // Display start: the screen window, the display mode, the renderer's clip rectangle.
  // False when the display cannot be set up at all (QuitForFailedDisplay has run): the
  // game should end.
  bool InitDisplay(uint32_t width, uint32_t height, bool fullScreen);
  // The display failed for good: one line on the log and on stderr, the exit code
  // ExitNoDisplay and the quit message; only the first call does anything.
  void QuitForFailedDisplay();
  // What RunEngine answers once the game's main has returned: 0 unless a failure set it.
  int GetExitCode() const { return mExitCode; }
  // The display mode was set anew: the next step reports EventDisplayChanged.
  void NotifyDisplayChanged();

  // Moves the pointer to a point of the engine's screen (scaled to the window, so that
  // the next move reports the same point).
  void SetMousePosition(TPoint point);
  // Shows or hides the hardware cursor; nothing when the state is unchanged.
  void SetCursorVisible(bool visible);
  // A cursor image with its hot spot: the hardware cursor's or the drawn cursor's.
  void SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware);
  bool IsCursorVisible() const;
  int32_t GetMouseMode() const;
  // Relative mode anchors the pointer where it is now.
  void SetMouseMode(int32_t mode);
  float GetViewportScale() const;

  TString GetClipboardString() const;
  bool SetClipboardString(const TString& text);
  // Opens an http, https or mailto address with the desktop's handler; false for any
  // other text and when no handler could be started.
  bool OpenUrl(const TString& url);

  // "vsync" and "viewportscale" take effect at once.
  void OnSettingChanged(const TString& key, const TString& value);

  // The window procedure's view of the activation state.
  bool IsActive() const;
  bool IsMinimized() const;
  bool IsCursorThreadRunning() const;

  // Sees every event ProcessEvents fills, after it is filled (the test hook's transcript).
  void SetEventObserver(std::function<void(const TPlatformEvent&)> observer);
  // Called at the start of every idle step, before the frame tasks run: by then the game
  // has handled every event before it (the test hook moves a held timer on here).
  void SetIdleStepObserver(std::function<void()> observer);
  void NotifyIdleStep() const {
    if (mIdleStepObserver) mIdleStepObserver();
  }

  // The start-up record, for the engine's own entry, event step and window procedure.
  TPlatformImpl& Impl() { return *mImpl; }

 private:
  void Step(TPlatformEvent& event);

  std::unique_ptr<TPlatformImpl> mImpl;
  TTaskList mRestoreTasks;
  std::function<void(const TPlatformEvent&)> mEventObserver;
  std::function<void()> mIdleStepObserver;
  int mExitCode = 0;
};

// The platform object, or null before start-up and after teardown.
TPlatform* GetPlatform();

// A side of the display from a setting ("screenwidth", "screenheight"): a whole number of
// pixels from 1 to MaxScreenSide. Any other value logs a line and gives the fallback, as
// an absent setting does quietly.
constexpr uint32_t MaxScreenSide = 16384;
uint32_t ReadScreenSide(const char* key, uint32_t fallback);
