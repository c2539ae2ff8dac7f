#include "engine/platform_window_host.h"

#include "engine/engine_entry.h"
#include "engine/platform.h"
#include "platform/timer.h"

namespace {

class TPlatformWindowHost : public IWindowHost {
 public:
  uint32_t GetTimer() override { return GetPlatform() ? GetPlatform()->GetTimer() : ::GetTimer(); }
  bool HasFocus() override { return GetPlatform() && GetPlatform()->HasFocus(); }
  // The display's keep-drawing flag is not offered by the display seam: only "-pq=" counts.
  bool KeepsDrawingPace() override { return IsExternalPlayerMode(); }
  bool IsDisplayReady() override { return GetPlatform() && GetPlatform()->IsDisplayReady(); }
  bool IsFrameDone() override { return !GetPlatform() || GetPlatform()->IsFrameDone(); }
  int32_t GetMouseMode() override { return GetPlatform() ? GetPlatform()->GetMouseMode() : MouseAbsolute; }
  void PostQuit(int32_t code) override {
    if (GetPlatform()) GetPlatform()->PostQuit(code);
  }
  TTaskList* GetFrameTasks() override { return GetPlatform() ? &GetPlatform()->GetTaskList() : nullptr; }
  bool SetClipboardString(const TString& text) override {
    return GetPlatform() && GetPlatform()->SetClipboardString(text);
  }
  TString GetClipboardString() override { return GetPlatform() ? GetPlatform()->GetClipboardString() : TString(); }
  void GetScreenSize(uint32_t& width, uint32_t& height) override {
    bool fullScreen = false;
    width = height = 0;
    if (GetPlatform()) GetPlatform()->GetScreenMode(width, height, fullScreen);
  }
  void SetCursorVisible(bool visible) override {
    if (GetPlatform()) GetPlatform()->SetCursorVisible(visible);
  }
  void SetMousePosition(TPoint point) override {
    if (GetPlatform()) GetPlatform()->SetMousePosition(point);
  }
};

}  // namespace

std::unique_ptr<IWindowHost> MakePlatformWindowHost() { return std::make_unique<TPlatformWindowHost>(); }
