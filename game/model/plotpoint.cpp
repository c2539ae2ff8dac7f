#include "model/plotpoint.h"

#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"

namespace {

const char* const DirectionNames[] = {"up", "right", "down", "left"};

}  // namespace

bool CPlotpoint::IsOfType(int modelType) const { return modelType == ModelPlotpoint; }

void CPlotpoint::AddText(const TString& text, uint32_t number) {
  mTexts.push_back({text, number});
  mTotal += number;
}

TString CPlotpoint::GetText(int32_t index) const {
  return index >= 0 && size_t(index) < mTexts.size() ? mTexts[size_t(index)].text : TString();
}

uint32_t CPlotpoint::GetTextNumber(int32_t index) const {
  return index >= 0 && size_t(index) < mTexts.size() ? mTexts[size_t(index)].number : 0;
}

double CPlotpoint::GetProgress(uint32_t elapsedMs) const {
  if (mTotal == 0) return 1;
  double progress = elapsedMs / 1000.0 / mTotal;
  return progress < 1 ? progress : 1;
}

CPlotpoint::TTextShown CPlotpoint::GetTextAt(double seconds, double fadeSeconds) const {
  double start = 0;
  for (size_t i = 0; i < mTexts.size(); ++i) {
    double end = start + mTexts[i].number;
    if (seconds <= end) {
      // The alpha divides only by a fade longer than the time it compares, so never by 0.
      double alpha = 1;
      if (seconds - start < fadeSeconds)
        alpha = (seconds - start) / fadeSeconds;
      else if (end - seconds < fadeSeconds)
        alpha = (end - seconds) / fadeSeconds;
      return {int32_t(i), float(alpha)};
    }
    start = end;
  }
  return {};
}

TString CPlotpoint::GetPieceName(uint32_t index) const { return mMovingTextureName + TString::Printf("%u", index); }

TString CPlotpoint::GetPieceImage(uint32_t index) const { return mMovingTextureDirectory + GetPieceName(index); }

void CPlotpoint::SetDirection(const TString& direction) {
  mDirection = Up;
  for (int32_t i = 0; i < 4; ++i) {
    if (SameBytes(direction, DirectionNames[i])) mDirection = i;
  }
}

void CPlotpoint::Serialize(std::string& out) const {
  CRecordWriter record("MakePlotpoint");
  CScene::Serialize(record.Buffer());
  record.String("movingTextureDirectory", mMovingTextureDirectory);
  record.String("movingTextureName", mMovingTextureName);
  record.Number("numberOfTextures", mNumberOfTextures);
  if (mDirection >= Up && mDirection <= Left) record.String("direction", DirectionNames[mDirection]);
  record.Number("beginX", mBeginX);
  record.Number("beginY", mBeginY);
  record.Number("endX", mEndX);
  record.Number("endY", mEndY);
  record.String("borderTexture", mBorderTexture);
  record.Number("offsetStart", mOffsetStart);
  record.Number("offsetEnd", mOffsetEnd);
  record.Number("textUpperLeftX", mTextUpperLeftX);
  record.Number("textUpperLeftY", mTextUpperLeftY);
  record.Number("textLowerRightX", mTextLowerRightX);
  record.Number("textLowerRightY", mTextLowerRightY);
  record.Number("textColorRed", mTextColorRed);
  record.Number("textColorGreen", mTextColorGreen);
  record.Number("textColorBlue", mTextColorBlue);
  record.Number("textHeight", mTextHeight);
  std::string& text = record.Buffer();
  text += "\tMakePlotpointTexts {\n";
  for (const TText& entry : mTexts) {
    text += "\t\t{";
    AppendLuaString(text, entry.text);
    text += ", " + std::to_string(entry.number) + "},\n";
  }
  text += "\t};\n";
  record.Finish(out);
}
