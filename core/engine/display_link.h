#pragma once
// How the display handler and the renderer join the platform: the makers that RunEngine
// calls after the main window exists, and the display host that answers the display
// handler from the platform object, its window manager and the main window.

#include <memory>

#include "graphics/display/display_host.h"
#include "graphics/display/i_display_handler.h"
#include "graphics/i_renderer.h"

class TPlatform;

// The display host of a running platform.
class TPlatformDisplayHost : public IDisplayHost {
 public:
  explicit TPlatformDisplayHost(TPlatform& platform) : mPlatform(platform) {}

  std::shared_ptr<TPresenter> GetPresenter() override;
  void GetWindowOrigin(int32_t& x, int32_t& y) override;
  bool GetMousePosition(int32_t& x, int32_t& y) override;
  void ShowMainWindow(bool fullScreen) override;
  bool IsGameActive() override;
  bool HasFocus() override;
  bool IsEmbeddedControl() override;
  bool HasExternalParent() override;
  bool IsExternalParentAlive() override;
  bool IsExternalPlayerMode() override;
  bool IsZylomPortal() override;
  float GetViewScale() override;
  void SetViewScale(float scale) override;
  bool GetViewportScale(float& factor) override;
  void SetDisplayResetFlag() override;
  void ReportOutOfVideoMemory() override;
  void AddRestoreTask(std::unique_ptr<TTask> task) override;
  void RunRestoreTasks() override;
  bool IsCursorShown() override;
  void InvalidateWindows() override;
  bool IsDrawSuspended() override;
  bool IsCursorRestoreBlocked() override;
  void Sleep(uint32_t milliseconds) override;
  void ShowMessageBox(const TString& text, const TString& caption, TMessageBoxIcon icon, bool ownedByMain) override;
  void PostQuit() override;

 private:
  TPlatform& mPlatform;
  std::shared_ptr<TPresenter> mPresenter;
  bool mActivated = false;
};

// The makers for TEngineStart: the display handler (the default adapter takes the
// display's modes, the host is installed, the cursor moves of the cursor thread are shown
// once per event step) and the renderer front end.
std::unique_ptr<IDisplayHandler> MakeDisplayHandler();
std::unique_ptr<IRenderer> MakeRenderer();
