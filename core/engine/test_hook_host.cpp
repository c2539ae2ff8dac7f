#include "engine/test_hook_host.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/platform.h"
#include "engine/test_hook.h"
#include "graphics/i_renderer.h"
#include "platform/log.h"
#include "platform/os/input_injection.h"
#include "platform/os/message_queue.h"
#include "platform/random.h"
#include "platform/timer.h"

namespace {

struct TCaptureRequest {
  std::string path;
  bool done = false;
  bool written = false;
};

// Capture requests of the hook's threads, served by a frame task on the main thread.
struct TCaptureService {
  std::mutex mutex;
  std::condition_variable answered;
  std::deque<std::shared_ptr<TCaptureRequest>> waiting;
  bool open = false;
};
TCaptureService gCaptures;

// The hook's event observer; set from the hook's thread, called on the main thread.
std::mutex gObserverMutex;
void (*gObserver)(void*, const TTestHookEvent*) = nullptr;
void* gObserverContext = nullptr;

class TCaptureTask : public TTask {
 public:
  explicit TCaptureTask(TPlatform& platform) : mPlatform(platform) {}
  bool Run() override {
    std::unique_lock<std::mutex> lock(gCaptures.mutex);
    while (!gCaptures.waiting.empty()) {
      std::shared_ptr<TCaptureRequest> request = gCaptures.waiting.front();
      gCaptures.waiting.pop_front();
      lock.unlock();
      bool written = mPlatform.GetRenderer() && mPlatform.GetRenderer()->CaptureFrame(TString(request->path));
      lock.lock();
      request->written = written;
      request->done = true;
    }
    gCaptures.answered.notify_all();
    return true;
  }

 private:
  TPlatform& mPlatform;
};

void CloseCaptures() {
  std::lock_guard<std::mutex> lock(gCaptures.mutex);
  gCaptures.open = false;
  for (auto& request : gCaptures.waiting) request->done = true;
  gCaptures.waiting.clear();
  gCaptures.answered.notify_all();
}

void HookMouseMove(int32_t x, int32_t y) { InjectMouseMove(x, y); }
void HookMouseButton(int32_t button, int32_t down, int32_t x, int32_t y) {
  InjectMouseButton(uint32_t(button), down != 0, x, y);
}
void HookMouseWheel(int32_t delta) { InjectMouseWheel(delta); }
int32_t HookKey(const char* name, int32_t down) { return name && InjectKey(name, down != 0) ? 1 : 0; }
void HookText(const char* utf8) {
  if (utf8) InjectText(utf8);
}

void HookWindowEvent(int32_t event) {
  static const TInjectedWindowEvent Kinds[] = {
      TInjectedWindowEvent::FocusGained, TInjectedWindowEvent::FocusLost, TInjectedWindowEvent::Minimized,
      TInjectedWindowEvent::Restored,    TInjectedWindowEvent::Close,     TInjectedWindowEvent::Exposed,
      TInjectedWindowEvent::Enter,       TInjectedWindowEvent::Leave};
  if (event >= HookWindowFocusGained && event <= HookWindowLeave) InjectWindowEvent(Kinds[event - 1]);
}

void HookQuit(int32_t code) { TOsMessageQueue::PostQuit(code); }

int32_t HookCaptureFrame(const char* path, uint32_t timeoutMs) {
  if (!path) return 0;
  auto request = std::make_shared<TCaptureRequest>();
  request->path = path;
  std::unique_lock<std::mutex> lock(gCaptures.mutex);
  if (!gCaptures.open) return 0;
  gCaptures.waiting.push_back(request);
  gCaptures.answered.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return request->done; });
  if (!request->done) {
    for (auto it = gCaptures.waiting.begin(); it != gCaptures.waiting.end(); ++it) {
      if (*it == request) {
        gCaptures.waiting.erase(it);
        break;
      }
    }
  }
  return request->done && request->written ? 1 : 0;
}

void HookSetEventObserver(void (*observer)(void*, const TTestHookEvent*), void* context) {
  std::lock_guard<std::mutex> lock(gObserverMutex);
  gObserver = observer;
  gObserverContext = context;
}

uint32_t HookGetTimer() { return GetTimer(); }

std::atomic<uint32_t> gHeldTime{0};
// While the timer is held the wall clock stands too: the seconds at the hold, then the
// whole seconds the held timer was advanced since (the score's timers count in them).
std::atomic<uint32_t> gHeldSince{0};
std::atomic<int64_t> gHeldWallTime{0};

uint32_t HeldTimer() { return gHeldTime.load(); }

int64_t HeldWallTime() { return gHeldWallTime.load() + int64_t((gHeldTime.load() - gHeldSince.load()) / 1000); }

