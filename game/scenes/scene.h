#pragma once
// TScene: the base window of every in-game screen ("SceneWindow"): the adventure, chapter,
// hidden-object and cutscene screens and the mini-game windows derive from it. One scene
// window lives for one visit of one scene. It
// - shows the scene model that CGame names as current (CGame owns it; the window points);
// - builds the layers every screen shares (scene_layers.cpp): background, the scene's text
//   boxes, the next-searched-item box, the candle frame, sky, hint and darkness layers, the
//   info box, the briefing box, the in-game cutscene bars with the skip button, the
//   tutorial box and on top of all the "transition" overlay;
// - binds the scene's 45 script functions as Lua globals (scene_script_api.cpp); a later
//   scene window binds them to itself, and when this one goes they are made harmless;
// - runs its frame step every 25 ms (scene_frame.cpp): ambient sound, hint spiral, the fade
//   of the overlay, exit glows, info box, in-game objects and bonus texts
//   (scene_ingame_objects.cpp), briefing and in-game cutscene bars (scene_briefing.cpp),
//   the pause on focus loss, the input block, the next-item box and the darkness;
// - answers mouse and keys with the cursor styles (scene_input.cpp);
// - fades in on entry ("fadeInCompleted"), hands every scene change to the game's flow and
//   opens the next scene once it has faded out ("fadeOutCompleted").
//
// The window's name, place and size come from its window script, not from Init: scripts
// name it "scene" (SetWindowName), which is how the flow finds the screen to fade out.
//
// Virtual slots that derived screens replace, each calling the TScene operation of the same
// name where it keeps the shared behaviour:
//   Init, PostCreate, Animate (a derived Animate must call TScene::Animate once per frame:
//   fades, clocks and overlays advance only there), OnMouseDown, OnMouseMove, OnChar,
//   FinishScene (once per visit: on to the model's next scene with a fade; "Skip" calls it),
//   OnAddInventoryItem / OnRemoveInventoryItem (the game inventory; "AddInventoryItem" and
//   "RemoveInventoryItem" call them), OnFadeInCompleted (back to the main menu when the
//   global "endGame" is set), ExitScene (opens the flow's current scene), and the CObserver
//   part's Notify (nothing here: TScene attaches to no model; a derived screen that
//   attaches detaches in its own destructor).
// Derived windows keep their own pointer to the model cast to their model class.
//
// Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "graphics/math/vector_math.h"
#include "model/observed_subject.h"
#include "platform/clock.h"
#include "platform/engine_string.h"
#include "platform/point.h"
#include "scenes/fade_in_out_interface.h"
#include "scenes/window_binding.h"
#include "scenes/window_glows.h"

class CScene;
class CSceneHotspot;
class TImage;
class TSound;
class TSprite;
class TSpriteWindow;
class TTextbox;
class TFxSprite;
class TFxSpriteAnimTask;

class TScene : public TFadeInOutInterface, public CObserver {
 public:
  TARVELON_CLASS_ID()

  // One in-game object on show or scheduled (scene_ingame_objects.cpp).
  struct InGameObjectEntry {
    TString name;  // "InGameObject" + its index: its sprite in spriteWindow and its text box
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;
    int32_t top = 0;
    TString text;  // empty: no text box
    int32_t startTime = 0;
    int32_t duration = 0;
    bool clickable = false;
    bool clickInside = false;
    bool chained = false;
    int32_t shownAt = -1;
    int32_t endAt = -1;
    bool started = false;
    bool finished = false;
    bool fadedIn = false;
    bool dismissed = false;
    bool removeAtOnce = false;
    TString script;
    bool runScript = false;
    // Set by ShowInGameObjectPartTwo: an entry that never got its timing never comes due.
    bool scheduled = false;
  };

