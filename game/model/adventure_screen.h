#pragma once
// CAdventureScreen: the model of a point-and-click room: the scene's shared data, the room's
// scene objects in the order they were added, and the room's text boxes (each a text label,
// a position and a rotation, drawn in one font, size and colour). The screen window observes
// it; scripts change its objects by id.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/scene.h"
#include "model/scene_object.h"
#include "platform/engine_string.h"

class TTextbox;

class CAdventureScreen : public CScene {
 public:
  using Objects = std::vector<std::unique_ptr<CSceneObject>>;
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };

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

  // Text boxes: the lists of texts, positions and rotations run in step, one element per
  // box. Getters past the end answer an empty text, the origin and 0.
  void AddTextboxText(const TString& label) { mTextboxTexts.push_back(label); }
  void AddTextboxPosition(int32_t x, int32_t y) { mTextboxPositions.push_back({x, y}); }
  void AddTextboxRotation(float angle) { mTextboxRotations.push_back(angle); }
  int32_t GetTextboxCount() const { return int32_t(mTextboxTexts.size()); }
  TString GetTextboxText(int32_t index) const;
  TPosition GetTextboxPosition(int32_t index) const;
  float GetTextboxRotation(int32_t index) const;

  const TString& GetTextFont() const { return mTextFont; }
  void SetTextFont(const TString& font) { mTextFont = font; }
  int32_t GetTextboxHeight() const { return mTextboxHeight; }
  void SetTextboxHeight(int32_t height) { mTextboxHeight = height; }
  int32_t GetTextboxWidth() const { return mTextboxWidth; }
  void SetTextboxWidth(int32_t width) { mTextboxWidth = width; }
  int32_t GetLineHeight() const { return mLineHeight; }
  void SetLineHeight(int32_t height) { mLineHeight = height; }
  // Red, green, blue and alpha, given as whole numbers and kept as floats.
  void SetTextColor(int32_t red, int32_t green, int32_t blue, int32_t alpha);
  std::array<float, 4> GetTextColor() const { return mTextColor; }

  // The text-box windows the screen window made for this screen (not owned; the window
  // empties the list when it attaches and detaches).
  void AddTextboxWindow(TTextbox* window) { mTextboxWindows.push_back(window); }
  TTextbox* GetTextboxWindow(int32_t index) const;
  void ClearTextboxWindows() { mTextboxWindows.clear(); }

 protected:
  // The parts of the record a placing-object game writes in its own order.
  void WriteSceneObjects(std::string& out) const;
  void WriteTextboxBlock(std::string& out) const;

 private:
  Objects mObjects;
  size_t mCursor = 0;
  std::vector<TTextbox*> mTextboxWindows;
  std::vector<TString> mTextboxTexts;
  std::vector<TPosition> mTextboxPositions;
  std::vector<float> mTextboxRotations;
  std::array<float, 4> mTextColor = {0, 0, 0, 0};
  TString mTextFont;
  // Records give the sizes; without them the boxes are empty.
  int32_t mTextboxHeight = 0;
  int32_t mTextboxWidth = 0;
  int32_t mLineHeight = 0;
};

// The item definitions' commands, for the sidebar's inventory window: whether the item of
// that name has a command for the event, and running it (false when there is none).
bool InventoryItemHasAction(const TString& item, const TString& event);
bool ExecuteInventoryItemAction(const TString& item, const TString& event);
