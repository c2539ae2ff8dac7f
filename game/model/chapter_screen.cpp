#include "model/chapter_screen.h"

#include "model/model_types.h"
#include "model/record_writer.h"

bool CChapterScreen::IsOfType(int modelType) const { return modelType == ModelChapterScreen; }

void CChapterScreen::Serialize(std::string& out) const {
  CRecordWriter record("MakeChapterScreen");
  CScene::Serialize(record.Buffer());
  record.String("title", mTitle);
  record.String("subtitle", mSubtitle);
  record.String("locationImage", mLocationImage);
  record.Number("locationX", mLocationX);
  record.Number("locationY", mLocationY);
  record.String("locationText", mLocationText);
  record.Finish(out);
}