  // Takes the current scene model of CGame (a stand-in without objects when there is
  // none), binds the script functions, seeds the game's generator from the wall clock,
  // empties the sprite animator and reads the settings of the fade, info box, briefing box
  // and hint spiral.
  TScene();
  // Ends the glows and the hint spiral's clock link this window made; the script
  // functions become harmless.
  ~TScene() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TScene"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TFadeInOutInterface::IsKindOf(id); }

  // ---- Window slots ----
  // Binds "SendGameMessage", starts the frame step (every 25 ms, no catch-up), reads the
  // style's "rows" and "columns" and takes its modal's focus. No name and no layout.
  void Init(TWindowStyle& style) override;
  // The layers, the music, the style's fit and layout, the model's init script; then the
  // scene clock starts and the scene counts as started.
  void PostCreate(TWindowStyle& style) override;
  // Draws rootSprite over the window.
  void PostDraw() override;
  // The frame step; always true.
  bool Animate() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool OnChar(uint8_t character) override;
  // The modal goes (its clock with it): the glows and the particle task leave its clock.
  void OnModalPopped() override { ReleaseSceneClock(); }

  // ---- Scene slots ----
  virtual void FinishScene();
  virtual void OnAddInventoryItem(const TString& item);
  virtual void OnRemoveInventoryItem(const TString& item);
  virtual void OnFadeInCompleted();
  virtual void ExitScene();
  void Notify(CObservedSubject* subject) override {}

  // ---- Game messages: "quit", "fadeInCompleted", "fadeOutCompleted"; others do nothing.
  void SendGameMessage(const TString& message);

  // ---- Services for the screens and mini-games ----
  // Cursor styles 0 to 10 (scene_input.cpp); the number is stored whatever it is.
  void SetCursorStyle(int32_t style);
  int32_t GetCursorStyle() const { return mCursorStyle; }
  // The cursor becomes the texture of that name (hot spot 0, 0).
  void SetCursorImage(const TString& textureName);
  // The image name the cursor last got from this window ("" before any).
  const TString& GetCursorImage() const { return mCursorImage; }
  // The sound of that name from the scene's cache, loaded (group 1000) on a miss; an
  // unloadable sound stays cached as empty.
  std::shared_ptr<TSound> GetSound(const TString& name);
  // Loads a sound file (group 1000) into the cache under a name of the screen's own
  // ("HitSound", "WonSound"); an unloadable file leaves the name empty (silent).
  void LoadSoundAs(const TString& name, const TString& file);
  // A cached sound only: stop its copies (stop), start a new one (play) with the loop flag.
  void PlaySoundByName(const TString& name, int32_t loop, bool stop, bool play);
  uint32_t GetClockTime() const { return mSceneClock.GetTime(); }
  // Input is swallowed from delay ms of scene time on, for duration ms.
  void BlockInput(int32_t delay, int32_t duration);
  // The first active hotspot of the model that holds the point, or null.
  CSceneHotspot* FindHotspotAt(TPoint point);
  void ShowBonusAsText(TPoint point, int32_t amount);
  void StartHintSpiral(int32_t x, int32_t y);
  // Circles the point when the current scene lies in the target place, else the active
  // exit of this scene on the first path of the place tables towards it.
  void ShowHintAt(const char* targetLocation, int32_t x, int32_t y);
  // The id of the active exit of the current scene that starts a path from `from' to
  // `target' through the place tables; "" when none. Depth first, the first path found.
  TString FindExitTowards(std::vector<TString> visited, const char* from, const char* target);
  void ShowInfoBox(const TString& text);
  void ShowBriefingEntry(int32_t index);
  void MoveCandleWindow(TPoint point);

