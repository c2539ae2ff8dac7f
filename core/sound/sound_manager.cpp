#include "sound/sound_manager.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/log.h"
#include "sound/sound_mixer.h"
#include "sound/sound_output.h"
#include "sound/sound_stream.h"

namespace {

std::atomic<TSoundManager*> gSoundManager{nullptr};

constexpr uint32_t RefillPeriod = 501;                      // ms between refill passes
constexpr std::chrono::milliseconds ThreadSleep{50};        // the thread's nap between looks
constexpr int OutputRate = 44100;

using TStreamList = std::vector<std::shared_ptr<TSoundStream>>;

void Erase(TStreamList& list, const TSoundStream* stream) {
  list.erase(std::remove_if(list.begin(), list.end(),
                            [stream](const std::shared_ptr<TSoundStream>& s) { return s.get() == stream; }),
             list.end());
}

}  // namespace

struct TSoundManagerImpl {
  std::shared_ptr<TSoundMixer> mixer;
  std::unique_ptr<TSoundOutput> output;
  TStreamList playing;
  double masterVolume = 1.0;
  std::map<int, double> groupVolumes;
  std::thread thread;
  std::thread::id threadId;
  bool started = false;
  std::atomic<bool> stop{false};
  std::mutex wakeMutex;
  std::condition_variable wake;
  TStreamList finished;
  int lockCount = 0;
  std::recursive_mutex mutex;  // the "TSoundManagerMutex"
};

TSoundManager* GetSoundManager() { return gSoundManager.load(); }

TSoundManager::TSoundManager() : mImpl(std::make_unique<TSoundManagerImpl>()) {
  TSoundManager* none = nullptr;
  gSoundManager.compare_exchange_strong(none, this);
}

TSoundManager::~TSoundManager() {
  Lock();
  mImpl->stop = true;
  Unlock();
  {
    std::lock_guard<std::mutex> lock(mImpl->wakeMutex);
    mImpl->wake.notify_all();
  }
  // The thread ends before anything it uses goes.
  if (mImpl->thread.joinable()) mImpl->thread.join();
  mShutDown = true;
  if (mImpl->output) mImpl->output->Close();
  TStreamList playing, finished;
  Lock();
  playing.swap(mImpl->playing);
  finished.swap(mImpl->finished);
  mInitialized = false;
  Unlock();
  playing.clear();
  finished.clear();
  TSoundManager* self = this;
  gSoundManager.compare_exchange_strong(self, nullptr);
}

bool TSoundManager::Initialize() { return Initialize(CreateSdlSoundOutput(), true); }

bool TSoundManager::Initialize(std::unique_ptr<TSoundOutput> output, bool startThread) {
  if (mImpl->started) return mInitialized;
  mImpl->started = true;
  Lock();
  if (startThread) {
    // The thread starts by taking the lock, so it sees its id set.
    mImpl->thread = std::thread(&TSoundManager::ThreadProc, this);
    mImpl->threadId = mImpl->thread.get_id();
  }
  mClock.Reset();
  mClock.Start();
  Unlock();

  std::shared_ptr<TSoundMixer> mixer = TSoundMixer::Make(OutputRate);
  TString error = "no output";
  if (!output || !output->Open(mixer, error)) {
    LogPrintf("DX Error: %s (0x%x), File %s, Line %d", error.c_str(), 0u, ".\\soundmanager.cpp", __LINE__);
    return false;
  }
  Lock();
  mImpl->mixer = std::move(mixer);
  mImpl->output = std::move(output);
  mInitialized = true;
  Unlock();
  return true;
}

void TSoundManager::Lock() {
  mImpl->mutex.lock();
  ++mImpl->lockCount;
}

void TSoundManager::Unlock() {
  --mImpl->lockCount;
  mImpl->mutex.unlock();
}

