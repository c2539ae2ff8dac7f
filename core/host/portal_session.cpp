#include "host/portal_session.h"

#include <atomic>
#include <cstring>

#include "host/host_platform.h"
#include "platform/log.h"
#include "platform/os/host_channel.h"
#include "sound/sound_manager.h"

namespace {

// The host's codes.
enum THostCode : int32_t {
  HostJumpToMenu = 1,
  HostMuteOn = 2,
  HostMuteOff = 3,
  HostBusy = 4,
  HostResume = 5,
  HostResumeToo = 6,
  HostStartPlay = 7,
  HostRestart = 8,
  HostResumeAgain = 9,
  HostResumeLast = 10,
};

constexpr const char GameReadyHead[] = "GameReady(\"<data><mode>";
constexpr const char GameReadyTail[] = "</mode></data>\")";

// The longest head of a UTF-8 text that fits in limit bytes without cutting a character.
uint32_t Utf8Prefix(const char* text, uint32_t limit) {
  uint32_t length = uint32_t(strlen(text));
  if (length <= limit) return length;
  uint32_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) cut--;
  return cut;
}

// Kept apart from the session: the engine timer reads it from any thread.
std::atomic<uint32_t> gTotalWait{0};

}  // namespace

TPortalSession& TPortalSession::Get() {
  static TPortalSession session;
  return session;
}

void TPortalSession::Reset() {
  *this = TPortalSession();
  gTotalWait = 0;
}

uint32_t TPortalSession::GetTotalWait() { return gTotalWait.load(std::memory_order_relaxed); }

uint32_t TPortalSession::Now() const { return PortalTicks(); }

void TPortalSession::HandleHostMessage(int32_t code) {
  if (!IsPlayMode()) return;
  switch (code) {
    case HostJumpToMenu: mJumpToMenuRequest = true; break;
    case HostMuteOn: mHostMute = true; break;
    case HostMuteOff: mHostMute = false; break;
    case HostBusy:
      if (GetHostPlatform().IsExternalPlayerMode()) GetHostPlatform().ReleaseMouseCapture();
      EnterHostWait();
      break;
    case HostResume:
    case HostResumeToo:
    case HostResumeAgain:
    case HostResumeLast: LeaveHostWait(); break;
    case HostStartPlay:
      mGameActive = true;
      mLastScoreBroadcast = 0;
      mPaused = false;
      LeaveHostWait();
      mClock.Reset();
      mClock.Start();
      mBreakpoints = 0;
      // The first start comes from the menu; any later one without a way back to the menu
      // in between is a restart.
      if (mAtMenu) mAtMenu = false;
      else mRestartRequest = true;
      break;
    case HostRestart: mRestartRequest = true; break;
    default: break;
  }
  UpdatePortalVolume();
}

void TPortalSession::SendLoadBroadcast(int32_t percent) {
  if (!mMsn || mReadyAnnounced) return;
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  SendHostCommand(TString::Printf("LoadBroadcast(\"<data><percentcomplete>%d</percentcomplete></data>\")", percent),
                  true);
}

void TPortalSession::SendSessionReady() {
  if (!IsPlayMode() || mReadyAnnounced) return;
  mReadyAnnounced = true;
  SendHostCommand("SessionReady(\"<data></data>\")", true);
}

void TPortalSession::SendGameReady(const char* mode) {
  if (!IsPlayMode()) return;
  // The host reads at most 255 characters: a long mode text is cut so that the command
  // keeps its closing tags.
  uint32_t room = MaxCommandLength - uint32_t(sizeof(GameReadyHead) - 1 + sizeof(GameReadyTail) - 1);
  uint32_t kept = Utf8Prefix(mode ? mode : "", room);
  if (mode && kept < strlen(mode)) LogPrintf("GameReady: the mode text was cut to %u bytes.", kept);
  TString text = GameReadyHead;
  text.Append(mode ? mode : "", kept);
  text += GameReadyTail;
  SendHostCommand(text, true);
}

void TPortalSession::SendGameBreak() {
  if (!IsPlayMode()) return;
  mBreakpoints++;
  SendHostCommand(TString::Printf("GameBreak(\"<data><breakpoint>%d</breakpoint></data>\")", mBreakpoints), true);
}

void TPortalSession::BroadcastPortalScore(int32_t score) {
  if (!IsPlayMode() || !mGameActive) return;
  uint32_t now = Now();
  if (now - mLastScoreBroadcast < ScoreBroadcastSpacingMs) return;
  mLastScoreBroadcast = now;
  int32_t seconds = int32_t(mClock.GetTime() / 1000);
  SendHostCommand(TString::Printf("ScoreBroadcast(\"<game><score>%d</score><time>%d</time></game>\")", score, seconds),
                  false);
}

void TPortalSession::SubmitPortalScore(int32_t score) {
  int32_t seconds = int32_t(mClock.GetTime() / 1000);
  if (mZylom) {
    SendHostCommand(TString::Printf("ScoreSubmit(\"<game><score>%d</score><time>%d</time><level>%d</level>"
                                    "<sublevel>%d</sublevel></game>\")",
                                    score, seconds, mLevel, mSublevel),
                    false);
    mScoreSubmitted = true;
  } else if (mMsn) {
    SendHostCommand(TString::Printf("ScoreSubmit(\"<game><score>%d</score><time>%d</time></game>\")", score, seconds),
                    false);
  }
}

