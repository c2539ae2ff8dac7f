#pragma once
// TCutsceneWindow ("CutsceneWindow"): the screen of a dialogue cutscene. On a full-screen
// stage one or two characters stand left and right, with a speech box on each side, a name
// box, a letter that can show in the middle, border bands at the top and bottom, a
// click-to-continue text and a narration line over the bottom border. It plays the script of
// its CCutscene one step at a time: a click shows the next step, a speaker step without text
// passes at once, a shake step shakes the background and the characters for a set time
// (blocking input), and after the last step the scene finishes. The play clock stands still
// while a cutscene window exists.
//
// Showing a step, by the speaker's stage position:
//   0 narration: the text in "envText"; speech boxes and name cleared and hidden; the
//     pictures and their tints stay as they were.
//   1, 2 left or right: the speaker's picture for the step's mood on that side, the speaker
//     in full colour and the other side dimmed ("csCharakterAlphaOnInactive"); with a text,
//     the speaker's speech box and the name box; the letter text is cleared.
//   3 letter: the speaker's picture for the mood centred as the letter, its text inside it
//     ("csWLetterTextBoxBorderX/Y"); the letter picture stays until the next letter.
//   4 shake: speech boxes cleared, both sides in full colour, the shake begins.
// A step's sound file plays in place of the last step's sound.
//
// The window finds its children by name each time. Its four script functions
// ("StartCutscene", "StopCutscene", "PauseCutscene", "ResumeCutscene") set the playback
// state, which nothing else reads; when the window goes they are removed, each only while it
// still refers to this window.
//
// Main thread only.

#include <cstdint>
#include <memory>

#include "scenes/scene.h"

class CCutscene;
class CCutsceneCharacter;
class TCutsceneCharacterWindow;
class TSound;

class TCutsceneWindow : public TScene {
 public:
  TARVELON_CLASS_ID()
  // Playback states.
  enum : int32_t { Running = 0, Stopped = 1, Paused = 2 };

  // Binds the four script functions and pauses the play clock.
  TCutsceneWindow();
  // Removes the four names (while they still refer to this window) and lets the play clock
  // run again.
  ~TCutsceneWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TCutsceneWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TScene::IsKindOf(id); }
  // The thirteen stage windows, then the scene's own layers (behind and above them).
  void PostCreate(TWindowStyle& style) override;
  // The shake, then the scene's frame step.
  bool Animate() override;
  // A click that the scene base does not take shows the next step.
  bool OnMouseDown(TPoint point) override;
  // Sets the stage up and shows the current step.
  void OnFadeInCompleted() override;
  // Back to step 1 for a later visit, then on to the flow's current scene.
  void ExitScene() override;

  // ---- The script functions ----
  void StartCutscene();
  void StopCutscene() { mPlaybackState = Stopped; }
  void PauseCutscene();
  void ResumeCutscene();

  int32_t GetPlaybackState() const { return mPlaybackState; }
  bool IsShaking() const { return mShaking; }
  CCutscene& GetCutscene() const { return *mCutscene; }

 private:
  // The stage windows of PostCreate, back to front: the name and speech boxes; "charWindow"
  // with "letterText"; the border bands, the click-to-continue text and the narration.
  void AddSpeechBoxes();
  void AddCharacterLayer();
  void AddBandsAndTexts();
  // Shows the current step; a speaker step without text passes on to the next one (or
  // finishes the scene after the last).
  void ShowCurrentStep();
  // Shows the step; answers whether it passes at once.
  bool ShowStep();
  void ShowSpeaker(int32_t position, const CCutsceneCharacter& speaker, int32_t mood, const TString& text);
  void ShowLetter(const CCutsceneCharacter& speaker, int32_t mood, const TString& text);
  void PlayStepSound(const TString& file);
  void SetUpStage();
  void SetCharacterImage(int32_t position, const TString* file, int32_t offsetX);
  // The letter picture centred on the screen; its rectangle.
  TRect SetLetterImage(const TString* file);
  void HighlightSpeaker(int32_t position);
  void DimCharacter(int32_t position);
  void UndimCharacter(int32_t position);
  void ClearText(const char* name);
  void ShowBackground(const char* name, bool shown);
  // Clears the three speech and name texts and hides their backgrounds.
  void HideSpeechBoxes();
  // Moves "bg" and "charWindow" by the shake's phase (or back to rest).
  void PlaceShaken(TPoint bg, TPoint characters);
  void StepShake();
  // The speaker of the current step and its stage position (-1 without one).
  const CCutsceneCharacter* CurrentSpeaker() const;
  TCutsceneCharacterWindow* CharacterWindow();

  CCutscene* mCutscene = nullptr;  // CGame's (not owned) or mStandIn
  std::unique_ptr<CCutscene> mStandIn;
  int32_t mPlaybackState = Paused;
  int32_t mSavedState = Paused;
  std::shared_ptr<TSound> mStepSound;
  uint32_t mShakeStart = 0;  // scene clock time the running shake began
  bool mShakeBegun = false;
  bool mShaking = false;
  bool mShakePeriodReported = false;
  TWindowBinding mCutsceneBinding{this};
};