void TSoundManager::ThreadProc() {
  while (!mImpl->stop) {
    Lock();
    if (!mImpl->stop) Update();
    Unlock();
    std::unique_lock<std::mutex> lock(mImpl->wakeMutex);
    mImpl->wake.wait_for(lock, ThreadSleep, [this] { return mImpl->stop.load(); });
  }
}

void TSoundManager::AddStream(const std::shared_ptr<TSoundStream>& stream) {
  Lock();
  mImpl->playing.push_back(stream);
  Unlock();
}

void TSoundManager::RemoveStream(const TSoundStream* stream) {
  Lock();
  Erase(mImpl->playing, stream);
  Erase(mImpl->finished, stream);
  Unlock();
}

void TSoundManager::FinishStream(const TSoundStream* stream) {
  Lock();
  for (auto it = mImpl->playing.begin(); it != mImpl->playing.end(); ++it) {
    if (it->get() != stream) continue;
    mImpl->finished.push_back(*it);
    mImpl->playing.erase(it);
    break;
  }
  Unlock();
}

void TSoundManager::Update() {
  Lock();
  if (mClock.GetTime() >= RefillPeriod) {
    mClock.Reset();
    mClock.Start();
    // Ended streams wait in the finished list for the main thread, whoever runs the pass:
    // dropping them here would leave their owners waiting forever.
    TStreamList& playing = mImpl->playing;
    for (size_t i = 0; i < playing.size();) {
      std::shared_ptr<TSoundStream> stream = playing[i];
      if (stream->FillHalf(false)) {
        ++i;
        continue;
      }
      playing.erase(playing.begin() + long(i));
      mImpl->finished.push_back(std::move(stream));
    }
  }
  Unlock();
}

void TSoundManager::DispatchFinishedStreams() {
  TStreamList ended;
  Lock();
  ended.swap(mImpl->finished);
  Unlock();
  for (const std::shared_ptr<TSoundStream>& stream : ended) {
    if (std::shared_ptr<TStreamNotify> listener = stream->GetListener()) listener->OnStreamFinished(stream);
  }
}

float TSoundManager::GetGroupVolume(int group) {
  Lock();
  double volume = mImpl->masterVolume;
  auto it = mImpl->groupVolumes.find(group);
  if (it != mImpl->groupVolumes.end()) volume *= it->second;
  Unlock();
  return float(volume);
}

void TSoundManager::SetMasterVolume(float volume) {
  Lock();
  mImpl->masterVolume = volume;
  ApplyVolumes();
  Unlock();
}

void TSoundManager::SetGroupVolume(int group, float volume) {
  Lock();
  mImpl->groupVolumes[group] = volume;
  ApplyVolumes();
  Unlock();
}

void TSoundManager::ApplyVolumes() {
  Lock();
  for (const std::shared_ptr<TSoundStream>& stream : mImpl->playing) ApplyStreamVolume(*stream);
  Unlock();
}

void TSoundManager::ApplyStreamVolume(TSoundStream& stream) { stream.SetVolume(GetGroupVolume(stream.GetGroup())); }

void TSoundManager::SetActive(bool active) {
  Lock();
  mActive = active;
  for (const std::shared_ptr<TSoundStream>& stream : mImpl->playing) stream->SetPaused(!active);
  if (active) ApplyVolumes();
  Unlock();
}

std::shared_ptr<TSoundMixer> TSoundManager::GetMixer() const {
  mImpl->mutex.lock();
  std::shared_ptr<TSoundMixer> mixer = mImpl->mixer;
  mImpl->mutex.unlock();
  return mixer;
}

bool TSoundManager::IsSoundThread() const {
  return mImpl->started && mImpl->threadId == std::this_thread::get_id();
}

size_t TSoundManager::GetPlayingCount() const {
  std::lock_guard<std::recursive_mutex> lock(mImpl->mutex);
  return mImpl->playing.size();
}

size_t TSoundManager::GetFinishedCount() const {
  std::lock_guard<std::recursive_mutex> lock(mImpl->mutex);
  return mImpl->finished.size();
}
