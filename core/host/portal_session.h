#pragma once
// TPortalSession: the state that every portal handler shares (several switches may install
// several handlers, and they act on one session), the commands that go to the host, the
// host's codes, the wait state in which the host holds the game, and the muting that keeps
// the game silent while it is not in play. Internal to the host integration: the engine
// reaches it through portal.h, the game state through TMsnZylomHandler.
//
// Main thread only.

#include <cstdint>

#include "platform/clock.h"
#include "platform/engine_string.h"

class THostChannel;

class TPortalSession {
 public:
  static TPortalSession& Get();
  // Everything as at start (teardown and tests).
  void Reset();

  void SetChannel(THostChannel* channel) { mChannel = channel; }
  THostChannel* GetChannel() const { return mChannel; }
  void SetMsnMode() { mMsn = true; }
  void SetZylomMode() { mZylom = true; }
  bool IsMsn() const { return mMsn; }
  bool IsZylom() const { return mZylom; }
  // MSN or Zylom: the modes in which the handlers act on events and host codes.
  bool IsPlayMode() const { return mMsn || mZylom; }
  // The sum of all wait spans (only MSN and Zylom mode wait). Any thread: the engine timer
  // reads it.
  static uint32_t GetTotalWait();

  // Host codes, as the "windowmessage" event brings them.
  void HandleHostMessage(int32_t code);

  // Commands to the host.
  void SendLoadBroadcast(int32_t percent);
  void SendSessionReady();
  void SendGameReady(const char* mode);
  void SendGameBreak();
  void BroadcastPortalScore(int32_t score);
  void SubmitPortalScore(int32_t score);
  void SendGameEnd();
  void SendRestart();
  // Sends the text, NUL included, in 8-byte messages; a command that waits asks for the
  // wait state (honoured in MSN mode only).
  void SendHostCommand(const TString& text, bool waits);

  // The game's own state.
  void SetPortalPause(bool paused);
  void SetPortalGameMute(bool mute);
  void SetLevels(int32_t level, int32_t sublevel) {
    mLevel = level;
    mSublevel = sublevel;
  }
  // "-com_interval" of a command line (-1 without it).
  void ReadRestartInterval(const char* commandLine);
  bool IsRestartAllowed() const;

  // The game state's questions.
  bool TakeJumpToMenuRequest();
  bool TakeRestartRequest();
  bool IsVolumeHeld() const { return mVolumeHeld; }
  // The wait state; a host that went away ends it.
  bool IsWaiting();
  uint32_t GetClockTime() const { return mClock.GetTime(); }

  // The longest command text: the host's buffer holds 255 characters and the NUL.
  static constexpr uint32_t MaxCommandLength = 255;
  // Score broadcasts come at most this often.
  static constexpr uint32_t ScoreBroadcastSpacingMs = 5000;

 private:
  uint32_t Now() const;
  void EnterHostWait();
  void LeaveHostWait();
  void UpdatePortalVolume();

  THostChannel* mChannel = nullptr;  // non-owning: the engine's channel, cleared before it goes
  bool mMsn = false;
  bool mZylom = false;
  bool mHostLost = false;  // a command could not go out (logged once)
  bool mReadyAnnounced = false;
  bool mJumpToMenuRequest = false;
  bool mRestartRequest = false;
  bool mHostMute = false;
  bool mGameMute = false;
  bool mVolumeHeld = false;
  float mSavedMasterVolume = 0.0f;
  bool mWaiting = false;
  bool mGameActive = false;
  bool mPaused = false;
  bool mScoreSubmitted = false;
  int32_t mBreakpoints = 0;
  uint32_t mWaitStart = 0;
  uint32_t mLastScoreBroadcast = 0;
  int32_t mLevel = 0;
  int32_t mSublevel = 0;
  int32_t mRestartInterval = -1;
  bool mAtMenu = true;
  TClock mClock;  // play time of the current game, on the engine timer
};

// The portal's millisecond tick (the installed source or the system's monotonic clock).
uint32_t PortalTicks();
