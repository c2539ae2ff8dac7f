#pragma once
// TSoundManager: the sound device (our mixer and its output), the playing streams, the
// master and group volumes, and the sound thread that keeps every stream's buffer filled.
//
// Threads: the main thread plays, stops, sets volumes and dispatches; the sound thread
// runs a refill pass every 501 ms at most, waking every 50 ms. One recursive mutex (the
// "TSoundManagerMutex") guards the lists, the volumes and every stream operation; streams
// and data sources take it through TSoundLock. Ended streams are handed to their owners
// only on the main thread (DispatchFinishedStreams), so owners may change sound state from
// their notification.

#include <cstddef>
#include <memory>

#include "platform/clock.h"

class TSoundMixer;
class TSoundOutput;
class TSoundStream;
struct TSoundManagerImpl;

class TSoundManager {
 public:
  // The first manager made becomes the process-wide one (GetSoundManager) until it goes.
  TSoundManager();
  virtual ~TSoundManager();
  TSoundManager(const TSoundManager&) = delete;
  TSoundManager& operator=(const TSoundManager&) = delete;

  // Starts the sound thread and opens the audio device through SDL. False (with a log
  // line) when there is no device: sound then stays off and the game runs on silently.
  // Later calls do nothing and answer the first call's outcome.
  bool Initialize();
  // The same with another output (tests); without the thread the caller runs Update.
  bool Initialize(std::unique_ptr<TSoundOutput> output, bool startThread);
  bool IsInitialized() const { return mInitialized; }
  bool IsActive() const { return mActive; }
  bool IsShutDown() const { return mShutDown; }

  void Lock();
  void Unlock();

  void AddStream(const std::shared_ptr<TSoundStream>& stream);
  // Drops the stream from the playing and the finished list, without notification.
  void RemoveStream(const TSoundStream* stream);
  // Moves the stream from the playing to the finished list.
  void FinishStream(const TSoundStream* stream);

  // The refill pass: at most once per 501 ms, services every playing stream; streams that
  // ended move to the finished list.
  void Update();
  // Main thread: hands every stream that ended since the last call to its listener, then
  // lets go of it.
  void DispatchFinishedStreams();

  // Master volume times the group's (a group without an entry: the master volume).
  float GetGroupVolume(int group);
  void SetMasterVolume(float volume);
  void SetGroupVolume(int group, float volume);
  void ApplyVolumes();
  void ApplyStreamVolume(TSoundStream& stream);
  // Pauses every playing stream while the application is inactive; resumes them after.
  void SetActive(bool active);

  // The mixer of the open device; null while there is none.
  std::shared_ptr<TSoundMixer> GetMixer() const;
  bool IsSoundThread() const;
  size_t GetPlayingCount() const;
  size_t GetFinishedCount() const;

 private:
  void ThreadProc();

  std::unique_ptr<TSoundManagerImpl> mImpl;
  TClock mClock;  // paces the refill passes
  bool mInitialized = false;
  bool mShutDown = false;
  bool mActive = true;
};

// The process-wide sound manager (a non-owning link), null while none exists.
TSoundManager* GetSoundManager();

// Holds the sound lock for a scope when a sound manager exists.
class TSoundLock {
 public:
  TSoundLock() : mManager(GetSoundManager()) {
    if (mManager) mManager->Lock();
  }
  ~TSoundLock() {
    if (mManager) mManager->Unlock();
  }
  TSoundLock(const TSoundLock&) = delete;
  TSoundLock& operator=(const TSoundLock&) = delete;

 private:
  TSoundManager* mManager;
};