// Steps of the held timer asked for by the hook's thread and applied by the main thread at
// the start of an idle step; a request counts as handled once the idle step after the one
// that applied it starts.
struct TTimerSteps {
  std::mutex mutex;
  std::condition_variable handledSignal;
  bool held = false;
  bool closed = false;
  uint32_t pending = 0;
  uint64_t requested = 0;  // the number of the last request
  uint64_t applied = 0;    // the last request applied
  uint64_t handled = 0;    // the last request whose step the game has handled
};
TTimerSteps gSteps;

void HookHoldTimer(int32_t held) {
  std::lock_guard<std::mutex> lock(gSteps.mutex);
  gSteps.held = held != 0;
  if (held) {
    gHeldTime = GetTimer();
    gHeldSince = gHeldTime.load();
    gHeldWallTime = GetWallTime();
    SetTimerSource(&HeldTimer);
    SetWallTimeSource(&HeldWallTime);
  } else {
    SetTimerSource(nullptr);
    SetWallTimeSource(nullptr);
  }
  SetFixedGameSeed(held != 0);
}

void HookAdvanceTimer(uint32_t ms) { gHeldTime += ms; }

int32_t HookStepTimer(uint32_t ms, uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(gSteps.mutex);
  if (gSteps.closed) return -1;
  if (!gSteps.held) return 0;
  gSteps.pending += ms;
  uint64_t request = ++gSteps.requested;
  gSteps.handledSignal.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                [request] { return gSteps.closed || gSteps.handled >= request; });
  if (gSteps.closed) return -1;
  return gSteps.handled >= request ? 1 : 0;
}

// The start of an idle step on the main thread.
void ApplyTimerSteps() {
  std::lock_guard<std::mutex> lock(gSteps.mutex);
  if (gSteps.handled < gSteps.applied) {
    gSteps.handled = gSteps.applied;
    gSteps.handledSignal.notify_all();
  }
  if (gSteps.requested == gSteps.applied) return;
  gHeldTime += gSteps.pending;
  gSteps.pending = 0;
  gSteps.applied = gSteps.requested;
}

void CloseTimerSteps() {
  std::lock_guard<std::mutex> lock(gSteps.mutex);
  gSteps.closed = true;
  gSteps.pending = 0;
  gSteps.handledSignal.notify_all();
}

const TTestHookServices Services = {TestHookServicesVersion,
                                    sizeof(TTestHookServices),
                                    HookMouseMove,
                                    HookMouseButton,
                                    HookMouseWheel,
                                    HookKey,
                                    HookText,
                                    HookWindowEvent,
                                    HookQuit,
                                    HookCaptureFrame,
                                    HookSetEventObserver,
                                    HookGetTimer,
                                    HookHoldTimer,
                                    HookAdvanceTimer,
                                    HookStepTimer};

}  // namespace

TTestHookHost::~TTestHookHost() { CloseCaptures(); }

void TTestHookHost::Load(const std::string& path, TString& commandLine) {
  if (!mLibrary.Open(path)) return;
  auto entry = reinterpret_cast<TTestHookEntry>(mLibrary.Symbol("TestHook"));
  if (!entry) {
    mLibrary.Close();
    return;
  }
  std::vector<char> buffer(commandLine.c_str(), commandLine.c_str() + commandLine.Length() + 1);
  char* text = buffer.data();
  mQuitTarget = entry(&text);
  // The hook may have pointed the command line elsewhere: read it again.
  commandLine = TString(text ? text : "");
}

void TTestHookHost::Attach(TPlatform& platform) {
  auto attach = reinterpret_cast<TTestHookAttachEntry>(mLibrary.Symbol("TestHookAttach"));
  if (!attach) return;
  {
    std::lock_guard<std::mutex> lock(gCaptures.mutex);
    gCaptures.open = true;
  }
  mCaptureTask = platform.AddTask(std::make_unique<TCaptureTask>(platform));
  platform.SetEventObserver([](const TPlatformEvent& event) {
    std::lock_guard<std::mutex> lock(gObserverMutex);
    if (!gObserver) return;
    TTestHookEvent copy{event.type, event.code, event.x, event.y, event.extra};
    gObserver(gObserverContext, &copy);
  });
  {
    std::lock_guard<std::mutex> lock(gSteps.mutex);
    gSteps.closed = false;
  }
  platform.SetIdleStepObserver(&ApplyTimerSteps);
  mAttached = true;
  attach(&Services);
}

void TTestHookHost::Detach(TPlatform& platform) {
  if (!mAttached) return;
  mAttached = false;
  CloseCaptures();
  CloseTimerSteps();
  if (auto detach = reinterpret_cast<TTestHookDetachEntry>(mLibrary.Symbol("TestHookDetach"))) detach();
  platform.SetEventObserver(nullptr);
  platform.SetIdleStepObserver(nullptr);
  HookSetEventObserver(nullptr, nullptr);
  platform.RemoveTask(mCaptureTask);
  mCaptureTask = nullptr;
}
