// The only file of the sound code that knows SDL.

#include <SDL.h>

#include "sound/sound_mixer.h"
#include "sound/sound_output.h"

namespace {

class TSdlSoundOutput : public TSoundOutput {
 public:
  ~TSdlSoundOutput() override { Close(); }

  bool Open(const std::shared_ptr<TSoundMixer>& mixer, TString& error) override {
    Close();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      error = SDL_GetError();
      return false;
    }
    mMixer = mixer;
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = mixer->GetOutputRate();
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = &TSdlSoundOutput::Callback;
    want.userdata = this;
    SDL_AudioSpec have;
    // No format changes allowed: SDL converts when the device wants another format.
    mDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (mDevice == 0) {
      error = SDL_GetError();
      mMixer.reset();
      SDL_QuitSubSystem(SDL_INIT_AUDIO);
      return false;
    }
    SDL_PauseAudioDevice(mDevice, 0);
    return true;
  }

  void Close() override {
    if (mDevice == 0) return;
    SDL_CloseAudioDevice(mDevice);  // waits for the audio thread
    mDevice = 0;
    mMixer.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }

 private:
  static void SDLCALL Callback(void* user, Uint8* stream, int bytes) {
    auto* self = static_cast<TSdlSoundOutput*>(user);
    self->mMixer->Mix(reinterpret_cast<int16_t*>(stream), bytes / 4);
  }

  SDL_AudioDeviceID mDevice = 0;
  std::shared_ptr<TSoundMixer> mMixer;  // set before the device opens, cleared after it closes
};

}  // namespace

std::unique_ptr<TSoundOutput> CreateSdlSoundOutput() { return std::make_unique<TSdlSoundOutput>(); }
