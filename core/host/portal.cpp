#include "host/portal.h"

#include <atomic>
#include <memory>

#include "host/game_state.h"
#include "host/msn_zylom_handler.h"
#include "host/portal_session.h"
#include "platform/log.h"
#include "platform/os/os_clock.h"

namespace {

std::atomic<TPortalTickSource> gTickSource{nullptr};

// A portal switch takes effect only with a host to talk to.
bool HasHost(const char* mode) {
  if (TPortalSession::Get().GetChannel()) return true;
  LogPrintf("Portal mode %s: no host channel was given with -wnd=, the game runs on its own.", mode);
  return false;
}

void InstallHandler() { TGameState::AddHandler(std::make_unique<TMsnZylomHandler>()); }

}  // namespace

void SetPortalHostChannel(THostChannel* channel) { TPortalSession::Get().SetChannel(channel); }
THostChannel* GetPortalHostChannel() { return TPortalSession::Get().GetChannel(); }

void StartMsnPortal() {
  if (!HasHost("msn")) return;
  TPortalSession::Get().SetMsnMode();
  InstallHandler();
}

void StartZylomPortal() {
  if (!HasHost("zylom")) return;
  TPortalSession::Get().SetZylomMode();
  InstallHandler();
}

void StartAolPortal() {
  if (!HasHost("aol")) return;
  InstallHandler();
}

bool IsMsnPortal() { return TPortalSession::Get().IsMsn(); }
bool IsZylomPortal() { return TPortalSession::Get().IsZylom(); }
uint32_t GetPortalStateWord() { return TPortalSession::GetTotalWait(); }

void SetPortalTickSource(TPortalTickSource source) { gTickSource.store(source); }

uint32_t PortalTicks() {
  TPortalTickSource source = gTickSource.load(std::memory_order_relaxed);
  return source ? source() : OsMilliseconds();
}

void ResetPortalModes() { TPortalSession::Get().Reset(); }