  // ---- The script functions (scene_script_api.cpp and the files of their overlays) ----
  void AddInventoryItem(const TString& item) { OnAddInventoryItem(item); }
  void RemoveInventoryItem(const TString& item) { OnRemoveInventoryItem(item); }
  void ResetInventory();
  void SetTextForInventoryItem(const TString& item, const TString& text);
  void SetTextForHotspot(const TString& id, const TString& text);
  void SetTextForExit(const TString& id, const TString& text);
  void StartInGameCutscene(int32_t delay, int32_t duration);
  void ShowInGameObjectPartOne(const char* image, int32_t x, int32_t y, const char* label, bool removeAtOnce,
                               const char* script);
  void ShowInGameObjectPartTwo(int32_t delay, int32_t duration, bool clickable, bool clickInside, bool chained);
  void ShowOneLineText(int32_t x, int32_t y, int32_t size, const char* colour, const char* font, const char* label);
  void ShowBriefingWindow(const TString& label, uint32_t delay, int32_t duration, bool nextOnClick);
  void ResumePlay() { mSceneClock.Start(); }
  void SetSky(const char* image, bool visible);
  void ShowInfoText(const TString& label);
  void SetActiveHotspot(const TString& id, bool active);
  void SetActiveExit(const TString& id, bool active);
  void SetExit(const TString& id, int32_t scene);
  void PlaySoundSFX(const char* name);
  void Skip() { FinishScene(); }
  void ShowBonusAsTextInSidebar(uint32_t amount);
  void ShowBonusAsTextOnMousePos(uint32_t amount);
  void SetNextScene(int32_t scene);
  void ShowNextInvItem(const char* background, const char* item);
  void KillNextInvItem();
  void SetTutorialImage(const char* image);
  void SetTutorialText(const char* label);
  void SetTutorialVisible(bool visible);
  void SetTutorialTextPosition(int32_t x, int32_t y, uint32_t width, uint32_t height);
  void SetTutorialTextColor(float red, float green, float blue, float alpha);
  void SetAlphaOfBlack(int32_t percent);
  void AddDiaryNewChapter();
  void AddDiaryConstantText(uint32_t period, const char* text, uint32_t size, const char* font, int32_t x, int32_t y);
  void AddDiaryConstantImage(uint32_t period, const char* image, int32_t x, int32_t y);
  void AddDiaryConstantSiteEnd(uint32_t period);
  void AddDiaryText(const char* text, uint32_t size, const char* font, int32_t x, int32_t y);
  void AddDiaryImage(const char* image, int32_t x, int32_t y);
  void AddDiarySiteEnd();
  int32_t GetDiaryCurrentSitePosX();
  int32_t GetDiaryNextFreePosY();
  uint32_t GetDiaryInsertSite();
  // 0 clear to 255 covering; values outside are taken as the nearer end.
  void SetTransitionAlpha(int32_t value);
  void SetCandleWindowVisible(bool visible);
  void SetAllTextBoxesAlpha(float alpha);

  // ---- State the screens and tests read ----
  CScene* GetModel() const { return mModel; }
  TSpriteWindow* GetSpriteWindow() const { return mSpriteWindow; }
  TSpriteWindow* GetHintWindow() const { return mHintWindow; }
  const std::shared_ptr<TSprite>& GetRootSprite() const { return mRootSprite; }
  void SetRootSprite(std::shared_ptr<TSprite> sprite) { mRootSprite = std::move(sprite); }
  bool IsSceneStarted() const { return mSceneStarted; }
  bool IsSceneFinished() const { return mSceneFinished; }
  bool IsInputBlocked() const { return mInputBlocked; }
  float GetTransAlpha() const { return mTransAlpha; }
  int32_t GetFadeStepCount() const { return mFadeStepCount; }
  int32_t GetRows() const { return mRows; }
  int32_t GetColumns() const { return mColumns; }
  uint32_t GetNextAtmoDelay() const { return mNextAtmoDelay; }
  bool IsHintSpiralActive() const { return mHintSpiralActive; }
  float GetHintSpiralPhase() const { return mHintSpiralPhase; }
  TVec2 GetHintSpiralPos() const { return mHintSpiralPos; }
  TPoint GetHintSpiralCentre() const { return mHintSpiralCentre; }
  const std::vector<InGameObjectEntry>& GetInGameObjects() const { return mInGameObjects; }
  const std::vector<int32_t>& GetInGameObjectsDue() const { return mInGameObjectsDue; }
  size_t GetBonusTextCount() const { return mBonusTextBoxes.size(); }
  bool IsBriefingVisible() const { return mBriefingVisible; }
  int32_t GetBriefingCurrent() const { return mBriefingCurrent; }
  bool IsInGameCutsceneRunning() const { return mInGameCutsceneRunning; }
  bool IsInGameCutsceneClicked() const { return mInGameCutsceneClicked; }
  bool IsNextItemBoxActive() const { return mNsiActive; }

