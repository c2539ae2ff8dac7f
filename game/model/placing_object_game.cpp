#include "model/placing_object_game.h"

#include "model/model_types.h"
#include "model/record_writer.h"

bool CPlacingObjectGame::IsOfType(int modelType) const { return modelType == ModelPlacingObjectGame; }

void CPlacingObjectGame::Serialize(std::string& out) const {
  CRecordWriter record("MakePlacingObjectGame");
  CScene::Serialize(record.Buffer());
  record.String("hintImage", mHintImage);
  WriteSceneObjects(record.Buffer());
  record.Nested(mInventory);
  WriteTextboxBlock(record.Buffer());
  record.Finish(out);
}
