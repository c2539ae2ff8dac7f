#pragma once
// CMirroredImageGame: the model of the mirrored-image search: a number of images at fixed
// slots, one of them the correct image and the others false images drawn from a numbered
// set; the player has one click, which wins on the correct image and loses on a false one.
//
// Each opening of the screen deals anew (DealImages): the false images drawn without
// repetition, the slots shuffled, the generator seeded from the wall clock. The deal is kept
// as plain image records (name, picture, place) that the screen makes its sprites from.
// Only the settings and the slots are saved.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

class CMirroredImageGame : public CScene {
 public:
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };
  // One image of the deal: its sprite name ("false" or "correct"), picture and slot.
  struct TImageSprite {
    TString name;
    TString image;
    TPosition position;
  };

  // True for 27 only.
  bool IsOfType(int modelType) const override;
  // The MakeMirroredImageGame record: the scene fields, the amounts, the names and the
  // slots.
  void Serialize(std::string& out) const override;

  // How many false images are shown, and how many numbered ones exist; a value of 0 or less
  // is ignored.
  void SetAmountSelectedFalseImages(int32_t amount);
  void SetAmountAllFalseImages(int32_t amount);
  int32_t GetAmountSelectedFalseImages() const { return mAmountSelectedFalseImages; }
  int32_t GetAmountAllFalseImages() const { return mAmountAllFalseImages; }
  // Every picture is filepath followed by its name: false image k (from 1) is nameFalseImage
  // followed by k in decimal.
  void SetFilepath(const TString& path) { mFilepath = path; }
  void SetNameFalseImage(const TString& name) { mNameFalseImage = name; }
  void SetNameCorrectImage(const TString& name) { mNameCorrectImage = name; }
  const TString& GetFilepath() const { return mFilepath; }
  const TString& GetNameFalseImage() const { return mNameFalseImage; }
  const TString& GetNameCorrectImage() const { return mNameCorrectImage; }
  // The image slots, in the order given.
  void AddPosition(int32_t x, int32_t y) { mPositions.push_back({x, y}); }
  int32_t GetPositionCount() const { return int32_t(mPositions.size()); }
  // Slot i; the origin past the end.
  TPosition GetPosition(int32_t index) const;

  // A new deal: amountSelectedFalseImages distinct false images out of 1 to
  // amountAllFalseImages, and the correct image, each on its own slot. Asked for more false
  // images than exist, or than the slots hold beside the correct image, it shows as many as
  // there are (with a log line); without slots it shows nothing.
  void DealImages();
  void ClearSprites();
  int32_t GetFalseSpriteCount() const { return int32_t(mFalseSprites.size()); }
  // False image i of the deal, or null.
  const TImageSprite* GetFalseSprite(int32_t index) const;
  // The correct image of the deal, or null before a deal.
  const TImageSprite* GetCorrectSprite() const { return mCorrectSprite ? &*mCorrectSprite : nullptr; }
  // The player's click on the image of that sprite name: true, and won from now on, for the
  // correct image; false for any other.
  bool CheckAnswer(const TString& spriteName);
  bool IsWon() const { return mWon; }

 private:
  bool mWon = false;
  std::vector<TImageSprite> mFalseSprites;
  std::optional<TImageSprite> mCorrectSprite;
  // A record that gives no amount shows the correct image alone.
  int32_t mAmountSelectedFalseImages = 0;
  int32_t mAmountAllFalseImages = 0;
  TString mFilepath;
  TString mNameFalseImage;
  TString mNameCorrectImage;
  std::vector<TPosition> mPositions;
};