 protected:
  // The scene model as the screen's own model class. A scene of another kind (which no scene
  // script pairs with this screen) gets an empty model of the class, owned by standIn, with
  // a log line, so that the screen always has a model to read.
  template <class Model>
  Model* GameModel(std::unique_ptr<Model>& standIn) {
    if (auto* model = dynamic_cast<Model*>(mModel)) return model;
    ReportForeignModel();
    standIn = std::make_unique<Model>();
    return standIn.get();
  }
  // A child of that name and class, or null.
  TImage* FindImage(const char* name);
  TTextbox* FindTextbox(const char* name);
  // Shows a box: the text box takes the text, both windows alpha 1.
  void RevealBox(const char* background, const char* textbox, const TString& text);
  // Runs Lua text with this window as the script's current window.
  void RunLua(const TString& chunk);
  // Opens the modal script named by the setting (DoModal); an empty setting opens nothing.
  void OpenModalScript(const char* settingKey);
  // A glow around the sprite on this window's animation clock, unless it glows already. The
  // window ends the glows it made when it goes, as their tasks run on its clock.
  void AddGlowOnSceneClock(const std::shared_ptr<TSprite>& sprite);
  // Ends those glows and puts the particle task back on the engine timer; once.
  void ReleaseSceneClock();

  CScene* mModel = nullptr;  // never null: CGame's current scene or mStandInModel
  TSpriteWindow* mSpriteWindow = nullptr;  // owned by mPendingSpriteWindow, then by the tree
  TSpriteWindow* mHintWindow = nullptr;
  int32_t mCursorHeight = 0;
  int32_t mRows = 0;
  int32_t mColumns = 0;
  std::shared_ptr<TSprite> mRootSprite;
  TClock mSceneClock;
  int32_t mCursorStyle = 2;
  bool mSceneStarted = false;
  bool mSceneFinished = false;
  bool mInputBlocked = false;

 private:
  // The log line of GameModel's stand-in.
  void ReportForeignModel() const;
  // ---- scene_layers.cpp ----
  void AddLayers();
  void AddModelTextboxes();
  void AddNextItemBox();
  void AddCandleFrame();
  void AddInfoBox();
  void AddBriefingBox();
  void AddCutsceneBars();
  void AddTutorialBox();
  // ---- scene_script_api.cpp ----
  void BindScriptFunctions();
  // ---- scene_frame.cpp, in the order of the frame step ----
  void StepAmbientSound();
  void StepOverlayFade();
  void StepExitGlows();
  void StepInfoBox();
  // The info box below the cursor (the background first).
  void PlaceInfoBoxAtCursor();
  void StepPauseOnFocusLoss();
  void StepInputBlock();
  void StepNextItemBox();
  void StepDarkness();
  // ---- scene_hint.cpp ----
  void StepHintSpiral();
  // ---- scene_ingame_objects.cpp ----
  void StepInGameObjects();
  void StepBonusTexts();
  // The entry's sprite (its engine sprite in use) and text box.
  std::shared_ptr<TSprite> EntrySprite(const InGameObjectEntry& entry);
  TTextbox* EntryTextbox(const InGameObjectEntry& entry);
  // ---- scene_briefing.cpp ----
  void StepBriefing();
  void StepCutsceneBars();
  void FadeBriefingStep();
  void EndBriefingEntry(int32_t index);
  // ---- scene_input.cpp ----
  bool ClickInGameObjects(TPoint point);
  bool ClickExits(TPoint point, bool handled);
  void ApplyCursorTexture(const TString& name, int32_t hotX, int32_t hotY);

