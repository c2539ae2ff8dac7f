// The test hook "jxHarness.so": scripted sessions for end-to-end tests of the real
// executable. Its environment drives it:
//   TARVELON_HARNESS_SCRIPT        a session script (harness_script.h) run once the engine is up
//   TARVELON_HARNESS_TRANSCRIPT    a file that receives what happened, one line each:
//                                  "hook <command line>", "attach", "event TYPE CODE X Y EXTRA"
//                                  (every event but idle and nothing), "done LINE",
//                                  "capture ok|failed|unsettled PATH",
//                                  "error ...", "detach"
//   TARVELON_HARNESS_COMMAND_LINE  replaces the engine's command line
// Without them the hook does nothing. It links none of the engine: everything goes
// through the services the engine hands over.

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "engine/test_hook.h"
#include "harness_script.h"

namespace {

std::mutex gTranscriptMutex;
FILE* gTranscript = nullptr;
std::string gCommandLine;

const TTestHookServices* gServices = nullptr;
std::vector<THarnessCommand> gCommands;
std::thread gRunner;
std::mutex gStopMutex;
std::condition_variable gStopSignal;
bool gStop = false;

void Note(const std::string& line) {
  std::lock_guard<std::mutex> lock(gTranscriptMutex);
  if (!gTranscript) return;
  fprintf(gTranscript, "%s\n", line.c_str());
  fflush(gTranscript);
}

// Sleeps up to ms; false when the hook is told to stop.
bool Pause(int ms) {
  std::unique_lock<std::mutex> lock(gStopMutex);
  return !gStopSignal.wait_for(lock, std::chrono::milliseconds(ms), [] { return gStop; });
}

bool FileExists(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The name under which the engine writes a frame to the path: an absolute path through the
// "::" prefix, which names an existing file on disk as it stands (the file is made first);
// any other path as the engine finds it.
std::string EngineTarget(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  if (!FileExists(path)) std::ofstream(path, std::ios::binary).flush();
  return "::" + path;
}

// Captures until three frames in a row are the same: a fade or a scene change is over.
void CaptureSettled(const std::string& path, int ms) {
  std::string previous;
  int same = 0;
  for (int waited = 0; waited <= ms; waited += 300) {
    const std::string target = EngineTarget(path);
    std::string frame = gServices->CaptureFrame(target.c_str(), 5000) ? ReadFile(path) : std::string();
    same = !frame.empty() && frame == previous ? same + 1 : 0;
    if (same == 2) {
      Note("capture ok " + path);
      return;
    }
    previous = frame;
    if (!Pause(300)) return;
  }
  Note("capture unsettled " + path);
}

// Moves the held timer on in frame steps, each applied at the start of one of the game's
// idle steps and handled in full before the next (at most ten seconds each).
void Advance(int ms) {
  constexpr int Step = 25;
  for (int done = 0; done < ms; done += Step) {
    int32_t result = gServices->StepTimer(uint32_t(std::min(Step, ms - done)), 10000);
    if (result < 0) return;  // the game is ending
    if (result == 0) {
      Note("error advance: the game ran no frame");
      return;
    }
  }
}

void Execute(const THarnessCommand& command) {
  using K = THarnessCommand::TKind;
  const TTestHookServices& s = *gServices;
  switch (command.kind) {
    case K::Wait: Pause(command.a); break;
    case K::WaitFor:
      for (int waited = 0; waited < command.a && !FileExists(command.text); waited += 10) {
        if (!Pause(10)) return;
      }
      break;
    case K::Move: s.MouseMove(command.a, command.b); break;
    case K::Click:
      s.MouseButton(command.c, 1, command.a, command.b);
      s.MouseButton(command.c, 0, command.a, command.b);
      break;
    case K::Down: s.MouseButton(command.c, 1, command.a, command.b); break;
    case K::Up: s.MouseButton(command.c, 0, command.a, command.b); break;
    case K::Wheel: s.MouseWheel(command.a); break;
    case K::Key:
    case K::KeyDown:
    case K::KeyUp: {
      bool known = true;
      if (command.kind != K::KeyUp) known = s.Key(command.text.c_str(), 1) != 0;
      if (known && command.kind != K::KeyDown) known = s.Key(command.text.c_str(), 0) != 0;
      if (!known) Note("error unknown key " + command.text);
      break;
    }
    case K::Type: s.Text(command.text.c_str()); break;
    case K::Window: s.WindowEvent(command.a); break;
    case K::Capture:
      Note(std::string("capture ") + (s.CaptureFrame(EngineTarget(command.text).c_str(), 5000) ? "ok " : "failed ") +
           command.text);
      break;
    case K::Settle: CaptureSettled(command.text, command.a); break;
    case K::Hold: s.HoldTimer(1); break;
    case K::Advance: Advance(command.a); break;
    case K::Quit: s.Quit(command.a); break;
  }
}

void RunScript() {
  for (const THarnessCommand& command : gCommands) {
    {
      std::lock_guard<std::mutex> lock(gStopMutex);
      if (gStop) return;
    }
    Execute(command);
    Note("done " + std::to_string(command.line));
  }
}

void ObserveEvent(void*, const TTestHookEvent* event) {
  if (event->type == 1 || event->type == 2) return;
  std::ostringstream line;
  line << "event " << event->type << ' ' << event->code << ' ' << event->x << ' ' << event->y << ' ' << event->extra;
  Note(line.str());
}

}  // namespace

extern "C" __attribute__((visibility("default"))) intptr_t TestHook(char** commandLine) {
  if (const char* path = getenv("TARVELON_HARNESS_TRANSCRIPT")) {
    std::lock_guard<std::mutex> lock(gTranscriptMutex);
    if (!gTranscript) gTranscript = fopen(path, "a");
  }
  if (const char* replacement = getenv("TARVELON_HARNESS_COMMAND_LINE")) {
    gCommandLine = replacement;
    *commandLine = gCommandLine.data();
  }
  Note(std::string("hook ") + (*commandLine ? *commandLine : ""));
  return 0;
}

extern "C" __attribute__((visibility("default"))) void TestHookAttach(const TTestHookServices* services) {
  Note("attach");
  if (!services || services->version != TestHookServicesVersion || services->size < sizeof(TTestHookServices)) {
    Note("error services of another version");
    return;
  }
  gServices = services;
  gServices->SetEventObserver(&ObserveEvent, nullptr);
  const char* path = getenv("TARVELON_HARNESS_SCRIPT");
  if (!path) return;
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  std::string error;
  gCommands.clear();
  if (!file || !ParseHarnessScript(text.str(), gCommands, error)) {
    Note("error script " + std::string(path) + ": " + (error.empty() ? "cannot be read" : error));
    return;
  }
  gStop = false;
  gRunner = std::thread(RunScript);
}

extern "C" __attribute__((visibility("default"))) void TestHookDetach() {
  {
    std::lock_guard<std::mutex> lock(gStopMutex);
    gStop = true;
  }
  gStopSignal.notify_all();
  if (gRunner.joinable()) gRunner.join();
  gServices = nullptr;
  Note("detach");
  std::lock_guard<std::mutex> lock(gTranscriptMutex);
  if (gTranscript) fclose(gTranscript);
  gTranscript = nullptr;
}
