#pragma once
// CAdventureScreen: the model of a point-and-click room: the scene's shared data, the room's
// scene objects in the order they were added, and the room's text boxes (CTextboxLayout).
// The screen window observes it; scripts change its objects by id.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/scene.h"
#include "model/scene_object.h"
#include "model/textbox_layout.h"
#include "platform/engine_string.h"

class CAdventureScreen : public CScene, public CTextboxLayout {
 public:
  using Objects = std::vector<std::unique_ptr<CSceneObject>>;

  // True for 18 only (a placing-object game answers its own type).
  bool IsOfType(int modelType) const override;
  // The object setters change the first object of that id and notify the observers, also
  // when no object has it.
  void SetObjectActive(const TString& id, bool active) override;
  bool IsObjectActive(const TString& id) const override;
  void SetObjectVisible(const TString& id, bool visible) override;
  void SetObjectAlpha(const TString& id, float alpha);
  // The MakeAdventureScreen record: the scene fields, the objects, the text-box block.
  void Serialize(std::string& out) const override;

  // Owns the object; a null object is ignored.
  void AddSceneObject(std::unique_ptr<CSceneObject> object);
  // The first object whose id equals the text byte for byte, or null.
  CSceneObject* FindSceneObject(const TString& id) const;
  const Objects& GetSceneObjects() const { return mObjects; }
  // The read cursor: after a rewind, each call answers the next object, and the last again
  // once the end is reached; null while there are no objects.
  void RewindSceneObjects() { mCursor = 0; }
  bool HasNextSceneObject() const { return mCursor < mObjects.size(); }
  CSceneObject* GetNextSceneObject();

 protected:
  // The parts of the record a placing-object game writes in its own order.
  void WriteSceneObjects(std::string& out) const;
  void WriteTextboxBlock(std::string& out) const;

 private:
  Objects mObjects;
  size_t mCursor = 0;
};

// The item definitions' commands, for the sidebar's inventory window: whether the item of
// that name has a command for the event, and running it (false when there is none).
bool InventoryItemHasAction(const TString& item, const TString& event);
bool ExecuteInventoryItemAction(const TString& item, const TString& event);
