#pragma once
// CChapterScreen: the model of a chapter title card: the chapter title and subtitle, and a
// location image with a short text under it (the texts are string-table labels).

#include <cstdint>

#include "model/scene.h"
#include "platform/engine_string.h"

class CChapterScreen : public CScene {
 public:
  // True for 1 only.
  bool IsOfType(int modelType) const override;
  // The MakeChapterScreen record: the scene fields, then the title card's own.
  void Serialize(std::string& out) const override;

  const TString& GetTitle() const { return mTitle; }
  void SetTitle(const TString& title) { mTitle = title; }
  const TString& GetSubtitle() const { return mSubtitle; }
  void SetSubtitle(const TString& subtitle) { mSubtitle = subtitle; }
  const TString& GetLocationImage() const { return mLocationImage; }
  void SetLocationImage(const TString& image) { mLocationImage = image; }
  const TString& GetLocationText() const { return mLocationText; }
  void SetLocationText(const TString& text) { mLocationText = text; }
  // The location image's top-left corner on the screen.
  int32_t GetLocationX() const { return mLocationX; }
  void SetLocationX(int32_t x) { mLocationX = x; }
  int32_t GetLocationY() const { return mLocationY; }
  void SetLocationY(int32_t y) { mLocationY = y; }

 private:
  TString mTitle;
  TString mSubtitle;
  TString mLocationImage;
  TString mLocationText;
  // Records give the place; one that doesn't puts the image at the origin.
  int32_t mLocationX = 0;
  int32_t mLocationY = 0;
};
