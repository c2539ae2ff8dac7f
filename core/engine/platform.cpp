#include "engine/platform.h"

#include <cstdio>

#include "engine/engine_entry.h"
#include "engine/frame_probe.h"
#include "engine/platform_impl.h"
#include "graphics/texture.h"
#include "engine/platform_host_link.h"
#include "host/game_state.h"
#include "host/host_platform.h"
#include "host/portal.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/os/clipboard.h"
#include "platform/os/os_clock.h"
#include "platform/os/url_opener.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "script/script_code.h"
#include "sound/ogg_data_source.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"

namespace {
TPlatform* gPlatform = nullptr;
}

TPlatform* GetPlatform() { return gPlatform; }

uint32_t ReadScreenSide(const char* key, uint32_t fallback) {
  TString text = GetConfig(key);
  if (text.IsEmpty()) return fallback;
  int side = text.ToInt();
  if (side >= 1 && uint32_t(side) <= MaxScreenSide) return uint32_t(side);
  LogPrintf("The setting %s is %s, not a size from 1 to %u: %u is used.", key, text.c_str(), MaxScreenSide, fallback);
  return fallback;
}

TPlatform::TPlatform(std::unique_ptr<TPlatformImpl> impl) : mImpl(std::move(impl)) {
  TPlatformImpl& p = *mImpl;
  gPlatform = this;
  SetSettingChangedHook([this](const TString& key, const TString& value) { OnSettingChanged(key, value); });
  SetConfig("memorymax", "100000000");
  SetConfig("texturememorymax", "100000000");
  ApplyEarlyCommandLine(p.mCommandLine);
  ReseedAtStartup(p.mRandom);
  p.WindowManager().InitScript();
  SetConfig("computerid", MakeComputerId());
  LoadSettingsFile("::assets/settings.xml");
  TString desktop = p.mDesktopDir;
  if (desktop.Length() > 1 && desktop.CharAt(desktop.Length() - 1) == '/') desktop.Erase(desktop.Length() - 1, 1);
  SetDataFolders(p.mUserDir, p.mCommonDir, desktop);
  InitAssetFolders();
  if (LoadStringTables(*p.mStringTable)) p.WindowManager().SetScriptFlag(true);
  SetConfig("buildtag", p.mInternalName);
  LogPrintf("%s, version %s.", p.mGameName.c_str(), p.mVersion.c_str());
  SetConfig("gamename", p.mGameName);
  SetConfig("version", p.mVersion);
  RegisterOggDataSource();
  RegisterSoundAssetLoaders();
  RegisterScriptAssetLoaders();
  SetHostPlatform(&PlatformHostLink());
  GetGameState();
}

TPlatform::~TPlatform() {
  TPlatformImpl& p = *mImpl;
  // The cursor thread uses the window manager and the display handler: it stops first.
  p.StopCursorThread();
  p.DestroyWindowManager();
  p.mSoundManager.reset();
  p.DestroyDisplay();
  SetSettingChangedHook(nullptr);
  gPlatform = nullptr;
  DeleteGameState();
  ResetPortalModes();
  SetHostPlatform(nullptr);
  mImpl.reset();
  mRestoreTasks.Clear();
  ClearConfig();
  ClearFileMap();
  SetDataFolders(TString(), TString(), TString());
}

uint32_t TPlatform::GetTimer() const { return ::GetTimer(); }
void TPlatform::Sleep(uint32_t ms) const { OsSleep(ms); }
void TPlatform::PostQuit(int32_t code) { TOsMessageQueue::PostQuit(code); }

IWindowManager* TPlatform::GetWindowManager() const { return mImpl->mWindowManager.get(); }
TAssetManager* TPlatform::GetAssetManager() const { return mImpl->mAssetManager.get(); }
TStringTable* TPlatform::GetStringTable() const { return mImpl->mStringTable.get(); }
TSoundManager* TPlatform::GetSoundManager() const {
  return mImpl->mSoundManager ? mImpl->mSoundManager.get() : ::GetSoundManager();
}
IDisplayHandler* TPlatform::GetDisplayHandler() const { return mImpl->mDisplayHandler.get(); }
IRenderer* TPlatform::GetRenderer() const { return mImpl->mRenderer.get(); }
TOsWindow* TPlatform::GetMainWindow() const { return mImpl->mMainWindow.get(); }

