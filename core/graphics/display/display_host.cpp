#include "graphics/display/display_host.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "graphics/display/i_display_handler.h"
#include "platform/log.h"

namespace {

IDisplayHost gInertHost;
IDisplayHost* gHost = nullptr;
IDisplayHandler* gVideoMemoryReceiver = nullptr;

const char* IconName(TMessageBoxIcon icon) {
  switch (icon) {
    case TMessageBoxIcon::Exclamation: return "exclamation";
    case TMessageBoxIcon::Stop: return "stop";
    case TMessageBoxIcon::None: break;
  }
  return "plain";
}

}  // namespace

IDisplayHost& DisplayHost() { return gHost ? *gHost : gInertHost; }

void SetDisplayHost(IDisplayHost* host) { gHost = host; }

void SetVideoMemoryReceiver(IDisplayHandler* display) { gVideoMemoryReceiver = display; }
IDisplayHandler* GetVideoMemoryReceiver() { return gVideoMemoryReceiver; }

void IDisplayHost::ReportOutOfVideoMemory() {
  if (gVideoMemoryReceiver) gVideoMemoryReceiver->OnOutOfVideoMemory();
}

void IDisplayHost::AddRestoreTask(std::unique_ptr<TTask> task) { mRestoreTasks.AddTask(std::move(task)); }

void IDisplayHost::RunRestoreTasks() { mRestoreTasks.RunTasks(0); }

void IDisplayHost::Sleep(uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void IDisplayHost::ShowMessageBox(const TString& text, const TString& caption, TMessageBoxIcon icon, bool) {
  LogPrintf("Message box (%s, %s): %s", caption.c_str(), IconName(icon), text.c_str());
}

// Ends at once, as the system's process exit does: no destructors run on objects that
// other threads (the cursor thread) may still be using. Every log line is already closed.
void IDisplayHost::ExitProcess(int code) { std::_Exit(code); }
