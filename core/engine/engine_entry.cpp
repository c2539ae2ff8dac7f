#include "engine/engine_entry.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>

#include "engine/platform.h"
#include "engine/platform_impl.h"
#include "engine/test_hook_host.h"
#include "engine/window_procedure.h"
#include "host/dll_collate_handler.h"
#include "host/dll_game_state.h"
#include "host/game_state.h"
#include "host/portal.h"
#include "persistence/cheat_code.h"
#include "platform/log.h"
#include "platform/os/input_injection.h"
#include "platform/os/os_clock.h"
#include "platform/os/program_path.h"
#include "platform/settings.h"
#include "sound/sound_manager.h"

namespace {

enum class TWindowResult { Made, NoWindow, LostParent };

TWindowResult CreateMainWindow(TPlatform& platform, std::string& error) {
  TPlatformImpl& p = platform.Impl();
  if (p.mExternalParent != 0 && !TOsWindow::IsLiveWindow(p.mExternalParent)) {
    LogPrintf("Error: mExternalWindowParent is lost, exiting!");
    return TWindowResult::LostParent;
  }
  p.mMainWindow = TOsWindow::Create("Wendrock", 480, 360, p.mWideWindow, error);
  if (!p.mMainWindow) return TWindowResult::NoWindow;
  TOsWindow& window = *p.mMainWindow;
  SetConfig("hwnd", TString::Printf("%d", int(window.GetHandle())));
  if (p.mAxTest) {
    window.SetClientSize(480, 360);
    window.Show();
  }
  window.SetProcedure(&MainWindowProc);
  window.SetUserData(&platform);
  p.mQueue->AttachWindow(&window);
  SetInjectionWindow(&window);
  p.mQueue->Activate();
  return TWindowResult::Made;
}

}  // namespace

int RunEngine(TEngineStart start) {
  // Frames, textures, render targets and their lock copies are megabytes each and come and
  // go all the time, most of them during the start. From the heap, a freed one serves the
  // next; as mappings of their own, every one would fault its pages in afresh.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
  InstallCollationLibrary();
  TTestHookHost hook;
  TString text = start.commandLine;
  hook.Load(FolderOfPath(GetProgramFile()) + "jxHarness.so", text);
  TCommandLine line(text);

  bool allowMultiple = start.allowMultiple || line.Has("-wnd=") || line.Has("--multiple");
  InstallCheatCodeCheck();
  srand((OsMilliseconds() * 8627u) % 104729u);
  auto impl = std::make_unique<TPlatformImpl>(line, allowMultiple, start.version, start.makeWindowManager);
  impl->mQuitTarget = hook.QuitTarget();
  if (impl->IsAnotherInstanceRunning()) {
    printf("%s is running already.\n", impl->mGameName.c_str());
    return 0;
  }

  if (line.Has("-wnd=")) {
    // The hosting page listens on a socket; the game keeps its own window.
    impl->mHostChannel = std::make_unique<THostChannel>();
    if (!impl->mHostChannel->Connect(line.WordAfter("-wnd=", 5).ToStd())) {
      fprintf(stderr, "The host given with -wnd= cannot be reached: %s\n", impl->mHostChannel->Error().c_str());
      return ExitLostParent;
    }
    impl->mEmbedded = true;
    SetConfig("activex", "1");
    SetPortalHostChannel(impl->mHostChannel.get());
  }
  if (line.Has("-msn")) StartMsnPortal();
  if (line.Has("-zylom")) StartZylomPortal();
  if (line.Has("-aol")) StartAolPortal();
  if (line.Has("--axtest")) impl->mAxTest = impl->mEmbedded = true;
  impl->SetDataFolders();
  if (!impl->mEmbedded || line.Has("-pq=")) OpenLogFile(impl->mUserDir.c_str());

  auto platform = std::make_unique<TPlatform>(std::move(impl));
  TPlatformImpl& p = platform->Impl();
  std::string error;
  TWindowResult made = CreateMainWindow(*platform, error);
  if (made != TWindowResult::Made) {
    if (!error.empty()) {
      fprintf(stderr, "%s\n", error.c_str());
      LogPrintf("%s", error.c_str());
    }
    platform.reset();
    return made == TWindowResult::LostParent ? ExitLostParent : ExitNoWindow;
  }
  if (p.mAxTest) {
    p.mExternalParent = p.mMainWindow->GetHandle();
    SetConfig("activex", "1");
  }
  if (!GetSoundManager()) p.mSoundManager = std::make_unique<TSoundManager>();
  GetSoundManager()->Initialize();
  p.SetDisplayHandler(start.makeDisplayHandler ? start.makeDisplayHandler() : nullptr);
  p.SetRenderer(start.makeRenderer ? start.makeRenderer() : nullptr);
  SetConfig("installkey", p.mProgramDir);
  SetConfig("startupdir", p.mStartupDir);
  ApplyCommandLineSettings(line);
  if (line.Has("-pq=")) StartMsnPortal();
  LoadGameStateModules();
  GetGameState()->SendEvent("cmdline", line.Text());
  GetGameState()->SendEvent("commondatadir", p.mCommonDir);
  GetGameState()->SendEvent("userdatadir", p.mUserDir);

  hook.Attach(*platform);
  if (start.gameMain) start.gameMain(platform.get());
  TOsMessageQueue::PostQuit(0);
  hook.Detach(*platform);
  SetInjectionWindow(nullptr);
  int exitCode = platform->GetExitCode();
  platform.reset();
  return exitCode;
}
