#pragma once
// CInventoryItem: the definition of an item the player can carry: its pictures, its
// description, and what happens when it is used (commands by event name).

#include "model/command.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CInventoryItem : public ISerializable, public CActionHolder {
 public:
  // The MakeInventoryItem record, with its action map when that holds a command.
  void Serialize(std::string& out) const override;

  const TString& GetId() const { return mId; }
  void SetId(const TString& id) { mId = id; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  const TString& GetDescription() const { return mDescription; }
  void SetDescription(const TString& description) { mDescription = description; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }
  const TString& GetPickUpImage() const { return mPickUpImage; }
  void SetPickUpImage(const TString& image) { mPickUpImage = image; }

  // True when the event name is not empty and the map holds it.
  bool HasAction(const TString& event) const { return !event.IsEmpty() && mActions.Has(event); }

 private:
  TString mId;
  TString mName;
  TString mDescription;
  TString mImage;
  TString mPickUpImage;
};
