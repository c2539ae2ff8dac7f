#pragma once
// TOptionsWindow: the window of the options dialog, created by its window script
// ("OptionsWindow"), which builds the controls and switches the display mode and the sound
// through the settings functions ("ToggleFullScreen", "ToggleSoundMute"). The window keeps
// the toggles "fullscreen" and "mutebox" in step, sets the volumes live while the sliders
// "sfxlevelslider" and "musiclevelslider" move (a test sound for the effects), and stores
// both volumes for the current player when the script calls "SaveVolumes". Without a
// current player the install-wide values are read and written.

#include <memory>

#include "scenes/window_binding.h"
#include "windows/window.h"

class TSound;

class TOptionsWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // Binds "SaveVolumes".
  TOptionsWindow();
  ~TOptionsWindow() override;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TOptionsWindow>(); }

  const char* GetClassName() const override { return "TOptionsWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // Brings the controls to the display mode and the stored values; the sliders report their
  // values at once, which applies the stored volumes without the test sound.
  void PostCreate(TWindowStyle& style) override;
  // Slider changes set the group volumes (effects: groups 1000 and 0, with the test sound;
  // music: group 1001) and are consumed; a press of "fullscreen" sets its toggle to the
  // display mode and goes on to the script.
  bool OnMessage(TMessage& message) override;

  // Each volume in thousandths: "soundlevel" and "musiclevel", committed.
  void SaveVolumes();
  // A slider value in whole thousandths, cut toward zero (0.4567 is 456). A stored level
  // read back as a value gives that level again, so opening and saving keeps it.
  static int32_t VolumeLevel(float value);

  // The sound that a change of the effects volume plays.
  static constexpr const char* TestSoundName = "standard/audio/sfx/positive_sound.ogg";

 private:
  void PlayTestSound();

  std::shared_ptr<TSound> mTestSound;
  // The first effects change is PostCreate's own: it plays no test sound.
  bool mFirstChange = true;
  TWindowBinding mBinding{this};
};
