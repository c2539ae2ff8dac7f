#include "model/scene_exit.h"

#include "model/model_types.h"
#include "model/record_writer.h"
#include "platform/timer.h"

bool CSceneExit::IsOfType(int modelType) const { return modelType == ModelSceneExit; }

void CSceneExit::Serialize(std::string& out) const {
  CRecordWriter record("MakeSceneExit");
  record.String("id", GetId());
  record.String("name", GetName());
  WriteCorners(record);
  record.Number("cursorstyleid", mCursorStyleId);
  record.String("cursorstylepath", GetCursorStylePath());
  record.String("text", GetText());
  record.Flag("isActive", IsActive());
  record.Number("nextScene", mNextScene);
  record.String("image", mImage);
  record.Number("imagePositionX", mImagePositionX);
  record.LastNumber("imagePositionY", mImagePositionY);
  record.Finish(out);
}

void CSceneExit::SetClickTime() { mClickTime = GetWallTime(); }

bool CSceneExit::IsClickTimeRecent() const { return GetWallTime() - mClickTime <= 2; }
