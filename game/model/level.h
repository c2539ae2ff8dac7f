#pragma once
// CLevel: the scenes of one stretch of the story, owned and kept by scene number.

#include <cstdint>
#include <map>
#include <memory>

#include "model/scene.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

// The first non-null answer of `find' over an ordered map of owned objects, in key order
// (how the game asks its levels and a level its scenes).
template <typename Map, typename Find>
auto FirstFound(const Map& map, Find find) -> decltype(find(*map.begin()->second)) {
  for (const auto& entry : map) {
    if (auto found = find(*entry.second)) return found;
  }
  return nullptr;
}

class CLevel : public ISerializable {
 public:
  using Scenes = std::map<int32_t, std::unique_ptr<CScene>>;

  // The MakeLevel record, with the scenes' records in ascending number.
  void Serialize(std::string& out) const override;

  int32_t GetSeqId() const { return mSeqId; }
  void SetSeqId(int32_t seqId) { mSeqId = seqId; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }

  // Stores the scene under its number, deleting a scene stored there before; answers the
  // number. A null scene is ignored (answers -1).
  int32_t AddScene(std::unique_ptr<CScene> scene);
  CScene* GetScene(int32_t seqId) const;
  // Deletes the scene of that number; nothing when there is none.
  void RemoveScene(int32_t seqId);
  const Scenes& GetScenes() const { return mScenes; }

  // The first exit or hotspot of that id, asking the scenes in ascending number.
  CSceneExit* FindSceneExit(const TString& id) const;
  CSceneHotspot* FindSceneHotspot(const TString& id) const;
  // Every scene, in ascending number, sets the flag of its objects of that name.
  void SetObjectActive(const TString& name, bool active);
  void SetObjectVisible(const TString& name, bool visible);
  // The answer of the scene with the lowest number; false for a level without scenes.
  bool IsObjectActive(const TString& name) const;

 private:
  int32_t mSeqId = 0;
  TString mName;
  Scenes mScenes;
};
