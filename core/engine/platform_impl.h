#pragma once
// TPlatformImpl: the engine's start-up record, one per process, owned by TPlatform. Its
// constructor is the application start (managers, program folders, single-instance lock,
// names, cursor thread); the event-loop step and the window procedure share its flags.
// Main thread only, except where a member says otherwise.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "engine/cursor_thread.h"
#include "engine/engine_entry.h"
#include "graphics/display/i_display_handler.h"
#include "graphics/i_renderer.h"
#include "platform/asset.h"
#include "platform/command_line.h"
#include "platform/engine_string.h"
#include "platform/os/host_channel.h"
#include "platform/os/instance_lock.h"
#include "platform/os/message_queue.h"
#include "platform/os/os_window.h"
#include "platform/point.h"
#include "platform/random.h"
#include "platform/string_table.h"
#include "platform/task_list.h"
#include "windows/i_window_manager.h"

class TSoundManager;

class TPlatformImpl {
 public:
  // The application start. When another instance holds the lock, nothing else is made:
  // IsAnotherInstanceRunning answers true and the engine exits.
  TPlatformImpl(const TCommandLine& commandLine, bool allowMultiple, const TVersionResource& version,
                const std::function<std::unique_ptr<IWindowManager>()>& makeWindowManager);
  ~TPlatformImpl();
  TPlatformImpl(const TPlatformImpl&) = delete;
  TPlatformImpl& operator=(const TPlatformImpl&) = delete;

  bool IsAnotherInstanceRunning() const { return mAnotherInstance; }
  bool IsCursorThreadRunning() const { return mCursorThread.IsRunning(); }

  // Fills the data folders (unless embedded without "-pq=") and follows "-wd=".
  void SetDataFolders();
  // The parts made after the main window; each publishes itself to the cursor thread.
  void SetDisplayHandler(std::unique_ptr<IDisplayHandler> display);
  void SetRenderer(std::unique_ptr<IRenderer> renderer);
  // Stops and joins the cursor thread; the teardown calls it before anything the thread uses goes.
  void StopCursorThread() { mCursorThread.Stop(); }
  // The teardown of the managers, in order; the cursor thread must be stopped first.
  void DestroyWindowManager();
  void DestroyDisplay();

  IWindowManager& WindowManager() { return *mWindowManager; }
  IDisplayHandler& Display() { return *mDisplayHandler; }
  IRenderer& Renderer() { return *mRenderer; }

  TCommandLine mCommandLine;
  bool mEmbedded = false;
  bool mAxTest = false;
  // Read by the display handler on the cursor thread too.
  std::atomic<float> mViewportScale{1.0f};
  bool mWideWindow = false;

  TString mProgramFile;   // full path of the executable
  TString mProgramDir;    // its folder, with a final "/"
  TString mAssetsDir;     // mProgramDir + "assets/"
  TString mStartupDir;    // the current folder at start
  TString mUserDir, mCommonDir, mDesktopDir;
  TString mLockPath;      // the single-instance lock file (empty: none)
  uint32_t mStartTime = 0;

  TString mGameName, mVersion, mInternalName;

  std::unique_ptr<IWindowManager> mWindowManager;
  std::unique_ptr<TAssetManager> mAssetManager;
  std::unique_ptr<TStringTable> mStringTable;
  std::unique_ptr<TSoundManager> mSoundManager;
  std::unique_ptr<IDisplayHandler> mDisplayHandler;
  std::unique_ptr<IRenderer> mRenderer;
  TRandom mRandom;
  TTaskList mFrameTasks;

  std::unique_ptr<TOsMessageQueue> mQueue;
  std::unique_ptr<TOsWindow> mMainWindow;
  uintptr_t mExternalParent = 0;
  // "-wnd=": the line to the hosting page (null without one).
  std::unique_ptr<THostChannel> mHostChannel;

  // Event-loop state: set by the window procedure, reported by the event step.
  bool mActive = false;
  bool mActivationPending = false;
  bool mAppActivated = false;
  bool mAppActivationPending = false;
  bool mMinimized = false;
  bool mHidden = false;
  bool mClosePending = false;
  bool mRedrawPending = false;
  bool mDisplayChangedPending = false;
  bool mMouseLeftPending = false;
  bool mHoverArmed = false;
  bool mLeaveArmed = false;
  bool mFocusRegained = false;
  uint32_t mFocusRegainTime = 0;
  int32_t mMouseMode = 0;
  TPoint mAnchorWindow, mAnchorEngine;
  uint32_t mPendingHighSurrogate = 0;
  bool mCursorShown = true;
  bool mRestoredLastStep = false;
  bool mExternalFullScreen = false;
  bool mDisplayStarted = false;
  intptr_t mQuitTarget = 0;

 private:
  bool CursorPoll();

  bool mAnotherInstance = false;
  TInstanceLock mInstanceLock;
  // Links read by the cursor thread: published after the part is made, cleared before it goes.
  std::atomic<IWindowManager*> mWindowManagerLink{nullptr};
  std::atomic<IDisplayHandler*> mDisplayLink{nullptr};
  TCursorThread mCursorThread;
};

// The command line of the running engine, kept process-wide by the start-up record.
void SetEngineCommandLine(const TString& text);
