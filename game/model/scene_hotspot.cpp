#include "model/scene_hotspot.h"

#include "model/model_types.h"
#include "model/record_writer.h"

bool CSceneHotspot::IsOfType(int modelType) const { return modelType == ModelSceneHotspot; }

void CSceneHotspot::Serialize(std::string& out) const {
  CRecordWriter record("MakeSceneHotspot");
  record.String("id", GetId());
  record.String("name", GetName());
  WriteCorners(record);
  record.String("text", GetText());
  record.Flag("isActive", IsActive());
  record.String("cursorstylepath", GetCursorStylePath());
  mActions.Serialize(record.Buffer());
  record.Finish(out);
}
