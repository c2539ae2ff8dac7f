#pragma once
// CSceneExit: a way out of a scene to another scene, with its image and cursor style, and
// the stamp of its last click (a second click soon after is taken as a double click).

#include <cstdint>

#include "model/scene_area.h"

class CSceneExit : public CSceneArea {
 public:
  bool IsOfType(int modelType) const override;
  // The MakeSceneExit record.
  void Serialize(std::string& out) const override;

  int32_t GetNextScene() const { return mNextScene; }
  void SetNextScene(int32_t scene) { mNextScene = scene; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }
  int32_t GetImagePositionX() const { return mImagePositionX; }
  void SetImagePositionX(int32_t x) { mImagePositionX = x; }
  int32_t GetImagePositionY() const { return mImagePositionY; }
  void SetImagePositionY(int32_t y) { mImagePositionY = y; }
  uint32_t GetCursorStyleId() const { return mCursorStyleId; }
  void SetCursorStyleId(uint32_t id) { mCursorStyleId = id; }

  // The click stamp, in wall-clock seconds; 0 when reset.
  void SetClickTime();
  void ResetClickTime() { mClickTime = 0; }
  int64_t GetClickTime() const { return mClickTime; }
  // True while the stamp is at most 2 seconds old (a stamp in the future counts as recent).
  bool IsClickTimeRecent() const;

 private:
  int32_t mNextScene = -1;
  TString mImage;
  int32_t mImagePositionX = 0;
  int32_t mImagePositionY = 0;
  int64_t mClickTime = 0;
  uint32_t mCursorStyleId = 4;
};
