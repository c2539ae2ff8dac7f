#include "host/msn_zylom_handler.h"

#include <cstring>
#include <string>

#include "host/portal_session.h"

namespace {

// Every handler's Query answer lives here until the next Query replaces it.
std::string gAnswer;

// As atoi, bounded to 32 bits.
int32_t ReadInt(const char* text) { return TString(text).ToInt(); }

int32_t StateInt(const char* name) { return GetGameState()->GetState(name).ToInt(); }

bool Is(const char* name, const char* expected) { return strcmp(name, expected) == 0; }

}  // namespace

bool TMsnZylomHandler::HandleEvent(const char* name, const char* value) {
  if (!name) return false;
  if (!value) value = "";
  TPortalSession& portal = TPortalSession::Get();
  if (Is(name, "windowmessage")) {
    portal.HandleHostMessage(ReadInt(value));
    return true;
  }
  if (Is(name, "loadbroadcast")) {
    portal.SendLoadBroadcast(100);
    return true;
  }
  if (Is(name, "sessionready")) {
    portal.SendSessionReady();
    return true;
  }
  if (Is(name, "mute")) {
    portal.SetPortalGameMute(ReadInt(value) != 0);
    return true;
  }
  if (Is(name, "cmdline")) {
    if (portal.IsZylom()) portal.ReadRestartInterval(value);
    else if (strstr(value, "-aol")) mAol = true;
  } else if (Is(name, "level")) {
    portal.SetLevels(ReadInt(value), StateInt("sublevel"));
  } else if (Is(name, "sublevel")) {
    portal.SetLevels(StateInt("level"), ReadInt(value));
  } else if (Is(name, "pause")) {
    portal.SetPortalPause(ReadInt(value) != 0);
  } else if (Is(name, "breaknow")) {
    portal.SendGameBreak();
  } else if (Is(name, "score")) {
    portal.BroadcastPortalScore(ReadInt(value));
  } else if (Is(name, "gamemode")) {
    portal.SendGameReady(value);
  } else if (Is(name, "gameover")) {
    if (portal.IsPlayMode()) {
      portal.SubmitPortalScore(StateInt("score"));
      portal.SendGameEnd();
    }
  } else if (Is(name, "restartbutton")) {
    portal.SendRestart();
  }
  return false;
}

const char* TMsnZylomHandler::Query(const char* name, const char* current) {
  TPortalSession& portal = TPortalSession::Get();
  if (name && Is(name, "systemmode")) {
    gAnswer = current ? current : "";
    if (portal.IsZylom()) gAnswer = "zylom";
    if (portal.IsMsn()) gAnswer = "msn";
    if (mAol) gAnswer = "aol";
    return gAnswer.c_str();
  }
  if (name && Is(name, "restartbutton")) {
    gAnswer = portal.IsRestartAllowed() ? "1" : "0";
    return gAnswer.c_str();
  }
  return current;
}

bool TMsnZylomHandler::QueryRestartMode() { return TPortalSession::Get().TakeRestartRequest(); }

bool TMsnZylomHandler::QueryJumpToMenu() { return TPortalSession::Get().TakeJumpToMenuRequest(); }

bool TMsnZylomHandler::QueryMuteGame() { return TPortalSession::Get().IsVolumeHeld(); }

bool TMsnZylomHandler::QueryWaitForQuit() { return TPortalSession::Get().IsWaiting(); }
