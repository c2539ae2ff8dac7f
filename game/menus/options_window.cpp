#include "menus/options_window.h"

#include "model/model_services.h"
#include "persistence/prefs_db.h"
#include "platform/settings.h"
#include "scenes/game_flow.h"
#include "sound/sound.h"
#include "sound/sound_manager.h"
#include "windows/button.h"
#include "windows/message.h"
#include "windows/slider.h"

namespace {

constexpr int EffectsGroup = 1000;
constexpr int UngroupedSounds = 0;
constexpr int MusicGroup = 1001;

struct TVolumeSlider {
  const char* slider;
  const char* key;
};
const TVolumeSlider VolumeSliders[] = {{"sfxlevelslider", "soundlevel"}, {"musiclevelslider", "musiclevel"}};

bool IsFullScreen() {
  IGameFlow* flow = GetGameFlow();
  return flow && flow->IsFullScreen();
}

void SetGroupVolume(int group, float volume) {
  if (TSoundManager* sounds = GetSoundManager()) sounds->SetGroupVolume(group, volume);
}

}  // namespace

TOptionsWindow::TOptionsWindow() { mBinding.Bind("SaveVolumes", this, &TOptionsWindow::SaveVolumes); }

TOptionsWindow::~TOptionsWindow() = default;

void TOptionsWindow::PostCreate(TWindowStyle& style) {
  if (auto* button = WindowCast<TButton>(FindChild("fullscreen"))) button->SetToggleState(IsFullScreen());
  TPlayerPrefs prefs = GetPlayerPrefs();
  int defaultLevel = GetConfig("defaultsoundvolume").ToInt();
  auto stored = [&](const char* key, int fallback) {
    return prefs.db ? prefs.db->GetInt(key, fallback, prefs.user) : fallback;
  };
  if (auto* button = WindowCast<TButton>(FindChild("mutebox"))) button->SetToggleState(stored("soundoff", 0) == 1);
  for (const TVolumeSlider& entry : VolumeSliders)
    if (auto* slider = WindowCast<TSlider>(FindChild(entry.slider)))
      slider->SetValue(float(stored(entry.key, defaultLevel)) / 1000.0f, false);
}

bool TOptionsWindow::OnMessage(TMessage& message) {
  const TString& name = message.GetName();
  if (message.GetType() == MessageSliderValChanged) {
    auto* slider = WindowCast<TSlider>(FindChild(name));
    if (!slider) return false;
    if (name == VolumeSliders[0].slider) {
      SetGroupVolume(EffectsGroup, slider->GetValue());
      SetGroupVolume(UngroupedSounds, slider->GetValue());
      if (!mFirstChange) PlayTestSound();
      mFirstChange = false;
      return true;
    }
    if (name == VolumeSliders[1].slider) {
      SetGroupVolume(MusicGroup, slider->GetValue());
      return true;
    }
    return false;
  }
  if (message.GetType() == MessageButtonPress && name == "fullscreen") {
    if (auto* button = WindowCast<TButton>(FindChild(name))) button->SetToggleState(IsFullScreen());
  }
  return false;
}

void TOptionsWindow::PlayTestSound() {
  mTestSound = TSound::Get(TestSoundName, 0, EffectsGroup);
  if (!mTestSound) return;
  mTestSound->StopAll();
  mTestSound->Play(false);
}

int32_t TOptionsWindow::VolumeLevel(float value) {
  // A level such as 251 comes back from its float value as 250.99998: the small allowance
  // keeps it 251, far below the step of a slider a player moves.
  return int32_t(double(value) * 1000.0 + 1e-4);
}

void TOptionsWindow::SaveVolumes() {
  WithPlayerPrefs("Options", "the volumes are not saved", [this](TPrefsDB& db, int user) {
    for (const TVolumeSlider& entry : VolumeSliders)
      if (auto* slider = WindowCast<TSlider>(FindChild(entry.slider)))
        db.SetInt(entry.key, VolumeLevel(slider->GetValue()), user, true);
  });
}
