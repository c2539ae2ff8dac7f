#include "engine/display_link.h"

#include "engine/engine_entry.h"
#include "engine/frame_probe.h"
#include "engine/platform.h"
#include "engine/platform_impl.h"
#include "graphics/device/sdl_presenter.h"
#include "graphics/display/cursor_images.h"
#include "graphics/display/platform_data.h"
#include "graphics/display_start.h"
#include "graphics/renderer.h"
#include "graphics/sprites/anim_sprite.h"
#include "host/portal.h"
#include "platform/log.h"
#include "platform/os/os_clock.h"
#include "platform/settings.h"

namespace {

// The display handler with the host it answers to: the host goes with it.
class TLinkedPlatformData : public TPlatformData {
 public:
  explicit TLinkedPlatformData(std::unique_ptr<TPlatformDisplayHost> host) : mHost(std::move(host)) {}
  ~TLinkedPlatformData() override {
    if (&DisplayHost() == mHost.get()) SetDisplayHost(nullptr);
    // The platform's frame tasks go after the display: sprites stop using them first.
    SetSpritePlatform({});
  }

 private:
  std::unique_ptr<TPlatformDisplayHost> mHost;
};

// The platform owns the renderer through this link; the singleton goes with it.
class TRendererLink : public IRenderer {
 public:
  ~TRendererLink() override { TRenderer::DestroyInstance(); }
  bool ToggleStats() override { return TRenderer::GetInstance()->ToggleStats(); }
  void OnDisplayStarted(uint32_t width, uint32_t height, bool firstStart) override {
    FinishDisplayStart(firstStart);
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->PopClipRect();
    renderer->PushClipRect(TRect(0, 0, int32_t(width), int32_t(height)));
  }
  bool CaptureFrame(const TString& path) override { return TRenderer::GetInstance()->CaptureFrame(path); }
};

// Shows, once per event step on the main thread, what the cursor thread moved.
class TCursorMovesTask : public TTask {
 public:
  bool Run() override {
    if (TPlatformData* display = GetPlatformData()) display->ShowCursorMoves();
    return true;
  }
};

// The main window's presenter as the frame probe sees it: each frame shown is noted.
class TProbedPresenter : public TPresenter {
 public:
  TProbedPresenter(std::unique_ptr<TPresenter> presenter, TFrameProbe& probe)
      : mPresenter(std::move(presenter)), mProbe(probe) {}
  bool SetMode(uint32_t width, uint32_t height, bool fullScreen) override {
    return mPresenter->SetMode(width, height, fullScreen);
  }
  void GetClientSize(uint32_t& width, uint32_t& height) const override { mPresenter->GetClientSize(width, height); }
  TDevResult Present(const TPresentFrame& frame, const TCursorOverlay* cursor) override {
    TDevResult result = mPresenter->Present(frame, cursor);
    mProbe.Presented();
    return result;
  }
  TDevResult Refresh(const TCursorOverlay* cursor) override { return mPresenter->Refresh(cursor); }
  void SetVSync(bool on) override { mPresenter->SetVSync(on); }
  void SetHardwareCursor(const TCursorImage* image) override { mPresenter->SetHardwareCursor(image); }

 private:
  std::unique_ptr<TPresenter> mPresenter;
  TFrameProbe& mProbe;
};

}  // namespace

std::shared_ptr<TPresenter> TPlatformDisplayHost::GetPresenter() {
  if (!mPresenter && mPlatform.GetMainWindow()) {
    auto presenter = std::make_unique<TSdlPresenter>(mPlatform.GetMainWindow()->GetSdlWindow());
    if (TFrameProbe* probe = TFrameProbe::Get())
      mPresenter = std::make_shared<TProbedPresenter>(std::move(presenter), *probe);
    else
      mPresenter = std::move(presenter);
  }
  return mPresenter;
}

void TPlatformDisplayHost::GetWindowOrigin(int32_t& x, int32_t& y) {
  x = y = 0;
  if (mPlatform.GetMainWindow()) mPlatform.GetMainWindow()->GetScreenOrigin(x, y);
}

bool TPlatformDisplayHost::GetMousePosition(int32_t& x, int32_t& y) {
  const TOsMessageQueue* queue = mPlatform.Impl().mQueue.get();
  if (!queue) return false;
  x = queue->PointerX();
  y = queue->PointerY();
  return true;
}

void TPlatformDisplayHost::ShowMainWindow(bool fullScreen) {
  TOsWindow* window = mPlatform.GetMainWindow();
  if (!window) return;
  window->Show();
  if (fullScreen) window->Raise();
}

