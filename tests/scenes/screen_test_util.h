#pragma once
// The rig of the screen tests (adventure, placing-object and hidden-object screens and the
// sidebar): the scene rig with the screens' window types, the sidebar's layout on the
// 320x240 display (five 30 x 30 buttons down the left edge, a strip of four inventory slots
// along the bottom, a list of 60 x 20 entries), its pictures, and a scene of the test's own
// as the current scene.

#include <map>
#include <memory>
#include <string>

#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/hidden_object_game.h"
#include "model/level.h"
#include "scene_window_test_util.h"

class TScene;
class TSidebarWindow;
class TSidebarInventoryWindow;

class TScreenTest : public TSceneWindowTest {
 protected:
  // Button points (inside each button).
  static constexpr TPoint HintButton{20, 20};
  static constexpr TPoint HelpButton{20, 60};
  static constexpr TPoint MenuButton{20, 100};
  static constexpr TPoint DiaryButton{20, 140};
  static constexpr TPoint LightButton{20, 180};
  // The inventory slots: slot i at (60 + 30 i, 200), 20 x 20.
  static TPoint Slot(int32_t index) { return TPoint(65 + 30 * index, 205); }

  void SetUp() override;

  // Puts the scene in a level of its own (id 9) and makes it the current scene.
  template <typename T>
  T& AddCurrent(std::unique_ptr<T> scene) {
    T& raw = *scene;
    auto level = std::make_unique<CLevel>();
    level->SetSeqId(9);
    level->AddScene(std::move(scene));
    CGame::GetInstance()->AddLevel(std::move(level));
    CGame::GetInstance()->SetCurrentScene(raw.GetSeqId());
    return raw;
  }
  // An object of the room: image "pics/<image>.png", active and visible.
  CSceneObject& AddObject(CAdventureScreen& room, const char* id, int32_t x, int32_t y, const char* image);
  // An item definition with the picture "pics/<name>.png" and commands by event.
  CInventoryItem& DefineItem(const char* name, const std::map<std::string, std::string>& actions = {});
  // A hidden object of the game at (x, y) with the picture "pics/<id>.png" (20 x 20).
  CHiddenObject& AddHiddenObject(CHiddenObjectGame& game, const char* id, int32_t x, int32_t y, int32_t group = 0,
                                 const char* groupName = "none");
  // A hotspot over the rectangle with an "OnClick" command.
  CSceneHotspot& AddHotspot(CScene& scene, const char* id, TRect area, const std::string& onClick);

  TSidebarWindow* Sidebar();
  TSidebarInventoryWindow* Items();
  // A global of the UI script as text ("nil" when unset).
  std::string Global(const char* name);
};
