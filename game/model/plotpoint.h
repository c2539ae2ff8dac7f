#pragma once
// CPlotpoint: the model of a plot-point story page: a strip of pictures (the moving texture,
// cut into numbered pieces) slides across the screen in one direction while a sequence of
// texts, each shown for its own number of seconds, fades in and out in a text box. The page
// runs for the sum of the texts' seconds; its progress drives the strip (CPlotpointStrip)
// and picks the text on show. There is nothing to win.

#include <cstdint>
#include <string>
#include <vector>

#include "model/scene.h"
#include "platform/engine_string.h"

class CPlotpoint : public CScene {
 public:
  enum TDirection : int32_t { Up = 0, Right = 1, Down = 2, Left = 3 };
  struct TText {
    TString text;     // a string-table label
    uint32_t number;  // its display time in seconds
  };

  // True for 33 only.
  bool IsOfType(int modelType) const override;
  // The MakePlotpoint record: the scene fields, the page's own, the text list.
  void Serialize(std::string& out) const override;

  // Appends the text and adds its number to the total.
  void AddText(const TString& text, uint32_t number);
  int32_t GetTextCount() const { return int32_t(mTexts.size()); }
  // Entry i; past the end an empty text and 0.
  TString GetText(int32_t index) const;
  uint32_t GetTextNumber(int32_t index) const;
  // The sum of the numbers: the page's running time in seconds.
  uint32_t GetTotal() const { return mTotal; }

  // How far the page has run after that many milliseconds, 0 to 1; a page without running
  // time is at its end at once.
  double GetProgress(uint32_t elapsedMs) const;
  // The text on show `seconds' into the page: the first entry that has not ended by then,
  // with its alpha, fading in over its first and out over its last `fadeSeconds' (no fading
  // for 0). Index -1 when no entry is on show.
  struct TTextShown {
    int32_t index = -1;
    float alpha = 0;
  };
  TTextShown GetTextAt(double seconds, double fadeSeconds) const;

  // The strip's pieces: a page lays out no more than this many, whatever its record says.
  static constexpr uint32_t MaxPieces = 1024;
  uint32_t GetPieceCount() const { return mNumberOfTextures < MaxPieces ? mNumberOfTextures : MaxPieces; }
  // Piece i's name (movingTextureName and the number) and image (the directory before it).
  TString GetPieceName(uint32_t index) const;
  TString GetPieceImage(uint32_t index) const;

  const TString& GetMovingTextureDirectory() const { return mMovingTextureDirectory; }
  void SetMovingTextureDirectory(const TString& directory) { mMovingTextureDirectory = directory; }
  const TString& GetMovingTextureName() const { return mMovingTextureName; }
  void SetMovingTextureName(const TString& name) { mMovingTextureName = name; }
  uint32_t GetNumberOfTextures() const { return mNumberOfTextures; }
  void SetNumberOfTextures(uint32_t count) { mNumberOfTextures = count; }
  int32_t GetDirection() const { return mDirection; }
  // "up", "right", "down" or "left", exactly; any other text is up.
  void SetDirection(const TString& direction);
  int32_t GetBeginX() const { return mBeginX; }
  void SetBeginX(int32_t x) { mBeginX = x; }
  int32_t GetBeginY() const { return mBeginY; }
  void SetBeginY(int32_t y) { mBeginY = y; }
  int32_t GetEndX() const { return mEndX; }
  void SetEndX(int32_t x) { mEndX = x; }
  int32_t GetEndY() const { return mEndY; }
  void SetEndY(int32_t y) { mEndY = y; }
  const TString& GetBorderTexture() const { return mBorderTexture; }
  void SetBorderTexture(const TString& texture) { mBorderTexture = texture; }
  // Kept and written back; nothing else uses them.
  void SetOffsetStart(int32_t offset) { mOffsetStart = offset; }
  void SetOffsetEnd(int32_t offset) { mOffsetEnd = offset; }
  int32_t GetTextUpperLeftX() const { return mTextUpperLeftX; }
  void SetTextUpperLeftX(int32_t x) { mTextUpperLeftX = x; }
  int32_t GetTextUpperLeftY() const { return mTextUpperLeftY; }
  void SetTextUpperLeftY(int32_t y) { mTextUpperLeftY = y; }
  int32_t GetTextLowerRightX() const { return mTextLowerRightX; }
  void SetTextLowerRightX(int32_t x) { mTextLowerRightX = x; }
  int32_t GetTextLowerRightY() const { return mTextLowerRightY; }
  void SetTextLowerRightY(int32_t y) { mTextLowerRightY = y; }
  uint32_t GetTextColorRed() const { return mTextColorRed; }
  void SetTextColorRed(uint32_t red) { mTextColorRed = red; }
  uint32_t GetTextColorGreen() const { return mTextColorGreen; }
  void SetTextColorGreen(uint32_t green) { mTextColorGreen = green; }
  uint32_t GetTextColorBlue() const { return mTextColorBlue; }
  void SetTextColorBlue(uint32_t blue) { mTextColorBlue = blue; }
  uint32_t GetTextHeight() const { return mTextHeight; }
  void SetTextHeight(uint32_t height) { mTextHeight = height; }

 private:
  std::vector<TText> mTexts;
  uint32_t mTotal = 0;
  TString mMovingTextureDirectory;
  TString mMovingTextureName;
  uint32_t mNumberOfTextures = 0;
  int32_t mDirection = Up;
  int32_t mBeginX = 0;
  int32_t mBeginY = 0;
  int32_t mEndX = 0;
  int32_t mEndY = 0;
  int32_t mTextUpperLeftX = 0;
  int32_t mTextUpperLeftY = 0;
  int32_t mTextLowerRightX = 0;
  int32_t mTextLowerRightY = 0;
  uint32_t mTextColorRed = 0;
  uint32_t mTextColorGreen = 0;
  uint32_t mTextColorBlue = 0;
  uint32_t mTextHeight = 30;
  TString mBorderTexture;
  int32_t mOffsetStart = 0;
  int32_t mOffsetEnd = 0;
};