// The game counts as active until the window's first activation, then while it is active.
bool TPlatformDisplayHost::IsGameActive() {
  if (mPlatform.Impl().mActive) mActivated = true;
  return mPlatform.Impl().mActive || !mActivated;
}
bool TPlatformDisplayHost::HasFocus() { return mPlatform.HasFocus(); }
bool TPlatformDisplayHost::IsEmbeddedControl() { return GetConfig("activex") == "1" && !mPlatform.Impl().mAxTest; }
bool TPlatformDisplayHost::HasExternalParent() { return mPlatform.Impl().mExternalParent != 0; }
bool TPlatformDisplayHost::IsExternalParentAlive() { return TOsWindow::IsLiveWindow(mPlatform.Impl().mExternalParent); }
bool TPlatformDisplayHost::IsExternalPlayerMode() { return ::IsExternalPlayerMode(); }
bool TPlatformDisplayHost::IsZylomPortal() { return ::IsZylomPortal(); }
float TPlatformDisplayHost::GetViewScale() { return mPlatform.Impl().mViewportScale; }
void TPlatformDisplayHost::SetViewScale(float scale) { mPlatform.Impl().mViewportScale = scale; }

bool TPlatformDisplayHost::GetViewportScale(float& factor) {
  factor = mPlatform.Impl().mViewportScale;
  return mPlatform.Impl().mEmbedded;
}

void TPlatformDisplayHost::SetDisplayResetFlag() { mPlatform.NotifyDisplayChanged(); }
void TPlatformDisplayHost::ReportOutOfVideoMemory() { mPlatform.ReportOutOfVideoMemory(); }
void TPlatformDisplayHost::AddRestoreTask(std::unique_ptr<TTask> task) { mPlatform.AddRestoreTask(std::move(task)); }
void TPlatformDisplayHost::RunRestoreTasks() { mPlatform.GetRestoreTaskList().RunTasks(0); }
bool TPlatformDisplayHost::IsCursorShown() { return mPlatform.IsCursorVisible(); }

void TPlatformDisplayHost::InvalidateWindows() {
  if (mPlatform.GetWindowManager()) mPlatform.GetWindowManager()->Invalidate();
}

bool TPlatformDisplayHost::IsDrawSuspended() {
  return mPlatform.GetWindowManager() && mPlatform.GetWindowManager()->IsDrawSuspended();
}

// While a movie plays its window owns the cursor.
bool TPlatformDisplayHost::IsCursorRestoreBlocked() { return IsDrawSuspended(); }

void TPlatformDisplayHost::Sleep(uint32_t milliseconds) { OsSleep(milliseconds); }

void TPlatformDisplayHost::ShowMessageBox(const TString& text, const TString& caption, TMessageBoxIcon icon,
                                          bool ownedByMain) {
  IDisplayHost::ShowMessageBox(text, caption, icon, ownedByMain);
  SDL_Window* owner = ownedByMain && mPlatform.GetMainWindow() ? mPlatform.GetMainWindow()->GetSdlWindow() : nullptr;
  int kind = icon == TMessageBoxIcon::Stop ? 2 : icon == TMessageBoxIcon::Exclamation ? 1 : 0;
  SdlShowMessageBox(caption.c_str(), text.c_str(), kind, owner);
}

// Only a display that failed for good asks to quit.
void TPlatformDisplayHost::PostQuit() { mPlatform.QuitForFailedDisplay(); }

std::unique_ptr<IDisplayHandler> MakeDisplayHandler() {
  TPlatform* platform = GetPlatform();
  if (!platform) return nullptr;
  if (auto adapter = SoftAdapter(0)) SdlReadDisplayModes(0, adapter->MutableConfig());
  RegisterSystemCursorImage();
  auto host = std::make_unique<TPlatformDisplayHost>(*platform);
  SetDisplayHost(host.get());
  // Sprite scripts and effects run in the platform's frame tasks, with its random numbers.
  SetSpritePlatform({&platform->GetTaskList(), []() -> uint32_t {
                       TPlatform* running = GetPlatform();
                       return running ? running->GetRandom() : 0;
                     }});
  platform->AddTask(std::make_unique<TCursorMovesTask>());
  return std::make_unique<TLinkedPlatformData>(std::move(host));
}

std::unique_ptr<IRenderer> MakeRenderer() { return std::make_unique<TRendererLink>(); }
