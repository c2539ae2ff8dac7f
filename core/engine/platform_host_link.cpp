#include "engine/platform_host_link.h"

#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "engine/platform_impl.h"
#include "graphics/display/i_display_handler.h"
#include "host/host_platform.h"
#include "platform/os/os_window.h"

namespace {

// Every answer goes through GetPlatform(): the link outlives no platform, but it is asked
// only while one exists.
class TPlatformHostLink : public IHostPlatform {
 public:
  bool IsExternalPlayerMode() override { return ::IsExternalPlayerMode(); }
  void ReleaseMouseCapture() override {
    if (TOsWindow* window = Window()) window->SetCapture(false);
  }
  bool IsCursorVisible() override { return GetPlatform() && GetPlatform()->IsCursorVisible(); }
  void SetCursorVisible(bool visible) override {
    if (GetPlatform()) GetPlatform()->SetCursorVisible(visible);
  }
  void ShowArrowCursor() override { TOsWindow::ShowSystemArrow(); }
  // The display handler keeps the game's cursor images; asking it for the window's cursor
  // applies them again.
  void RestoreGameCursor() override {
    if (IDisplayHandler* display = Display()) display->SetWindowsCursor();
  }
  void ForgetDrawnCursor() override {
    if (IDisplayHandler* display = Display()) display->RefreshCursor();
  }
  void GetClientSize(int32_t& width, int32_t& height) override {
    width = height = 0;
    if (TOsWindow* window = Window()) window->GetClientSize(width, height);
  }
  void SetClientSize(int32_t width, int32_t height) override {
    if (TOsWindow* window = Window()) window->SetClientSize(width, height);
  }
  bool IsFullScreen() override { return GetPlatform() && GetPlatform()->IsFullScreen(); }
  bool IsEmbedded() override { return GetPlatform() && GetPlatform()->Impl().mEmbedded; }
  bool IsActive() override { return GetPlatform() && GetPlatform()->IsActive(); }
  bool OpenUrl(const TString& url) override { return GetPlatform() && GetPlatform()->OpenUrl(url); }

 private:
  static TOsWindow* Window() { return GetPlatform() ? GetPlatform()->GetMainWindow() : nullptr; }
  static IDisplayHandler* Display() { return GetPlatform() ? GetPlatform()->GetDisplayHandler() : nullptr; }
};

}  // namespace

IHostPlatform& PlatformHostLink() {
  static TPlatformHostLink link;
  return link;
}
