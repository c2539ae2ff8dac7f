#pragma once
// CSceneObject: an object of an adventure screen that can be shown, clicked and picked up
// (timesPickable times), giving the inventory item `invitem'.

#include <cstdint>

#include "model/command.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CSceneObject : public ISerializable, public CActionHolder {
 public:
  virtual bool IsOfType(int modelType) const;
  // The MakeSceneObject record (alpha is a display value and is not written).
  void Serialize(std::string& out) const override;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  int32_t GetPositionX() const { return mPositionX; }
  void SetPositionX(int32_t x) { mPositionX = x; }
  int32_t GetPositionY() const { return mPositionY; }
  void SetPositionY(int32_t y) { mPositionY = y; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }
  const TString& GetInvItem() const { return mInvItem; }
  void SetInvItem(const TString& item) { mInvItem = item; }
  const TString& GetText() const { return mText; }
  void SetText(const TString& text) { mText = text; }
  int32_t GetTimesPickable() const { return mTimesPickable; }
  void SetTimesPickable(int32_t times) { mTimesPickable = times; }
  bool IsPickable() const { return mTimesPickable > 0; }
  bool IsVisible() const { return mVisible; }
  void SetVisible(bool visible) { mVisible = visible; }
  bool IsActive() const { return mActive; }
  void SetActive(bool active) { mActive = active; }
  float GetAlpha() const { return mAlpha; }
  void SetAlpha(float alpha) { mAlpha = alpha; }

 private:
  TString mId;
  TString mName;
  int32_t mPositionX = 0;
  int32_t mPositionY = 0;
  TString mImage;
  TString mInvItem;
  TString mText;
  int32_t mTimesPickable = 0;
  bool mVisible = true;
  bool mActive = false;
  float mAlpha = 1.0f;
};
