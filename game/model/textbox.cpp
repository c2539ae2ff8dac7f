#include "model/textbox.h"

#include "model/record_writer.h"

void CTextbox::WriteRecord(std::string& out) const {
  CRecordWriter record("MakeTextbox");
  record.Float("red", mRed);
  record.Float("green", mGreen);
  record.Float("blue", mBlue);
  record.Float("alpha", mAlpha);
  record.String("textFont", mTextFont);
  record.Number("textboxHeight", mTextboxHeight);
  record.Number("textboxWidth", mTextboxWidth);
  record.Number("lineHeight", mLineHeight);
  record.String("text", mText);
  record.Number("textboxPositionX", mTextboxPositionX);
  record.Number("textboxPositionY", mTextboxPositionY);
  record.Number("rotation", mRotation);
  record.Finish(out);
}
