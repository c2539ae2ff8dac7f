#include "host/game_state.h"

#include <vector>

#include "script/lua_binding.h"
#include "sound/sound_manager.h"

namespace {

std::unique_ptr<TGameState> gGameState;
// Outside the game state: start-up registers portal handlers before the game state exists.
std::vector<std::unique_ptr<TGameStateHandler>> gHandlers;

// The leading integer of a value; empty or other text reads as 0.
int ReadInt(const TString& text) { return text.ToInt(); }

// Asks every handler in order, stopping at the first yes.
template <typename Question>
bool AnyHandlerSays(Question question) {
  for (const auto& handler : gHandlers)
    if ((handler.get()->*question)()) return true;
  return false;
}

}  // namespace

TGameState::TGameState() = default;

TGameState::~TGameState() {
  // The handlers may call back into the game state while they go; the list is taken first.
  std::vector<std::unique_ptr<TGameStateHandler>> handlers;
  handlers.swap(gHandlers);
  handlers.clear();
}

void TGameState::AddHandler(std::unique_ptr<TGameStateHandler> handler) {
  if (handler) gHandlers.push_back(std::move(handler));
}

size_t TGameState::GetHandlerCount() { return gHandlers.size(); }

bool TGameState::SendEvent(const TString& name, const TString& value) {
  TString key = name;
  TString stored = value;
  if (name.Length() >= 2 && name.CharAt(0) == '+' && name.CharAt(1) == '+') {
    key = name.Substr(2);
    stored = TString::Printf("%d", ReadInt(GetState(key)) + 1);
  }
  auto found = mValues.find(key);
  TString previous = found == mValues.end() ? TString() : found->second;
  mValues[key] = stored;
  // A handler may register another while it runs: the list is walked by index.
  for (size_t i = 0; i < gHandlers.size(); i++)
    if (gHandlers[i]->HandleEvent(key.c_str(), stored.c_str())) return true;
  if (key == "mute") ApplyMute(previous, stored);
  return false;
}

bool TGameState::PostIntEvent(const TString& name, int32_t value) {
  return SendEvent(name, TString::Printf("%d", value));
}

void TGameState::ApplyMute(const TString& previous, const TString& value) {
  bool wasMuted = ReadInt(previous) != 0, muted = ReadInt(value) != 0;
  TSoundManager* sounds = GetSoundManager();
  if (wasMuted == muted || !sounds) return;
  if (muted) {
    mSavedMasterVolume = sounds->GetGroupVolume(-1);
    sounds->SetMasterVolume(0.0f);
  } else {
    sounds->SetMasterVolume(mSavedMasterVolume);
    mSavedMasterVolume = 0.0f;
  }
}

TString TGameState::GetState(const TString& name) {
  // The answer is a copy at every step: a handler may hand back the very text it was given.
  TString answer = mValues[name];
  for (size_t i = 0; i < gHandlers.size(); i++) {
    const char* given = gHandlers[i]->Query(name.c_str(), answer.c_str());
    answer = TString(given ? given : "");
  }
  return answer;
}

bool TGameState::QueryMuteGame() {
  if (AnyHandlerSays(&TGameStateHandler::QueryMuteGame)) return true;
  return ReadInt(GetState("mute")) != 0;
}

bool TGameState::QueryRestartMode() { return AnyHandlerSays(&TGameStateHandler::QueryRestartMode); }

bool TGameState::QueryJumpToMenu() { return AnyHandlerSays(&TGameStateHandler::QueryJumpToMenu); }

bool TGameState::QueryWaitForQuit() { return AnyHandlerSays(&TGameStateHandler::QueryWaitForQuit); }

void TGameState::_SetState(const TString& name, const TString& value) { GetGameState()->SendEvent(name, value); }

void TGameState::BindScript(lua_State* L) {
  if (!L) return;
  UnbindScript();
  mBoundState = L;
  BindLuaMember(L, "GetState", this, &TGameState::GetState);
  BindLuaFunction(L, "_SetState", &TGameState::_SetState);
  BindLuaMember(L, "QueryMuteGame", this, &TGameState::QueryMuteGame);
  BindLuaMember(L, "QueryRestartMode", this, &TGameState::QueryRestartMode);
  BindLuaMember(L, "QueryJumpToMenu", this, &TGameState::QueryJumpToMenu);
}

void TGameState::UnbindScript() {
  if (mBoundState) UnbindLuaObject(mBoundState, this);
  mBoundState = nullptr;
}

TGameState* GetGameState() {
  if (!gGameState) gGameState = std::make_unique<TGameState>();
  return gGameState.get();
}

void DeleteGameState() { gGameState.reset(); }

bool QueryWaitForQuit() { return gGameState && gGameState->QueryWaitForQuit(); }
