#pragma once
// The optional test hook: a library "jxHarness.so" beside the executable. The engine
// loads it first thing, before it reads its command line, and calls its entry
//
//   intptr_t TestHook(char** commandLine)
//
// with the address of the command-line pointer; the hook may point it at another text
// (which must stay valid during the call: the engine copies it). The result is kept as
// the quit target. A missing library or entry is no error.
//
// Two further entries are optional. Once the platform and the main window exist, right
// before the game's main function, the engine calls
//
//   void TestHookAttach(const TTestHookServices* services)
//
// and after the game's main function, before anything is torn down,
//
//   void TestHookDetach(void)
//
// which must stop every thread of the hook that uses the services. The services are plain
// C function pointers so that the hook links none of the engine.

#include <cstdint>

// An event as the game's main function received it.
struct TTestHookEvent {
  uint32_t type;
  int32_t code;
  int32_t x;
  int32_t y;
  uint32_t extra;
};

// Window events a hook can inject (the window manager's own events of the OS layer).
enum TTestHookWindowEvent : int32_t {
  HookWindowFocusGained = 1,
  HookWindowFocusLost = 2,
  HookWindowMinimized = 3,
  HookWindowRestored = 4,
  HookWindowClose = 5,
  HookWindowExposed = 6,
  HookWindowEnter = 7,
  HookWindowLeave = 8,
};

constexpr uint32_t TestHookServicesVersion = 1;

struct TTestHookServices {
  uint32_t version;  // TestHookServicesVersion
  uint32_t size;     // sizeof(TTestHookServices): later versions only append

  // Input, queued as the OS delivers it; callable from any thread. Positions are window
  // coordinates; buttons 1 left, 2 middle, 3 right, 4 and 5 the extra buttons.
  void (*MouseMove)(int32_t x, int32_t y);
  void (*MouseButton)(int32_t button, int32_t down, int32_t x, int32_t y);
  void (*MouseWheel)(int32_t delta);
  // A key by name with modifiers, "Return", "Alt+Return", "Shift+Insert", "Keypad 5";
  // 0 when the name is unknown.
  int32_t (*Key)(const char* name, int32_t down);
  // Typed text, UTF-8.
  void (*Text)(const char* utf8);
  void (*WindowEvent)(int32_t event);  // TTestHookWindowEvent
  // Posts the quit message.
  void (*Quit)(int32_t code);

  // Asks the main thread to write the last presented frame to a PNG file and waits up to
  // timeoutMs for the answer: 1 written, 0 failed (no renderer yet, or a write error).
  int32_t (*CaptureFrame)(const char* path, uint32_t timeoutMs);
  // Receives every event the event loop hands to the game (main thread); null stops it.
  void (*SetEventObserver)(void (*observer)(void* context, const TTestHookEvent* event), void* context);
  // The engine's millisecond timer.
  uint32_t (*GetTimer)();
  // Holds the engine timer where it stands (held 1) or lets it run on (0): while it is
  // held, only AdvanceTimer moves it, so a session steps the game's time itself and what
  // it sees does not depend on how fast the machine is. While held, the game's random
  // generator also takes every seed as 1, so that draws do not depend on the time of day.
  // Callable from any thread.
  void (*HoldTimer)(int32_t held);
  void (*AdvanceTimer)(uint32_t ms);
  // Moves the held timer on by ms at the start of the game's next idle step, before its
  // frame tasks run, and waits until the game has handled that step (its frame tasks, the
  // idle event and the frame drawn for it), at most timeoutMs: 1 done, 0 not held or not in
  // time (the step then still comes), -1 the game is ending (the hook is being detached).
  // Unlike AdvanceTimer, the time never changes halfway
  // through a step, so every step sees its tasks in the same order however slow the machine.
  int32_t (*StepTimer)(uint32_t ms, uint32_t timeoutMs);
};

extern "C" {
using TTestHookEntry = intptr_t (*)(char** commandLine);
using TTestHookAttachEntry = void (*)(const TTestHookServices* services);
using TTestHookDetachEntry = void (*)();
}