TTaskList& TPlatform::GetTaskList() { return mImpl->mFrameTasks; }
TTask* TPlatform::AddTask(std::unique_ptr<TTask> task) { return mImpl->mFrameTasks.AddTask(std::move(task)); }
std::unique_ptr<TTask> TPlatform::RemoveTask(TTask* task) { return mImpl->mFrameTasks.RemoveTask(task); }
TTaskList& TPlatform::GetRestoreTaskList() { return mRestoreTasks; }
TTask* TPlatform::AddRestoreTask(std::unique_ptr<TTask> task) { return mRestoreTasks.AddTask(std::move(task)); }

uint32_t TPlatform::GetRandom() { return mImpl->mRandom.GenRand(); }
TString TPlatform::GetGameName() const { return mImpl->mGameName; }
TString TPlatform::GetVersion() const { return mImpl->mVersion; }

void TPlatform::SetWindowTitle(const TString& title) {
  if (mImpl->mMainWindow) mImpl->mMainWindow->SetTitle(title.ToStd());
}

bool TPlatform::HasFocus() const { return mImpl->mQueue->HasFocus(); }

bool TPlatform::IsFullScreen() const {
  if (IsExternalPlayerMode()) return mImpl->mExternalFullScreen;
  return mImpl->mDisplayHandler && mImpl->Display().IsFullscreen();
}

bool TPlatform::SetFullScreen(bool fullScreen) {
  if (IsExternalPlayerMode()) {
    // The host player window switches; the game only remembers what it asked for.
    mImpl->mExternalFullScreen = fullScreen;
    return true;
  }
  return mImpl->mDisplayHandler && mImpl->Display().SetFullscreen(fullScreen);
}

void TPlatform::GetScreenMode(uint32_t& width, uint32_t& height, bool& fullScreen) const {
  width = height = 0;
  fullScreen = false;
  if (mImpl->mDisplayHandler) mImpl->Display().GetDisplayMode(width, height, fullScreen);
  if (IsExternalPlayerMode()) fullScreen = mImpl->mExternalFullScreen;
}

bool TPlatform::IsDisplayReady() const { return mImpl->mDisplayHandler && mImpl->Display().IsDisplayReady(); }
bool TPlatform::IsFrameDone() const { return !mImpl->mDisplayHandler || mImpl->Display().IsFrameDone(); }

void TPlatform::ReportOutOfVideoMemory() {
  if (mImpl->mDisplayHandler) mImpl->Display().OnOutOfVideoMemory();
}

bool TPlatform::InitDisplay(uint32_t width, uint32_t height, bool fullScreen) {
  TPlatformImpl& p = *mImpl;
  p.WindowManager().EnsureScreen(width, height);
  if (IsExternalPlayerMode()) {
    // The game always runs in a window inside the host player, which goes full screen itself.
    p.mExternalFullScreen = fullScreen;
    fullScreen = false;
  }
  p.mViewportScale = 1.0f;
  if (p.mEmbedded && p.mMainWindow && width > 0) {
    int32_t clientWidth = 0, clientHeight = 0;
    p.mMainWindow->GetClientSize(clientWidth, clientHeight);
    p.mViewportScale = float(clientWidth) / float(width);
    fullScreen = false;
  }
  p.Display().SetDisplay(width, height, fullScreen, false, false, p.mExternalParent != 0);
  if (p.Display().HasFailedForGood()) {
    QuitForFailedDisplay();
    return false;
  }
  bool firstStart = !p.mDisplayStarted;
  p.mDisplayStarted = true;
  p.Renderer().OnDisplayStarted(width, height, firstStart);
  return true;
}

