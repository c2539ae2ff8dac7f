#pragma once
// CHiddenObject: an object hidden in the picture of a hidden-object scene: its id (the name
// of its sprite, the text of the to-find list and the key of script calls), the string-table
// label of its display text, its image and place, its group, and its commands by event
// ("OnPickedUp"). Owned by its CHiddenObjectGame.

#include <cstdint>

#include "model/command.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CHiddenObject : public ISerializable, public CActionHolder {
 public:
  // The MakeHiddenObject record; the group lines only for an object of a group (id above 0).
  void Serialize(std::string& out) const override;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }
  // "none" for an object outside any group.
  const TString& GetGroupName() const { return mGroupName; }
  void SetGroupName(const TString& name) { mGroupName = name; }
  // 1 and up; 0: no group.
  int32_t GetGroupId() const { return mGroupId; }
  void SetGroupId(int32_t id) { mGroupId = id; }
  int32_t GetPositionX() const { return mPositionX; }
  void SetPositionX(int32_t x) { mPositionX = x; }
  int32_t GetPositionY() const { return mPositionY; }
  void SetPositionY(int32_t y) { mPositionY = y; }
  bool IsActive() const { return mActive; }
  void SetActive(bool active) { mActive = active; }
  bool IsVisible() const { return mVisible; }
  void SetVisible(bool visible) { mVisible = visible; }

 private:
  TString mId;
  TString mName;
  TString mImage;
  TString mGroupName;
  int32_t mGroupId = 0;
  // Records give the place; one that doesn't puts the object at the origin.
  int32_t mPositionX = 0;
  int32_t mPositionY = 0;
  bool mActive = true;
  bool mVisible = true;
};
