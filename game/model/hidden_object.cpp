#include "model/hidden_object.h"

#include "model/record_writer.h"

void CHiddenObject::Serialize(std::string& out) const {
  CRecordWriter record("MakeHiddenObject");
  record.String("id", mId);
  record.String("name", mName);
  record.Number("positionX", mPositionX);
  record.Number("positionY", mPositionY);
  record.String("image", mImage);
  record.Flag("isActive", mActive);
  record.Flag("isVisible", mVisible);
  if (mGroupId > 0) {
    record.String("groupName", mGroupName);
    record.Number("groupId", mGroupId);
  }
  mActions.Serialize(record.Buffer());
  record.Finish(out);
}
