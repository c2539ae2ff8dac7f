#include "windows/window_host.h"

#include "platform/platform_event.h"
#include "platform/timer.h"

namespace {

// Answers as a display that is not there, with the process's clock.
class TInertWindowHost : public IWindowHost {
 public:
  uint32_t GetTimer() override { return ::GetTimer(); }
  bool HasFocus() override { return false; }
  bool KeepsDrawingPace() override { return false; }
  bool IsDisplayReady() override { return false; }
  bool IsFrameDone() override { return true; }
  int32_t GetMouseMode() override { return MouseAbsolute; }
  void PostQuit(int32_t code) override {}
  TTaskList* GetFrameTasks() override { return nullptr; }
  bool SetClipboardString(const TString& text) override { return false; }
  void GetScreenSize(uint32_t& width, uint32_t& height) override { width = height = 0; }
};

}  // namespace

std::unique_ptr<IWindowHost> MakeInertWindowHost() { return std::make_unique<TInertWindowHost>(); }
