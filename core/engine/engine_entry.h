#pragma once
// RunEngine: the engine's single entry. The game's main stores its default settings, then
// hands RunEngine its command line, its main function and the makers of the upper
// subsystems' parts; RunEngine builds the engine in its fixed order, runs the game's main
// function with the platform object, and tears everything down again.

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/engine_string.h"

class TPlatform;
class IDisplayHandler;
class IRenderer;
class IWindowManager;

// The executable's product name, internal name and file version (a compile-time stand-in
// for a version resource). An empty product name leaves the game name to the settings.
struct TVersionResource {
  TString productName;
  TString internalName;
  uint16_t fileVersion[4] = {0, 0, 0, 0};
};

using GameMainFn = std::function<void(TPlatform* platform)>;

struct TEngineStart {
  TString commandLine;   // the arguments joined with blanks
  GameMainFn gameMain;
  bool allowMultiple = false;
  TVersionResource version;
  // Makers of the parts that later subsystems implement; an empty maker leaves the
  // platform's stand-in in place. The display handler and renderer makers run after the
  // main window exists (GetPlatform()->GetMainWindow() is valid then).
  std::function<std::unique_ptr<IWindowManager>()> makeWindowManager;
  std::function<std::unique_ptr<IDisplayHandler>()> makeDisplayHandler;
  std::function<std::unique_ptr<IRenderer>()> makeRenderer;
};

// Exit codes: 0 after the game's main returned, and for a second instance (which makes
// no window); -1 for a host window that is not there; 1 when no window can be opened; 2
// when the display cannot be set up (TPlatform::QuitForFailedDisplay).
constexpr int ExitNoWindow = 1;
constexpr int ExitNoDisplay = 2;
constexpr int ExitLostParent = -1;

int RunEngine(TEngineStart start);

// The command line of the running engine (empty outside RunEngine).
TString GetEngineCommandLine();
// "-pq=": the engine runs inside a host player window.
bool IsExternalPlayerMode();
