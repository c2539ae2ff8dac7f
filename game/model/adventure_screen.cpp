#include "model/adventure_screen.h"

#include <algorithm>

#include "model/game.h"
#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"

bool CAdventureScreen::IsOfType(int modelType) const { return modelType == ModelAdventureScreen; }

void CAdventureScreen::SetObjectActive(const TString& id, bool active) {
  if (CSceneObject* object = FindSceneObject(id)) object->SetActive(active);
  NotifyObservers();
}

bool CAdventureScreen::IsObjectActive(const TString& id) const {
  const CSceneObject* object = FindSceneObject(id);
  return object && object->IsActive();
}

void CAdventureScreen::SetObjectVisible(const TString& id, bool visible) {
  if (CSceneObject* object = FindSceneObject(id)) object->SetVisible(visible);
  NotifyObservers();
}

void CAdventureScreen::SetObjectAlpha(const TString& id, float alpha) {
  if (CSceneObject* object = FindSceneObject(id)) object->SetAlpha(alpha);
  NotifyObservers();
}

void CAdventureScreen::AddSceneObject(std::unique_ptr<CSceneObject> object) {
  if (object) mObjects.push_back(std::move(object));
}

CSceneObject* CAdventureScreen::FindSceneObject(const TString& id) const {
  for (const auto& object : mObjects) {
    if (SameBytes(object->GetId(), id)) return object.get();
  }
  return nullptr;
}

CSceneObject* CAdventureScreen::GetNextSceneObject() {
  if (mObjects.empty()) return nullptr;
  size_t position = std::min(mCursor, mObjects.size() - 1);
  if (mCursor < mObjects.size()) ++mCursor;
  return mObjects[position].get();
}

void CAdventureScreen::WriteSceneObjects(std::string& out) const {
  for (const auto& object : mObjects) object->Serialize(out);
}

void CAdventureScreen::WriteTextboxBlock(std::string& out) const {
  WriteTextStyle(out);
  WriteTextboxes(out);
}

void CAdventureScreen::Serialize(std::string& out) const {
  CRecordWriter record("MakeAdventureScreen");
  CScene::Serialize(record.Buffer());
  WriteSceneObjects(record.Buffer());
  WriteTextboxBlock(record.Buffer());
  record.Finish(out);
}

bool InventoryItemHasAction(const TString& item, const TString& event) {
  CGame* game = CGame::GetInstance();
  const CInventoryItem* definition = game ? game->GetInventoryItem(item) : nullptr;
  return definition && definition->HasAction(event);
}

bool ExecuteInventoryItemAction(const TString& item, const TString& event) {
  CGame* game = CGame::GetInstance();
  const CInventoryItem* definition = game ? game->GetInventoryItem(item) : nullptr;
  return definition && definition->ExecuteAction(event);
}
