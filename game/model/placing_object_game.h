#pragma once
// CPlacingObjectGame: an adventure room in which items are placed: it keeps an inventory of
// its own (the items to place) and a hint image.

#include "model/adventure_screen.h"
#include "model/inventory.h"

class CPlacingObjectGame : public CAdventureScreen {
 public:
  // True for 29 only (not for the adventure screen's 18).
  bool IsOfType(int modelType) const override;
  // The MakePlacingObjectGame record: the scene fields, the hint image, the objects, the own
  // inventory, the text-box block.
  void Serialize(std::string& out) const override;

  CInventory& GetInventory() { return mInventory; }
  const CInventory& GetInventory() const { return mInventory; }
  // Takes over the names and the cursor of the given inventory; the own observers stay.
  void SetInventory(const CInventory& inventory) { mInventory.AssignItems(inventory); }
  const TString& GetHintImage() const { return mHintImage; }
  void SetHintImage(const TString& image) { mHintImage = image; }

 private:
  CInventory mInventory;
  TString mHintImage;
};
