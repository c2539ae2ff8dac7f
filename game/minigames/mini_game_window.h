#pragma once
// TMiniGameWindow: the base window of the twelve mini-game screens. A mini-game screen is a
// full scene window (TScene: fades, overlay, briefing, pause key, cursor styles, sounds,
// "spriteWindow" for the pieces); this base adds what all of them share:
// - "animationWindow", a full-screen sprite window above the scene's sprite window, with the
//   skip button (kind 4: counts a skipped mini-game and finishes the scene) and the menu
//   button (kind 5: opens the pause script), both from CGame's mini-game button values, each
//   with its label; a scene of seqId 77777 gets neither;
// - the briefing gate: while the global "showBriefingWindow" is set, clicks and moves are
//   swallowed (the flow still hears of the pointer);
// - the hover: the cursor "use" over a clickable piece, a glow over either button;
// - the win test IsWon, also the Lua global "IsWon" of the newest mini-game window (made
//   harmless when that window goes).
//
// How a game window derives from it:
// - its constructor casts the scene model with GameModel<CItsGame>() (never null: a stand-in
//   serves when the scene is of another kind), loads its sounds with LoadSoundAs and, where
//   its rules say so, pauses the play clock (HighscoreSystem::PausePlay, resumed in its
//   destructor);
// - PostCreate lays its pieces out (in GetSpriteWindow() or GetAnimationWindow()) and calls
//   TMiniGameWindow::PostCreate, before or after, as its rules say;
// - OnMouseDown / OnMouseMove apply the gate (IsBriefingShown), act only while
//   IsInputOpen(), and hand what they do not use to TMiniGameWindow's;
// - a derived Animate calls TMiniGameWindow::Animate (the scene's frame step) once a frame;
// - IsWon answers its model's win test; a win plays "WonSound" (PlayGameSound) and calls
//   FinishScene.
// Pointer hiding and warping (the labyrinth's drag, the shark shooter's diver) go through
// HidePointer / ShowPointer / WarpPointer, which reach the platform.
//
// Main thread only.

#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "platform/point.h"
#include "scenes/scene.h"
#include "scenes/window_binding.h"

class CGame;
class GeneralSprite;
class TSprite;
class TSpriteWindow;

// Kind numbers of the two buttons in the animation window.
enum TMiniGameButtonKind : int32_t {
  SpriteKindSkipButton = 4,
  SpriteKindMenuButton = 5,
};

class TMiniGameWindow : public TScene {
 public:
  TARVELON_CLASS_ID()
  // A scene of this sequence number shows neither button.
  static constexpr int32_t NoButtonsSeqId = 77777;

  // Binds "IsWon" to this window and makes the animation window ("screenwidth" x
  // "screenheight" at (0, 0)).
  TMiniGameWindow();
  ~TMiniGameWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TMiniGameWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TScene::IsKindOf(id); }

  // The skip and menu buttons, then the scene's own set-up (after which the scene counts as
  // started).
  void PostCreate(TWindowStyle& style) override;
  // The gate; the buttons while the scene runs; else the scene's click handling.
  bool OnMouseDown(TPoint point) override;
  // The gate; the "use" cursor over a clickable piece; the buttons' glow; else the scene's.
  bool OnMouseMove(TPoint point) override;

  // Whether the mini-game is solved; the base is never solved.
  virtual bool IsWon() { return false; }
  // What the Lua "IsWon" calls: the window's own win test.
  bool CallIsWon() { return IsWon(); }
  // Brings the buttons, where they stand in the scene's sprite window, in front of the
  // sprites added before them; buttons elsewhere stay as they are.
  void BringButtonsToFront();

  TSpriteWindow* GetAnimationWindow() const { return mAnimationWindow; }

 protected:
  // The global "showBriefingWindow": input is swallowed while it is set.
  static bool IsBriefingShown();
  // The scene has started and is not finishing: the game takes input.
  bool IsInputOpen() const { return mSceneStarted && !mSceneFinished; }
  // A sound of the scene's sound map by name, stopped first, not looped; silent when the
  // model named no file for it.
  void PlayGameSound(const char* name) { PlaySoundByName(name, 0, true, true); }
  // The shared sounds of a refused or lost move ("lose") and of a win ("win"), of the
  // games whose models name no sounds of their own.
  void LoadWinAndLoseSounds();
  // Counts the mini-game as completed and shows its bonus at the point.
  void ShowCompletionBonus(TPoint point);
  // The game model the window was made in is still there: false while the game quits or
  // after the player's model was made anew, when a destructor must leave the model alone.
  bool IsGameModelAlive() const;
  // The pointer of the platform: hidden or shown, and moved to a point of the screen.
  static void HidePointer();
  static void ShowPointer();
  static void WarpPointer(TPoint point);
  // The binding of this window's Lua globals ("IsWon" and a game's own), made harmless
  // when the window goes.
  TWindowBinding& Binding() { return mMiniGameBinding; }
  // A full-screen sprite window of that name, not yet attached.
  static std::unique_ptr<TSpriteWindow> MakeSpriteWindow(const char* name);
  // Where the engine sprite stands (its translation), and moving it there with a fresh draw
  // record: alpha 1, scale 1, the position as the image's top-left corner.
  static TVec2 SpritePosition(const TSprite& sprite);
  static void PlaceSprite(TSprite& sprite, TVec2 position);
  // The size of a record's image in pixels; 0 x 0 when it has none.
  static TPoint ImageSize(const GeneralSprite& sprite);

 private:
  void AddSkipButton();
  void AddMenuButton();
  // The button's glow follows the hover: on while the hit sprite is the button, else off.
  void FollowHover(const char* buttonName, bool hitValid, int32_t hitIndex);

  TSpriteWindow* mAnimationWindow = nullptr;  // a child of this window
  const CGame* mGameAtStart = nullptr;        // the game model at construction, only compared
  TWindowBinding mMiniGameBinding{this};
};
