#pragma once
// THiddenObjectGameWindow ("HiddenObjectGame"): the screen of a hidden-object scene. Each
// hidden object is a sprite (kind 12, named by the object's id); the sidebar lists what is
// to be found. A click on an object still to find counts the hit, shows its bonus at the
// pointer, marks the object found (the sidebar strikes its entry out and, once nothing is
// left, wins the scene), flies the object to the sidebar ("hogDestXObj", "hogDestYObj" at
// "hogDestSpeedObj"), plays "HitSound" and runs the object's "OnPickedUp" command. Any other
// click plays "MissSound" and, right of the sidebar (x above 161), counts a miss; enough
// misses in a short time start the click penalty, which turns the pointer along a spiral
// for a while. The sidebar's hint button circles an object still to find (ShowHint).
//
// The window observes its model; a current scene of another kind gives an empty scene
// (and a log line).

#include <memory>

#include "scenes/scene.h"

class CGame;
class CHiddenObjectGame;

class THiddenObjectGameWindow : public TScene {
 public:
  TARVELON_CLASS_ID()
  // Binds "ResetHOG", "AddFixItem", "FillHOGList", "SetInventoryOnWon" and
  // "IsItemAlreadyFound"; loads the scene's hit and miss sounds; starts the scene's score
  // timers; hides the objects already found.
  THiddenObjectGameWindow();
  // Ends the scene's score timers; detaches from the model while its game stands.
  ~THiddenObjectGameWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "THiddenObjectGameWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TScene::IsKindOf(id); }
  // The scene's layers, the object sprites, the sidebar (with its item list) and the
  // overlays that stand above the sidebar.
  void PostCreate(TWindowStyle& style) override;
  // The click penalty's spiral, then the scene's frame step.
  bool Animate() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  // The object sprites follow the model.
  void Notify(CObservedSubject* subject) override;

  // Circles an object still to find with the hint effect, unless a hint runs.
  void ShowHint();

  // ---- Script functions ----
  void ResetHOG();
  void AddFixItem(const TString& id);
  void FillHOGList();
  void SetInventoryOnWon(const TString& item);
  bool IsItemAlreadyFound(const TString& id);

  CHiddenObjectGame* GetHiddenObjectGame() const { return mGame; }
  float GetPenaltyAngle() const { return mPenaltyAngle; }

 private:
  void Miss(TPoint point);
  void StepClickPenalty();

  CHiddenObjectGame* mGame = nullptr;  // CGame's model or mStandIn
  std::unique_ptr<CHiddenObjectGame> mStandIn;
  CGame* mOwner = nullptr;  // the game that owns the model; not owned
  bool mAttached = false;
  float mPenaltyAngle = 0;  // degrees
  TWindowBinding mHiddenObjectBinding{this};
};