void TPortalSession::SendGameEnd() {
  if (!IsPlayMode()) return;
  mGameActive = false;
  SendHostCommand("GameEnd(\"<gamedata></gamedata>\")", true);
}

void TPortalSession::SendRestart() {
  if (mZylom && IsRestartAllowed() && mScoreSubmitted) SendHostCommand("Restart", false);
}

void TPortalSession::SendHostCommand(const TString& text, bool waits) {
  if (GetHostPlatform().IsExternalPlayerMode()) {
    // The external player takes no commands; that the game talks counts as playing.
    mGameActive = true;
    return;
  }
  if (mZylom) waits = false;
  // The text with its NUL, in 8-byte chunks; the bytes after the NUL are zero.
  uint32_t length = text.Length() + 1;
  const char* bytes = text.c_str();
  for (uint32_t at = 0; at < length; at += 8) {
    unsigned char chunk[8] = {};
    memcpy(chunk, bytes + at, length - at < 8 ? length - at : 8);
    uint32_t wParam = 0, lParam = 0;
    THostChannel::Decode(chunk, wParam, lParam);
    if (!mChannel || !mChannel->Post(wParam, lParam)) {
      if (!mHostLost) LogPrintf("Portal: the host takes no more commands (lost: %s)", text.c_str());
      mHostLost = true;
      break;
    }
  }
  if (waits) EnterHostWait();
  UpdatePortalVolume();
}

void TPortalSession::SetPortalPause(bool paused) {
  if (!IsPlayMode() || paused == mPaused) return;
  mPaused = paused;
  if (!mWaiting) {
    if (paused) mClock.Pause();
    else mClock.Start();
    if (mZylom) SendHostCommand(paused ? "GamePause(\"<data>true</data>\")" : "GamePause(\"<data>false</data>\")", true);
  }
  UpdatePortalVolume();
}

void TPortalSession::SetPortalGameMute(bool mute) {
  if (!IsPlayMode()) return;
  mGameMute = mute;
  UpdatePortalVolume();
}

void TPortalSession::ReadRestartInterval(const char* commandLine) {
  const char* at = commandLine ? strstr(commandLine, "-com_interval") : nullptr;
  if (!at) {
    mRestartInterval = -1;
    return;
  }
  // The number follows the switch and one separator; a switch at the very end of the line
  // has no number (and nothing past the line's end is read).
  const size_t skip = strlen("-com_interval") + 1;
  mRestartInterval = strnlen(at, skip) < skip ? 0 : TString(at + skip).ToInt();
}

bool TPortalSession::IsRestartAllowed() const {
  return mRestartInterval >= 0 && int64_t(mClock.GetTime() / 1000) > mRestartInterval;
}

bool TPortalSession::TakeJumpToMenuRequest() {
  if (!IsPlayMode() || !mJumpToMenuRequest) return false;
  mJumpToMenuRequest = false;
  mAtMenu = true;
  mGameActive = false;
  UpdatePortalVolume();
  return true;
}

bool TPortalSession::TakeRestartRequest() {
  if (!IsPlayMode() || !mRestartRequest) return false;
  mRestartRequest = false;
  mGameActive = true;
  UpdatePortalVolume();
  return true;
}

bool TPortalSession::IsWaiting() {
  if (!IsPlayMode()) return false;
  // Nobody is left to end the wait once the host has closed its end of the channel.
  if (mWaiting && !(mChannel && mChannel->IsAlive())) {
    LogPrintf("Portal: the host has gone; the game goes on.");
    LeaveHostWait();
    UpdatePortalVolume();
  }
  return mWaiting;
}

void TPortalSession::EnterHostWait() {
  if (mWaiting) return;
  mWaiting = true;
  mWaitStart = Now();
  if (mPaused) return;
  mClock.Pause();
  GetHostPlatform().SetCursorVisible(false);
  GetHostPlatform().ShowArrowCursor();
}

void TPortalSession::LeaveHostWait() {
  if (!mWaiting) return;
  mWaiting = false;
  gTotalWait += Now() - mWaitStart;
  mWaitStart = 0;
  if (mPaused) return;
  mClock.Start();
  GetHostPlatform().RestoreGameCursor();
  GetHostPlatform().SetCursorVisible(true);
}

void TPortalSession::UpdatePortalVolume() {
  bool silent = mHostMute || mPaused || mWaiting || mGameMute || (mMsn && !mZylom && !mGameActive);
  TSoundManager* sounds = GetSoundManager();
  if (!sounds) return;
  if (silent && !mVolumeHeld) {
    mVolumeHeld = true;
    mSavedMasterVolume = sounds->GetGroupVolume(-1);
    sounds->SetMasterVolume(0.0f);
  } else if (!silent && mVolumeHeld) {
    mVolumeHeld = false;
    sounds->SetMasterVolume(mSavedMasterVolume);
    mSavedMasterVolume = 0.0f;
  }
}
