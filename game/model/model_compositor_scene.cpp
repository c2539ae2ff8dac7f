// The records inside every scene: the shared scene fields, text boxes, exits, hotspots,
// scene objects, hidden objects and action maps; and the text-box lists of rooms.

#include <string>

#include "model/hidden_object.h"
#include "model/model_compositor.h"
#include "model/model_types.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "model/textbox.h"
#include "script/lua_glue.h"

namespace {

// What exits and hotspots share: id, name, the four corners, text, flag and cursor path.
template <typename Area>
void AddAreaKeys(CRecordRules<Area>& rules) {
  rules.Key("id", &Area::SetId)
      .Key("name", &Area::SetName)
      .Key("positionX1", &Area::SetPositionX1)
      .Key("positionY1", &Area::SetPositionY1)
      .Key("positionX2", &Area::SetPositionX2)
      .Key("positionY2", &Area::SetPositionY2)
      .Key("positionX3", &Area::SetPositionX3)
      .Key("positionY3", &Area::SetPositionY3)
      .Key("positionX4", &Area::SetPositionX4)
      .Key("positionY4", &Area::SetPositionY4)
      .Key("text", &Area::SetText)
      .Key("isActive", &Area::SetActive)
      .Key("cursorstylepath", &Area::SetCursorStylePath);
}

// A composed map is copied into the object's own; the commands are shared, so they stay
// alive when the composed map goes.
template <typename Holder>
void AddActionMapRecord(CRecordRules<Holder>& rules) {
  rules.Nested(ModelActionMap, [](Holder& holder, TLuaTable& map) {
    holder.SetActionMap(CModelCompositor::ComposeActionMap(map));
  });
}

template <typename T>
std::unique_ptr<T> Compose(TLuaTable& table, const CRecordRules<T>& rules, std::unique_ptr<T> object) {
  rules.Walk(*object, table);
  return object;
}

}  // namespace

void CModelCompositor::ComposeScene(CScene& scene, TLuaTable& table) {
  static const CRecordRules<CScene> rules = [] {
    CRecordRules<CScene> sceneRules;
    sceneRules.Key("seqId", &CScene::SetSeqId)
        .Key("bg", &CScene::SetBg)
        .Key("theme", &CScene::SetTheme)
        .Key("atmo", &CScene::SetAtmo)
        .Key("minLoop", &CScene::SetMinLoop)
        .Key("maxLoop", &CScene::SetMaxLoop)
        .Key("themeOffset", &CScene::SetThemeOffset)
        .Key("fadeInDuration", &CScene::SetFadeInDuration)
        .Key("fadeOutDuration", &CScene::SetFadeOutDuration)
        .Key("nextScene", &CScene::SetNextScene)
        .Key("initScript", &CScene::SetInitScript)
        .Key("exitScript", &CScene::SetExitScript)
        .Key("showDiaryButton", &CScene::SetShowDiaryButton)
        .Key("showHintButton", &CScene::SetShowHintButton)
        .Key("showLightButton", &CScene::SetShowLightButton)
        .Key("alphaOfBlack", &CScene::SetAlphaOfBlack)
        .Key("candleWindow", &CScene::SetCandleWindow)
        .Key("infoTextAtCursor", &CScene::SetInfoTextAtCursor)
        .TrueFlagKey("showSkipButton", &CScene::SetShowSkipButton)
        .Nested(ModelSceneExit, [](CScene& s, TLuaTable& exit) { s.AddSceneExit(ComposeSceneExit(exit)); })
        .Nested(ModelSceneHotspot, [](CScene& s, TLuaTable& hotspot) { s.AddSceneHotspot(ComposeSceneHotspot(hotspot)); })
        .Nested(ModelTextbox, [](CScene& s, TLuaTable& textbox) { s.AddTextbox(ComposeTextbox(textbox)); });
    return sceneRules;
  }();
  rules.Walk(scene, table);
}

std::unique_ptr<CTextbox> CModelCompositor::ComposeTextbox(TLuaTable& table) {
  static const CRecordRules<CTextbox> rules = [] {
    CRecordRules<CTextbox> textboxRules;
    textboxRules.Key("red", &CTextbox::SetRed)
        .Key("green", &CTextbox::SetGreen)
        .Key("blue", &CTextbox::SetBlue)
        .Key("alpha", &CTextbox::SetAlpha)
        .Key("textFont", &CTextbox::SetTextFont)
        .Key("textboxHeight", &CTextbox::SetTextboxHeight)
        .Key("textboxWidth", &CTextbox::SetTextboxWidth)
        .Key("lineHeight", &CTextbox::SetLineHeight)
        .Key("text", &CTextbox::SetText)
        .Key("textboxPositionX", &CTextbox::SetTextboxPositionX)
        .Key("textboxPositionY", &CTextbox::SetTextboxPositionY)
        .Key("rotation", &CTextbox::SetRotation);
    return textboxRules;
  }();
  return Compose(table, rules, std::make_unique<CTextbox>());
}

