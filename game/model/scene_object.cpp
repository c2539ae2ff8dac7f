#include "model/scene_object.h"

#include "model/model_types.h"
#include "model/record_writer.h"

bool CSceneObject::IsOfType(int modelType) const { return modelType == ModelSceneObject; }

void CSceneObject::Serialize(std::string& out) const {
  CRecordWriter record("MakeSceneObject");
  record.String("id", mId);
  record.String("name", mName);
  record.Number("positionX", mPositionX);
  record.Number("positionY", mPositionY);
  record.String("image", mImage);
  record.Number("timesPickable", mTimesPickable);
  record.Flag("isActive", mActive);
  record.Flag("isVisible", mVisible);
  record.String("invitem", mInvItem);
  record.String("text", mText);
  mActions.Serialize(record.Buffer());
  record.Finish(out);
}