void TPlatform::QuitForFailedDisplay() {
  if (mExitCode == ExitNoDisplay) return;
  mExitCode = ExitNoDisplay;
  LogPrintf("The display could not be set up: the game ends.");
  TString log = GetLogPath();
  fprintf(stderr, "%s: the display could not be set up (%s).\n", mImpl->mGameName.c_str(),
          log.IsEmpty() ? "nothing was logged" : ("see " + log).c_str());
  PostQuit(ExitNoDisplay);
}

void TPlatform::NotifyDisplayChanged() { mImpl->mDisplayChangedPending = true; }

void TPlatform::SetMousePosition(TPoint point) {
  // The point is the engine's; a scaled display shows it at the scaled place of the window.
  float scale = mImpl->mViewportScale;
  if (mImpl->mMainWindow)
    mImpl->mMainWindow->WarpPointer(int32_t(float(point.x) * scale), int32_t(float(point.y) * scale));
}

void TPlatform::SetCursorVisible(bool visible) {
  if (visible == mImpl->mCursorShown) return;
  mImpl->mCursorShown = visible;
  if (mImpl->mDisplayHandler) mImpl->Display().SetHardwareCursor(visible);
}

void TPlatform::SetCursor(const std::shared_ptr<TTexture>& texture, int32_t hotX, int32_t hotY, bool hardware) {
  if (mImpl->mDisplayHandler) mImpl->Display().SetCursor(texture, hotX, hotY, hardware);
}

bool TPlatform::IsCursorVisible() const { return mImpl->mCursorShown; }
int32_t TPlatform::GetMouseMode() const { return mImpl->mMouseMode; }

void TPlatform::SetMouseMode(int32_t mode) {
  TPlatformImpl& p = *mImpl;
  p.mMouseMode = mode;
  if (mode != MouseRelative) return;
  p.mAnchorWindow = TPoint(p.mQueue->PointerX(), p.mQueue->PointerY());
  p.mAnchorEngine = p.mDisplayHandler ? p.Display().WindowToEngine(p.mAnchorWindow) : p.mAnchorWindow;
}

float TPlatform::GetViewportScale() const { return mImpl->mViewportScale; }

TString TPlatform::GetClipboardString() const { return TString(GetClipboardText()); }
bool TPlatform::SetClipboardString(const TString& text) { return SetClipboardText(text.ToStd()); }

bool TPlatform::OpenUrl(const TString& url) {
  if (!IsOpenableUrl(url.ToStd())) {
    LogPrintf("OpenUrl refused: %s", url.c_str());
    return false;
  }
  // Embedded in a host page, the host names the program that opens pages.
  TString host = mImpl->mEmbedded ? mImpl->mCommandLine.WordAfter("-host=", 6) : TString();
  return host.IsEmpty() ? ::OpenUrl(url.ToStd()) : LaunchProgram(host.ToStd(), url.ToStd());
}

void TPlatform::OnSettingChanged(const TString& key, const TString& value) {
  if (key == "vsync") {
    if (mImpl->mDisplayHandler) mImpl->Display().SetVSync(value.ToInt() != 0);
  } else if (key == "viewportscale") {
    mImpl->mViewportScale = value.ToFloat();
  }
}

bool TPlatform::IsActive() const { return mImpl->mActive; }
bool TPlatform::IsMinimized() const { return mImpl->mMinimized; }
bool TPlatform::IsCursorThreadRunning() const { return mImpl->IsCursorThreadRunning(); }

void TPlatform::SetEventObserver(std::function<void(const TPlatformEvent&)> observer) {
  mEventObserver = std::move(observer);
}

void TPlatform::SetIdleStepObserver(std::function<void()> observer) { mIdleStepObserver = std::move(observer); }

void TPlatform::ProcessEvents(TPlatformEvent& event) {
  TFrameProbe* probe = TFrameProbe::Get();
  if (probe) probe->NextEventAsked(GetTimer());
  Step(event);
  if (mEventObserver) mEventObserver(event);
  if (probe) probe->EventTaken(event.type == EventIdle);
}
