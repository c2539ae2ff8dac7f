#include "model/inventory_item.h"

#include "model/record_writer.h"

void CInventoryItem::Serialize(std::string& out) const {
  CRecordWriter record("MakeInventoryItem");
  record.String("id", mId);
  record.String("name", mName);
  record.String("description", mDescription);
  record.String("image", mImage);
  record.String("pickUpImage", mPickUpImage);
  mActions.Serialize(record.Buffer());
  record.Finish(out);
}
