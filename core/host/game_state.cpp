#include "host/game_state.h"

namespace {
std::unique_ptr<TGameState> gGameState;
}

bool TGameState::SendEvent(const TString& name, const TString& value) {
  for (const auto& handler : mHandlers) {
    if (handler->OnEvent(name, value)) return true;
  }
  return false;
}

bool TGameState::PostIntEvent(const TString& name, int value) { return SendEvent(name, TString::Printf("%d", value)); }

void TGameState::AddHandler(std::unique_ptr<TGameStateHandler> handler) {
  if (handler) mHandlers.push_back(std::move(handler));
}

bool TGameState::QueryWaitForQuit() const {
  for (const auto& handler : mHandlers) {
    if (handler->WantsWaitForQuit()) return true;
  }
  return false;
}

TGameState* GetGameState() {
  if (!gGameState) gGameState = std::make_unique<TGameState>();
  return gGameState.get();
}

void DeleteGameState() { gGameState.reset(); }

bool QueryWaitForQuit() { return gGameState && gGameState->QueryWaitForQuit(); }
