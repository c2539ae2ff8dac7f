#include "screen_test_util.h"

#include "model/command.h"
#include "model/inventory_item.h"
#include "model/scene_hotspot.h"
#include "model/scene_object.h"
#include "platform/settings.h"
#include "scenes/adventure_screen_window.h"
#include "scenes/hidden_object_game_window.h"
#include "scenes/sidebar_inventory_window.h"
#include "scenes/sidebar_window.h"
#include "script/script_test_util.h"

void TScreenTest::SetUp() {
  TSceneWindowTest::SetUp();
  Manager().RegisterWindowType("AdventureScreenWindow", &TAdventureScreenWindow::Create);
  Manager().RegisterWindowType("HiddenObjectGame", &THiddenObjectGameWindow::Create);
  const struct {
    const char* prefix;
    TPoint at;
  } buttons[] = {{"sbwHintButton", {10, 10}},
                 {"sbwHelpButton", {10, 50}},
                 {"sbwMenuButton", {10, 90}},
                 {"sbwDiaryButton", {10, 130}},
                 {"sbwLightButton", {10, 170}}};
  for (const auto& button : buttons) {
    SetConfig(TString(button.prefix) + "X", TString::Printf("%d", button.at.x));
    SetConfig(TString(button.prefix) + "Y", TString::Printf("%d", button.at.y));
  }
  SetConfig("amountInventoryItems", "4");
  SetConfig("inventoryStartPosX", "60");
  SetConfig("inventoryStartPosY", "200");
  SetConfig("inventoryPosOffsetX", "30");
  SetConfig("itemlistPosX", "200");
  SetConfig("itemlistPosY", "10");
  SetConfig("itemlistWidth", "60");
  SetConfig("itemlistHeight", "20");
  SetConfig("itemlistPosOffset", "4");
  SetConfig("hintrefilltime", "60");
  SetConfig("hintrefillTimerOffsetInS", "10");
  for (const char* name : {"pics/hint01.png", "pics/hint02.png", "pics/help.png", "pics/menu.png", "pics/diary.png",
                           "pics/light.png"})
    Solid(name, 30, 30, 0xFF806040);
  Solid("sprites/no_sprite.png", 20, 20, 0x40FFFFFF);
  CGame& game = *CGame::GetInstance();
  game.SetHintSprite("pics/hint");
  game.SetHintCount(2);
  game.SetSidebarHelpButtonGraphic("pics/help.png");
  game.SetSidebarMenuButtonGraphic("pics/menu.png");
  game.SetSidebarDiaryButtonGraphic("pics/diary.png");
  game.SetSidebarLightButtonGraphic("pics/light.png");
}

CSceneObject& TScreenTest::AddObject(CAdventureScreen& room, const char* id, int32_t x, int32_t y,
                                     const char* image) {
  auto object = std::make_unique<CSceneObject>();
  object->SetId(id);
  object->SetPositionX(x);
  object->SetPositionY(y);
  object->SetImage(TString("pics/") + image + ".png");
  object->SetActive(true);
  CSceneObject& raw = *object;
  room.AddSceneObject(std::move(object));
  return raw;
}

CInventoryItem& TScreenTest::DefineItem(const char* name, const std::map<std::string, std::string>& actions) {
  std::string image = std::string("pics/") + name + ".png";
  Solid(image.c_str(), 20, 20, 0xFF20A040);
  auto item = std::make_unique<CInventoryItem>();
  item->SetId(name);
  item->SetName(name);
  item->SetImage(TString(image));
  item->SetDescription(TString(name) + "_desc");
  ActionMap map;
  for (const auto& [event, lua] : actions) map.Set(TString(event), std::make_shared<CCommandLua>(TString(lua)));
  item->SetActionMap(map);
  CInventoryItem& raw = *item;
  CGame::GetInstance()->AddInventoryItemDefinition(std::move(item));
  return raw;
}

CHiddenObject& TScreenTest::AddHiddenObject(CHiddenObjectGame& game, const char* id, int32_t x, int32_t y,
                                            int32_t group, const char* groupName) {
  std::string image = std::string("pics/") + id + ".png";
  Solid(image.c_str(), 20, 20, 0xFF3060C0);
  auto object = std::make_unique<CHiddenObject>();
  object->SetId(id);
  object->SetName(TString(id) + "_label");
  object->SetImage(TString(image));
  object->SetPositionX(x);
  object->SetPositionY(y);
  object->SetGroupId(group);
  object->SetGroupName(groupName);
  CHiddenObject& raw = *object;
  game.AddHiddenObject(std::move(object));
  return raw;
}

CSceneHotspot& TScreenTest::AddHotspot(CScene& scene, const char* id, TRect area, const std::string& onClick) {
  auto hotspot = std::make_unique<CSceneHotspot>();
  hotspot->SetId(id);
  hotspot->SetCorner(1, area.left, area.top), hotspot->SetCorner(2, area.right, area.top);
  hotspot->SetCorner(3, area.right, area.bottom), hotspot->SetCorner(4, area.left, area.bottom);
  hotspot->SetActive(true);
  ActionMap map;
  map.Set("OnClick", std::make_shared<CCommandLua>(TString(onClick)));
  hotspot->SetActionMap(map);
  CSceneHotspot& raw = *hotspot;
  scene.AddSceneHotspot(std::move(hotspot));
  return raw;
}

TSidebarWindow* TScreenTest::Sidebar() { return Find<TSidebarWindow>("sidebarWindow"); }

TSidebarInventoryWindow* TScreenTest::Items() { return Find<TSidebarInventoryWindow>("itemsWindow"); }

std::string TScreenTest::Global(const char* name) { return GlobalText(L(), name); }
