#include "engine/platform_impl.h"

#include <unistd.h>

#include <cstdio>

#include "engine/engine_stand_ins.h"
#include "engine/window_only_display.h"
#include "host/portal.h"
#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/os/input_injection.h"
#include "platform/os/os_clock.h"
#include "platform/os/program_path.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "sound/sound_manager.h"

namespace {

TString gEngineCommandLine;
uint32_t gStartTime = 0;

// The engine timer counts from the start, less the time a portal host held the game.
uint32_t EngineTimer() { return OsMilliseconds() - gStartTime - GetPortalStateWord(); }

// The lock's name: the program path lower-cased without separators, as two installed
// copies of the game may run side by side. A very long path keeps its tail and a hash of
// the whole, so that the name stays a valid file name.
TString InstanceStem(const TString& programFile) {
  TString stem;
  for (uint32_t i = 0; i < programFile.Length(); ++i) {
    char c = programFile.CharAt(i);
    if (c == '/' || c == ':') continue;
    stem += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  constexpr uint32_t MaxStem = 180;
  if (stem.Length() <= MaxStem) return stem;
  uint32_t hash = 2166136261u;
  for (uint32_t i = 0; i < stem.Length(); ++i) hash = (hash ^ uint8_t(stem.CharAt(i))) * 16777619u;
  return TString::Printf("%08x", hash) + stem.Substr(stem.Length() - MaxStem);
}

TString WithoutFinalSlash(TString path) {
  if (path.Length() > 1 && path.CharAt(path.Length() - 1) == '/') path.Erase(path.Length() - 1, 1);
  return path;
}

TString SkipLeadingBlanks(const TString& text) {
  uint32_t at = 0;
  while (at < text.Length() && (text.CharAt(at) == ' ' || text.CharAt(at) == '\t')) ++at;
  return text.Substr(at);
}

}  // namespace

void SetEngineCommandLine(const TString& text) { gEngineCommandLine = text; }
TString GetEngineCommandLine() { return gEngineCommandLine; }
bool IsExternalPlayerMode() { return gEngineCommandLine.Find("-pq=") >= 0; }

TPlatformImpl::TPlatformImpl(const TCommandLine& commandLine, bool allowMultiple, const TVersionResource& version,
                             const std::function<std::unique_ptr<IWindowManager>()>& makeWindowManager)
    : mCommandLine(commandLine) {
  mWideWindow = IsEnabled("utf8mode");
  SetEngineCommandLine(commandLine.Text());
  mQueue = std::make_unique<TOsMessageQueue>();

  if (makeWindowManager) mWindowManager = makeWindowManager();
  if (!mWindowManager) mWindowManager = std::make_unique<TNullWindowManager>();
  mAssetManager = std::make_unique<TAssetManager>();
  SetAssetManager(mAssetManager.get());
  mStringTable = std::make_unique<TStringTable>();
  SetStringTable(mStringTable.get());

  mProgramFile = GetProgramFile();
  mProgramDir = FolderOfPath(mProgramFile.ToStd());
  mStartupDir = GetCurrentDir();
  if (chdir(mProgramDir.c_str()) != 0) fprintf(stderr, "Cannot enter the program folder %s\n", mProgramDir.c_str());

  // The names come before the lock, which lives in the data folder named after the game.
  TString product = SkipLeadingBlanks(version.productName);
  if (!product.IsEmpty()) {
    const uint16_t* v = version.fileVersion;
    mVersion = TString::Printf("%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
    mGameName = GetConfig("gamename", product);
    mInternalName = version.internalName;
  }
  if (mGameName.IsEmpty()) mGameName = GetConfig("gamename", "Larkspan Application");

  if (!allowMultiple) {
    TString folder = GetDataFolder(false, mGameName);
    if (!folder.IsEmpty()) {
      mLockPath = folder + "/" + InstanceStem(mProgramFile) + "_MUTEX";
      TInstanceLock::TResult result = mInstanceLock.Acquire(mLockPath.ToStd());
      if (result == TInstanceLock::TResult::HeldElsewhere) {
        mAnotherInstance = true;
        return;
      }
      if (result == TInstanceLock::TResult::Failed)
        fprintf(stderr, "Cannot take the single-instance lock %s; starting anyway\n", mLockPath.c_str());
    }
  }

  mAssetsDir = mProgramDir + "assets/";
  SetAssetFolder(mProgramDir + "assets");
  mStartTime = OsMilliseconds();
  gStartTime = mStartTime;
  SetTimerSource(&EngineTimer);
  mUserDir = mCommonDir = mDesktopDir = mProgramDir;

  mWindowManagerLink = mWindowManager.get();
  mCursorThread.Start([this] { return CursorPoll(); });
}

TPlatformImpl::~TPlatformImpl() {
  StopCursorThread();
  DestroyWindowManager();
  mSoundManager.reset();
  DestroyDisplay();
  if (GetStringTable() == mStringTable.get()) SetStringTable(nullptr);
  mStringTable.reset();
  if (GetAssetManager() == mAssetManager.get()) SetAssetManager(nullptr);
  mAssetManager.reset();
  if (mMainWindow) {
    mMainWindow->SetUserData(nullptr);
    mQueue->AttachWindow(nullptr);
    SetInjectionWindow(nullptr);
    mMainWindow.reset();
  }
  mFrameTasks.Clear();
  mQueue.reset();
  mInstanceLock.Release();
  SetTimerSource(nullptr);
  SetAssetFolder("assets");
  SetEngineCommandLine(TString());
}

bool TPlatformImpl::CursorPoll() {
  IDisplayHandler* display = mDisplayLink.load();
  IWindowManager* windows = mWindowManagerLink.load();
  if (!display || !windows || windows->IsDrawSuspended() || !display->IsActive()) return false;
  return display->UpdateCursor(-1, -1).x != -1;
}

void TPlatformImpl::SetDataFolders() {
  if (!mEmbedded || mCommandLine.Has("-pq=")) {
    TString user = GetDataFolder(false, mGameName);
    if (!user.IsEmpty()) mUserDir = user;
    TString common = GetDataFolder(true, mGameName);
    mCommonDir = common.IsEmpty() ? mUserDir : common;
    TString desktop = GetDesktopPath();
    mDesktopDir = desktop.IsEmpty() ? mUserDir : desktop;
  }
  mUserDir = WithoutFinalSlash(mUserDir);
  mCommonDir = WithoutFinalSlash(mCommonDir);
  TString folder = mCommandLine.WorkingFolder();
  if (mCommandLine.Has("-wd=") && !folder.IsEmpty()) {
    LogPrintf("Switching current directory to: %s", folder.c_str());
    if (chdir(folder.c_str()) != 0) LogPrintf("Cannot switch to %s", folder.c_str());
  }
}

void TPlatformImpl::SetDisplayHandler(std::unique_ptr<IDisplayHandler> display) {
  if (!display) display = std::make_unique<TWindowOnlyDisplay>(mMainWindow.get());
  // The cursor thread may be inside the old handler: it pauses while the handler changes.
  bool running = mCursorThread.IsRunning();
  mCursorThread.Stop();
  mDisplayLink = nullptr;
  mDisplayHandler = std::move(display);
  mDisplayLink = mDisplayHandler.get();
  if (running) mCursorThread.Start([this] { return CursorPoll(); });
}

void TPlatformImpl::SetRenderer(std::unique_ptr<IRenderer> renderer) {
  mRenderer = renderer ? std::move(renderer) : std::make_unique<TStatsOnlyRenderer>();
}

void TPlatformImpl::DestroyWindowManager() {
  mWindowManagerLink = nullptr;
  mWindowManager.reset();
}

void TPlatformImpl::DestroyDisplay() {
  // The renderer holds on to the display handler: it goes first.
  mRenderer.reset();
  mDisplayLink = nullptr;
  mDisplayHandler.reset();
}