std::unique_ptr<CSceneExit> CModelCompositor::ComposeSceneExit(TLuaTable& table) {
  static const CRecordRules<CSceneExit> rules = [] {
    CRecordRules<CSceneExit> exitRules;
    AddAreaKeys(exitRules);
    exitRules.Key("nextScene", &CSceneExit::SetNextScene)
        .Key("imagePositionX", &CSceneExit::SetImagePositionX)
        .Key("imagePositionY", &CSceneExit::SetImagePositionY)
        .Key("image", &CSceneExit::SetImage)
        .Key("cursorstyleid", &CSceneExit::SetCursorStyleId);
    return exitRules;
  }();
  return Compose(table, rules, std::make_unique<CSceneExit>());
}

std::unique_ptr<CSceneHotspot> CModelCompositor::ComposeSceneHotspot(TLuaTable& table) {
  static const CRecordRules<CSceneHotspot> rules = [] {
    CRecordRules<CSceneHotspot> hotspotRules;
    AddAreaKeys(hotspotRules);
    AddActionMapRecord(hotspotRules);
    return hotspotRules;
  }();
  return Compose(table, rules, std::make_unique<CSceneHotspot>());
}

std::unique_ptr<CSceneObject> CModelCompositor::ComposeSceneObject(TLuaTable& table) {
  static const CRecordRules<CSceneObject> rules = [] {
    CRecordRules<CSceneObject> objectRules;
    objectRules.Key("id", &CSceneObject::SetId)
        .Key("name", &CSceneObject::SetName)
        .Key("positionX", &CSceneObject::SetPositionX)
        .Key("positionY", &CSceneObject::SetPositionY)
        .Key("image", &CSceneObject::SetImage)
        .Key("timesPickable", &CSceneObject::SetTimesPickable)
        .Key("invitem", &CSceneObject::SetInvItem)
        .Key("text", &CSceneObject::SetText)
        .Key("isActive", &CSceneObject::SetActive)
        .Key("isVisible", &CSceneObject::SetVisible);
    AddActionMapRecord(objectRules);
    return objectRules;
  }();
  return Compose(table, rules, std::make_unique<CSceneObject>());
}

std::unique_ptr<CHiddenObject> CModelCompositor::ComposeHiddenObject(TLuaTable& table, const TString& groupName,
                                                                     int32_t groupId) {
  static const CRecordRules<CHiddenObject> rules = [] {
    CRecordRules<CHiddenObject> objectRules;
    objectRules.Key("id", &CHiddenObject::SetId)
        .Key("name", &CHiddenObject::SetName)
        .Key("positionX", &CHiddenObject::SetPositionX)
        .Key("positionY", &CHiddenObject::SetPositionY)
        .Key("image", &CHiddenObject::SetImage)
        .Key("isActive", &CHiddenObject::SetActive)
        .Key("isVisible", &CHiddenObject::SetVisible)
        .Key("groupName", &CHiddenObject::SetGroupName)
        .Key("groupId", &CHiddenObject::SetGroupId);
    AddActionMapRecord(objectRules);
    return objectRules;
  }();
  auto object = std::make_unique<CHiddenObject>();
  object->SetGroupName(groupName);
  object->SetGroupId(groupId);
  return Compose(table, rules, std::move(object));
}

ActionMap CModelCompositor::ComposeActionMap(TLuaTable& table) {
  ActionMap map;
  WalkRecord(table, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> pair = entry.Table();
    if (!pair) return;
    std::vector<TString> values;
    WalkRecord(*pair, [&](const CRecordEntry& value) {
      if (values.size() < 2) values.push_back(value.String());
    });
    if (values.size() == 2) map.Set(values[0], std::make_shared<CCommandLua>(values[1]));
  });
  return map;
}

std::array<int32_t, 4> ReadTextColor(TLuaTable& table) {
  std::array<int32_t, 4> color{};
  const char* const keys[] = {"red", "green", "blue", "alpha"};
  for (size_t i = 0; i < color.size(); ++i) color[i] = LuaNumberToInt(table.GetNumber(keys[i], 0));
  return color;
}

std::vector<TTextboxEntry> ReadTextboxes(TLuaTable& list) {
  std::vector<TTextboxEntry> boxes;
  TTextboxEntry box;
  WalkRecord(list, [&](const CRecordEntry& entry) {
    std::unique_ptr<TLuaTable> table = entry.Table();
    if (!table) return;
    // The place carries over from the box before; text and rotation start afresh.
    box.text = TString();
    box.rotation = 0;
    WalkRecord(*table, [&](const CRecordEntry& field) {
      if (field.Is("text"))
        box.text = field.String();
      else if (field.Is("x"))
        box.x = field.Whole();
      else if (field.Is("y"))
        box.y = field.Whole();
      else if (field.Is("rotation"))
        box.rotation = field.Real();
    });
    boxes.push_back(box);
  });
  return boxes;
}

void ComposeTextboxes(TLuaTable& list, CTextboxLayout& target) {
  for (const TTextboxEntry& box : ReadTextboxes(list)) {
    target.AddTextboxText(box.text);
    target.AddTextboxRotation(box.rotation);
    target.AddTextboxPosition(box.x, box.y);
  }
}
