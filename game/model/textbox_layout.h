#pragma once
// CTextboxLayout: the text boxes a screen lays over its background: each a string-table
// label, a position and a rotation, all drawn in one font, size, line height and colour.
// Rooms and the placing-pictures game have them; the screen window makes one text box window
// per box and lists them here (not owned).

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine_string.h"

class TTextbox;

class CTextboxLayout {
 public:
  struct TPosition {
    int32_t x = 0;
    int32_t y = 0;
  };

  // The lists of texts, positions and rotations run in step, one element per box. Getters
  // past the end answer an empty text, the origin and 0.
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

  // The text-box windows the screen window made (not owned; the window empties the list
  // when it attaches and detaches).
  void AddTextboxWindow(TTextbox* window) { mTextboxWindows.push_back(window); }
  TTextbox* GetTextboxWindow(int32_t index) const;
  void ClearTextboxWindows() { mTextboxWindows.clear(); }

 protected:
  // The record lines of the style: "textFont", "textboxHeight", "textboxWidth",
  // "lineHeight" and the "textColor" table.
  void WriteTextStyle(std::string& out) const;
  // The "textboxes" list, one {text, x, y, rotation} record per box.
  void WriteTextboxes(std::string& out) const;

 private:
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
