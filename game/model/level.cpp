#include "model/level.h"

#include "model/record_writer.h"

void CLevel::Serialize(std::string& out) const {
  CRecordWriter record("MakeLevel");
  record.Number("seqId", mSeqId);
  record.String("name", mName);
  for (const auto& entry : mScenes) record.Nested(*entry.second);
  record.Finish(out);
}

int32_t CLevel::AddScene(std::unique_ptr<CScene> scene) {
  if (!scene) return -1;
  int32_t seqId = scene->GetSeqId();
  mScenes[seqId] = std::move(scene);
  return seqId;
}

CScene* CLevel::GetScene(int32_t seqId) const {
  auto it = mScenes.find(seqId);
  return it == mScenes.end() ? nullptr : it->second.get();
}

void CLevel::RemoveScene(int32_t seqId) { mScenes.erase(seqId); }

CSceneExit* CLevel::FindSceneExit(const TString& id) const {
  return FirstFound(mScenes, [&](const CScene& scene) { return scene.FindSceneExit(id); });
}

CSceneHotspot* CLevel::FindSceneHotspot(const TString& id) const {
  return FirstFound(mScenes, [&](const CScene& scene) { return scene.FindSceneHotspot(id); });
}

void CLevel::SetObjectActive(const TString& name, bool active) {
  for (auto& entry : mScenes) entry.second->SetObjectActive(name, active);
}

void CLevel::SetObjectVisible(const TString& name, bool visible) {
  for (auto& entry : mScenes) entry.second->SetObjectVisible(name, visible);
}

bool CLevel::IsObjectActive(const TString& name) const {
  return mScenes.empty() ? false : mScenes.begin()->second->IsObjectActive(name);
}