  std::unique_ptr<CScene> mStandInModel;
  std::unique_ptr<TWindow> mPendingSpriteWindow;
  std::unique_ptr<TWindow> mPendingHintWindow;
  TString mCursorImage;

  std::vector<TTextbox*> mBonusTextBoxes;  // children of this window
  std::vector<float> mBonusTextAlphas;

  float mTransAlpha = 0;
  float mInfoBoxAlpha = 0;
  float mInfoBoxTransModifier = 0;
  TClock mInfoBoxClock;
  bool mFadeInReported = false;
  bool mFadeOutReported = false;
  // The briefing modal of "scriptBriefingWindow" opens once per visit.
  bool mBriefingModalOpened = false;
  int32_t mFadeStepCount = 0;

  std::map<TString, std::shared_ptr<TSound>> mSounds;
  TClock mAtmoClock;
  uint32_t mNextAtmoDelay = 2000;
  bool mAtmoBoundsReported = false;

  float mBriefingAlpha = 1.0f;
  TClock mBriefingClock;
  float mBriefingFadeStep = 0.03f;
  bool mBriefingActive = false;
  int32_t mBriefingCount = 0;
  std::vector<TString> mBriefingTexts;
  std::vector<int32_t> mBriefingStarts;
  std::vector<int32_t> mBriefingDurations;
  std::vector<bool> mBriefingDone;
  std::vector<bool> mBriefingShown;
  std::vector<bool> mBriefingNextOnClick;
  int32_t mBriefingCurrent = 0;
  TPoint mBriefingBgSize;  // width, height
  TPoint mBriefingBgPos;
  bool mBriefingVisible = false;
  bool mBriefingClicked = false;

  TClock mInGameCutsceneClock;
  std::vector<int32_t> mInGameCutsceneStarts;
  std::vector<int32_t> mInGameCutsceneDurations;
  std::vector<bool> mInGameCutsceneInDone;
  std::vector<bool> mInGameCutsceneOutDone;
  int32_t mInGameCutsceneCount = 0;
  int32_t mInGameCutsceneCurrent = -1;
  bool mInGameCutscenePending = false;
  bool mInGameCutsceneRunning = false;
  bool mInGameCutsceneClicked = false;

  std::vector<int32_t> mInGameObjectsDue;
  std::vector<InGameObjectEntry> mInGameObjects;

  TClock mInputBlockClock;
  int32_t mInputBlockStart = 0;
  int32_t mInputBlockDuration = 0;

  std::shared_ptr<TFxSprite> mHintSpiralSprite;
  float mHintSpiralPhase = 0;
  TPoint mHintSpiralCentre;
  float mHintSpiralRadius = 0;
  float mHintSpiralAngle = 0;
  TVec2 mHintSpiralPos;
  bool mHintSpiralActive = false;
  float mHintRadiusSize = 0;
  float mHintRadiusOffset = 0;
  // The particle task whose clock this window set to its own (null: none).
  TFxSpriteAnimTask* mHintTask = nullptr;
  TClock* mHintTaskClock = nullptr;

  bool mNsiActive = false;
  int32_t mNsiStartTime = -1;
  TPoint mNsiPos{300, -600};
  TString mNsiBackgroundTexture{"standard/sprites/no_sprite"};
  TString mNsiItemTexture{"standard/sprites/no_sprite"};

  float mAlphaOfBlack = 0;
  bool mSkyVisible = false;
  TString mSkyImage;

  // The settings of modal scripts found empty (each is reported once).
  std::set<std::string> mUnsetScripts;
  // The glows this window made (scene clock tasks), ended when it goes.
  TWindowGlows mGlows{this};

  TWindowBinding mBinding{this};
};
