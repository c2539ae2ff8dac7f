#pragma once
// CTextbox: a text of a scene placed on screen (a string-table label, its font, colour, box
// and rotation). The owning scene writes it as a MakeTextbox record.

#include <cstdint>
#include <string>

#include "platform/engine_string.h"

class CTextbox {
 public:
  virtual ~CTextbox() = default;

  float GetRed() const { return mRed; }
  void SetRed(float red) { mRed = red; }
  float GetGreen() const { return mGreen; }
  void SetGreen(float green) { mGreen = green; }
  float GetBlue() const { return mBlue; }
  void SetBlue(float blue) { mBlue = blue; }
  float GetAlpha() const { return mAlpha; }
  void SetAlpha(float alpha) { mAlpha = alpha; }
  TString GetTextFont() const { return mTextFont; }
  void SetTextFont(const TString& font) { mTextFont = font; }
  int32_t GetTextboxHeight() const { return mTextboxHeight; }
  void SetTextboxHeight(int32_t height) { mTextboxHeight = height; }
  int32_t GetTextboxWidth() const { return mTextboxWidth; }
  void SetTextboxWidth(int32_t width) { mTextboxWidth = width; }
  int32_t GetLineHeight() const { return mLineHeight; }
  void SetLineHeight(int32_t height) { mLineHeight = height; }
  TString GetText() const { return mText; }
  void SetText(const TString& text) { mText = text; }
  int32_t GetTextboxPositionX() const { return mTextboxPositionX; }
  void SetTextboxPositionX(int32_t x) { mTextboxPositionX = x; }
  int32_t GetTextboxPositionY() const { return mTextboxPositionY; }
  void SetTextboxPositionY(int32_t y) { mTextboxPositionY = y; }
  // Degrees.
  int32_t GetRotation() const { return mRotation; }
  void SetRotation(int32_t rotation) { mRotation = rotation; }

  // Appends the MakeTextbox record.
  void WriteRecord(std::string& out) const;

 private:
  // Records give every value; without them a box is opaque black at the origin.
  float mRed = 0;
  float mGreen = 0;
  float mBlue = 0;
  float mAlpha = 1;
  TString mTextFont;
  int32_t mTextboxHeight = 0;
  int32_t mTextboxWidth = 0;
  int32_t mLineHeight = 0;
  TString mText;
  int32_t mTextboxPositionX = 0;
  int32_t mTextboxPositionY = 0;
  int32_t mRotation = 0;
};
