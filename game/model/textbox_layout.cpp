#include "model/textbox_layout.h"

#include "model/record_writer.h"

TString CTextboxLayout::GetTextboxText(int32_t index) const {
  return index >= 0 && size_t(index) < mTextboxTexts.size() ? mTextboxTexts[size_t(index)] : TString();
}

CTextboxLayout::TPosition CTextboxLayout::GetTextboxPosition(int32_t index) const {
  return index >= 0 && size_t(index) < mTextboxPositions.size() ? mTextboxPositions[size_t(index)] : TPosition();
}

float CTextboxLayout::GetTextboxRotation(int32_t index) const {
  return index >= 0 && size_t(index) < mTextboxRotations.size() ? mTextboxRotations[size_t(index)] : 0.0f;
}

void CTextboxLayout::SetTextColor(int32_t red, int32_t green, int32_t blue, int32_t alpha) {
  mTextColor = {float(red), float(green), float(blue), float(alpha)};
}

TTextbox* CTextboxLayout::GetTextboxWindow(int32_t index) const {
  return index >= 0 && size_t(index) < mTextboxWindows.size() ? mTextboxWindows[size_t(index)] : nullptr;
}

void CTextboxLayout::WriteTextStyle(std::string& out) const {
  CRecordWriter block;
  block.String("textFont", mTextFont);
  block.Number("textboxHeight", mTextboxHeight);
  block.Number("textboxWidth", mTextboxWidth);
  block.Number("lineHeight", mLineHeight);
  block.Text("\ttextColor = { red = " + FormatLuaFloat(mTextColor[0]) + ", green = " + FormatLuaFloat(mTextColor[1]) +
             ", blue = " + FormatLuaFloat(mTextColor[2]) + ", alpha = " + FormatLuaFloat(mTextColor[3]) + "\t},\n");
  block.Finish(out);
}

void CTextboxLayout::WriteTextboxes(std::string& out) const {
  out += "\ttextboxes = {\n";
  for (int32_t i = 0; i < GetTextboxCount(); ++i) {
    TPosition position = GetTextboxPosition(i);
    out += "\n\t{text = ";
    AppendLuaString(out, GetTextboxText(i));
    out += ", x = " + std::to_string(position.x) + ", y = " + std::to_string(position.y) +
           ", rotation = " + FormatLuaFloat(GetTextboxRotation(i)) + "},\n";
  }
  out += "\t},\n";
}
