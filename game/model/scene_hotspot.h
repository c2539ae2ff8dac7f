#pragma once
// CSceneHotspot: a clickable area of a scene with its commands by event ("OnClick").

#include "model/command.h"
#include "model/scene_area.h"

class CSceneHotspot : public CSceneArea {
 public:
  bool IsOfType(int modelType) const override;
  // The MakeSceneHotspot record, with its action map when that holds a command.
  void Serialize(std::string& out) const override;

  bool HasCursorStylePath() const { return !GetCursorStylePath().IsEmpty(); }

  const ActionMap& GetActionMap() const { return mActions; }
  // Adopts the map as a whole; the previous one goes.
  void SetActionMap(ActionMap map) { mActions = std::move(map); }
  // Runs the event's command; false when there is none. The command may delete this hotspot.
  bool ExecuteAction(const TString& event) const { return mActions.Execute(event); }

 private:
  ActionMap mActions;
};
