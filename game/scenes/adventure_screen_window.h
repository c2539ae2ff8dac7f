#pragma once
// TAdventureScreenWindow ("AdventureScreenWindow"): the screen of a point-and-click room, and
// of a placing-object scene. It shows the room's scene objects (sprites of kind 26 named by
// the object's id) and the images of its exits (kind 28), the room's text boxes and the
// sidebar (screen type 0 for a placing-object scene, 1 otherwise). A click runs the command
// of the active hotspot under it and then acts on the object under it: a pickable object
// gives its item (to the game's inventory) with the pick-up window, another shows its info
// text or runs its "OnPickedUp" command. The cursor shows use (4) over pickable objects and
// look (3) over the others. Scripts fade objects out ("FadeOut"), change how often they can
// be picked up and their texts, and set the cursor's picture.
//
// On a placing-object scene the inventory functions of the scene ("AddInventoryItem",
// "RemoveInventoryItem") work on the scene's own inventory, the items to place.
//
// The window observes its model and brings the object sprites up to date when it
// notifies. A current scene of another kind gives an empty room (and a log line).

#include <memory>
#include <vector>

#include "scenes/scene.h"

class CAdventureScreen;
class CGame;
class CInventory;
class CSceneObject;

class TAdventureScreenWindow : public TScene {
 public:
  TARVELON_CLASS_ID()
  // Binds "SetTimesPickable", "FadeOut", "SetTextForSceneObject" and "SetOtherCursorStyle".
  TAdventureScreenWindow();
  // Detaches from the model while the game that owns it stands.
  ~TAdventureScreenWindow() override;

  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TAdventureScreenWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TScene::IsKindOf(id); }
  // The scene's layers, then the exit images, the objects, the sidebar and the text boxes.
  void PostCreate(TWindowStyle& style) override;
  // The object fades, then the scene's frame step.
  bool Animate() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  void OnAddInventoryItem(const TString& item) override;
  void OnRemoveInventoryItem(const TString& item) override;
  // The object sprites follow the model.
  void Notify(CObservedSubject* subject) override;

  // ---- Script functions ----
  void SetTimesPickable(const TString& id, int32_t times);
  void FadeOut(const TString& id);
  void SetTextForSceneObject(const TString& id, const TString& text);
  void SetOtherCursorStyle(const TString& texture);

  CAdventureScreen* GetAdventureScreen() const { return mAdventureScreen; }
  const std::vector<TString>& GetFadeOutList() const { return mFadeOutList; }

 private:
  void AddExitImages();
  void AddSceneObjects();
  void AddSidebar(TWindowStyle& style);
  void AddTextboxes();
  void PickUp(CSceneObject& object);
  // The placing-object scene's own inventory, or null on an adventure screen.
  CInventory* PlacingInventory() const;

  CAdventureScreen* mAdventureScreen = nullptr;  // CGame's model or mStandIn
  std::unique_ptr<CAdventureScreen> mStandIn;
  CGame* mGame = nullptr;  // the game that owns the model; not owned
  bool mAttached = false;
  std::vector<TString> mFadeOutList;
  TWindowBinding mAdventureBinding{this};
};
