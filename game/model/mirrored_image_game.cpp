#include "model/mirrored_image_game.h"

#include <algorithm>
#include <numeric>

#include "model/model_types.h"
#include "model/random_draw.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"
#include "platform/log.h"

namespace {

const char* const FalseSpriteName = "false";
const char* const CorrectSpriteName = "correct";

}  // namespace

bool CMirroredImageGame::IsOfType(int modelType) const { return modelType == ModelMirroredImageGame; }

void CMirroredImageGame::SetAmountSelectedFalseImages(int32_t amount) {
  if (amount > 0) mAmountSelectedFalseImages = amount;
}

void CMirroredImageGame::SetAmountAllFalseImages(int32_t amount) {
  if (amount > 0) mAmountAllFalseImages = amount;
}

CMirroredImageGame::TPosition CMirroredImageGame::GetPosition(int32_t index) const {
  return index >= 0 && size_t(index) < mPositions.size() ? mPositions[size_t(index)] : TPosition();
}

void CMirroredImageGame::ClearSprites() {
  mFalseSprites.clear();
  mCorrectSprite.reset();
}

const CMirroredImageGame::TImageSprite* CMirroredImageGame::GetFalseSprite(int32_t index) const {
  return index >= 0 && size_t(index) < mFalseSprites.size() ? &mFalseSprites[size_t(index)] : nullptr;
}

void CMirroredImageGame::DealImages() {
  ClearSprites();
  SeedGameRandFromWallClock();
  if (mPositions.empty()) {
    LogPrintf("Mirrored image %d: no slots for the images; nothing is shown", GetSeqId());
    return;
  }
  int32_t shown = std::min(mAmountSelectedFalseImages, mAmountAllFalseImages);
  shown = std::min<int64_t>(shown, int64_t(mPositions.size()) - 1);
  if (shown != mAmountSelectedFalseImages)
    LogPrintf("Mirrored image %d: %d false images asked, of %d and with %zu slots; %d shown", GetSeqId(),
              mAmountSelectedFalseImages, mAmountAllFalseImages, mPositions.size(), shown);
  // A draw takes the pool's entry at a number below GameRandMax + 1 while the pool is larger
  // than that, so numbers beyond the first GameRandMax + 1 + shown are never reached.
  std::vector<int32_t> numbers(size_t(std::min<int64_t>(mAmountAllFalseImages, int64_t(GameRandMax) + 1 + shown)));
  std::iota(numbers.begin(), numbers.end(), 1);
  std::vector<int32_t> chosen = DrawWithoutRepetition(std::move(numbers), size_t(shown));
  std::vector<int32_t> slots(size_t(shown) + 1);
  std::iota(slots.begin(), slots.end(), 0);
  std::vector<int32_t> order = DrawWithoutRepetition(std::move(slots), size_t(shown) + 1);
  for (size_t j = 0; j < chosen.size(); ++j) {
    mFalseSprites.push_back({FalseSpriteName, mFilepath + mNameFalseImage + TString::Printf("%d", chosen[j]),
                             mPositions[size_t(order[j])]});
  }
  mCorrectSprite = TImageSprite{CorrectSpriteName, mFilepath + mNameCorrectImage, mPositions[size_t(order.back())]};
}

bool CMirroredImageGame::CheckAnswer(const TString& spriteName) {
  if (!SameBytes(spriteName, CorrectSpriteName)) return false;
  mWon = true;
  return true;
}

void CMirroredImageGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeMirroredImageGame");
  CScene::Serialize(record.Buffer());
  record.Number("amountSelectedFalseImages", mAmountSelectedFalseImages);
  record.Number("amountAllFalseImages", mAmountAllFalseImages);
  record.String("filepath", mFilepath);
  record.String("nameFalseImage", mNameFalseImage);
  record.String("nameCorrectImage", mNameCorrectImage);
  std::string& text = record.Buffer();
  text += "\t{\n";
  for (const TPosition& position : mPositions)
    text += "\t\t{xPos = " + std::to_string(position.x) + ", yPos = " + std::to_string(position.y) + "},\n";
  text += "\t}\n";
  record.Finish(out);
}
