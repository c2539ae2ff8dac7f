#pragma once
// CGame: the root of one player's game model. It owns the levels with their scenes, the
// item definitions and the inventory, knows the start and current scene, and holds the
// layout values the screens share (sundial and hint sprites, the mini-game and cutscene
// buttons, the sidebar buttons, the item-use feedback). Its record, written by Serialize,
// is the saved game ("gamedata"). Screens only point into the model.
//
// It also holds two fixed tables of the story's places (three-digit place codes): which
// scene numbers show a place, and which exits lead from it to which place. A scene number
// has six digits: the chapter, the place code, a two-digit variant (120001: chapter 1,
// place 200, variant 01).

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/inventory.h"
#include "model/inventory_item.h"
#include "model/level.h"
#include "model/model_services.h"
#include "model/serializable.h"
#include "platform/engine_string.h"

class CGame : public ISerializable {
 public:
  using Levels = std::map<int32_t, std::unique_ptr<CLevel>>;
  using Items = std::map<std::string, std::unique_ptr<CInventoryItem>>;
  using LocationScenes = std::map<std::string, std::vector<int32_t>>;
  // Per place: (exit id, place the exit leads to).
  using LocationExits = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

  static CGame* GetInstance();
  // Makes the game only when there is none; answers the instance.
  static CGame* CreateInstance();
  static void DestroyInstance();

  // Registers "GetCurrentLevel", "GetInventoryItemDescription", "GetInventoryItemPickupImage",
  // "SetActive", "GetActive", "SetVisible" and "SetSceneTheme" on the model script.
  CGame();
  // Deletes every level, then every item definition.
  ~CGame() override;
  CGame(const CGame&) = delete;
  CGame& operator=(const CGame&) = delete;

  // The require line and the MakeGame record: the fields, the levels in ascending id, the
  // item definitions in name order, the inventory and the score settings.
  void Serialize(std::string& out) const override;

  // Stores the level under its id, deleting a level stored there before; answers the id.
  // A null level is ignored (answers -1).
  int32_t AddLevel(std::unique_ptr<CLevel> level);
  const Levels& GetLevels() const { return mLevels; }
  // Registers the definition under its name, replacing one of the same name.
  void AddInventoryItemDefinition(std::unique_ptr<CInventoryItem> item);
  // The definition of that name, or null.
  CInventoryItem* GetInventoryItem(const TString& name) const;
  const Items& GetInventoryItems() const { return mItems; }
  // The inventory's AddItem and RemoveItem (which notify its observers).
  void AddInventoryItem(const TString& name) { mInventory.AddItem(name); }
  void RemoveInventoryItem(const TString& name) { mInventory.RemoveItem(name); }
  CInventory& GetInventory() { return mInventory; }

  // Lookups ask the levels in ascending id and answer the first match, or null / -1.
  CScene* FindScene(int32_t seqId) const;
  int32_t GetLevelIdOfScene(int32_t seqId) const;
  CSceneExit* FindSceneExit(const TString& id) const;
  CSceneHotspot* FindSceneHotspot(const TString& id) const;

  // -1: none. Setting the start scene sets the current scene too while that is -1.
  void SetStartScene(int32_t seqId);
  int32_t GetStartScene() const { return mStartScene; }
  void SetCurrentScene(int32_t seqId) { mCurrentScene = seqId; }
  int32_t GetCurrentSceneNumber() const { return mCurrentScene; }
  // The scene of the current scene number, or null.
  CScene* GetCurrentScene() const { return FindScene(mCurrentScene); }

  // Script functions.
  // The id of the level holding the current scene; -1 when none does.
  int32_t GetCurrentLevel() const { return GetLevelIdOfScene(mCurrentScene); }
  // The definition's texts; "" (and a log line) for a name without a definition.
  TString GetInventoryItemDescription(const TString& name) const;
  TString GetInventoryItemPickupImage(const TString& name) const;
  // Every level sets the flag of its scene objects of that name.
  void SetActive(const TString& name, bool active);
  void SetVisible(const TString& name, bool visible);
  // The answer of the level with the lowest id; false without levels.
  bool GetActive(const TString& name) const;
  // The first level holding the scene sets its theme (its music).
  void SetSceneTheme(int32_t seqId, const TString& theme);

  // The fixed place tables; a place code without an entry gives an empty list.
  static const LocationScenes& GetLocationScenes();
  static const LocationExits& GetLocationExits();
  static const std::vector<int32_t>& GetLocationScenes(const std::string& place);
  static const std::vector<std::pair<std::string, std::string>>& GetLocationExits(const std::string& place);

  // Layout values.
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  uint32_t GetSundialShadowCount() const { return mSundialShadowCount; }
  void SetSundialShadowCount(uint32_t count) { mSundialShadowCount = count; }
  const TString& GetSundialShadowSprite() const { return mSundialShadowSprite; }
  void SetSundialShadowSprite(const TString& sprite) { mSundialShadowSprite = sprite; }
  const TString& GetSundialPoleSprite() const { return mSundialPoleSprite; }
  void SetSundialPoleSprite(const TString& sprite) { mSundialPoleSprite = sprite; }
  uint32_t GetHintCount() const { return mHintCount; }
  void SetHintCount(uint32_t count) { mHintCount = count; }
  const TString& GetHintSprite() const { return mHintSprite; }
  void SetHintSprite(const TString& sprite) { mHintSprite = sprite; }
  const TString& GetSidebarMenuButtonGraphic() const { return mSidebarMenuButtonGraphic; }
  void SetSidebarMenuButtonGraphic(const TString& graphic) { mSidebarMenuButtonGraphic = graphic; }
  const TString& GetSidebarDiaryButtonGraphic() const { return mSidebarDiaryButtonGraphic; }
  void SetSidebarDiaryButtonGraphic(const TString& graphic) { mSidebarDiaryButtonGraphic = graphic; }
  const TString& GetSidebarHelpButtonGraphic() const { return mSidebarHelpButtonGraphic; }
  void SetSidebarHelpButtonGraphic(const TString& graphic) { mSidebarHelpButtonGraphic = graphic; }
  const TString& GetSidebarLightButtonGraphic() const { return mSidebarLightButtonGraphic; }
  void SetSidebarLightButtonGraphic(const TString& graphic) { mSidebarLightButtonGraphic = graphic; }

  // The skip and menu buttons of the mini-games: position, graphic, font and colour.
  struct TButtonLayout {
    int32_t posX = 0;
    int32_t posY = 0;
    TString graphic;
    TString fontType;  // a font file name
    uint32_t fontSize = 0;
    uint32_t fontColorR = 0;
    uint32_t fontColorG = 0;
    uint32_t fontColorB = 0;
  };
  TButtonLayout& MiniGameSkipButton() { return mMiniGameSkipButton; }
  TButtonLayout& MiniGameMenuButton() { return mMiniGameMenuButton; }
  int32_t GetMiniGameSkipButtonPosX() const { return mMiniGameSkipButton.posX; }
  int32_t GetMiniGameSkipButtonPosY() const { return mMiniGameSkipButton.posY; }
  const TString& GetMiniGameSkipButtonGraphic() const { return mMiniGameSkipButton.graphic; }
  const TString& GetMiniGameSkipButtonFontType() const { return mMiniGameSkipButton.fontType; }
  uint32_t GetMiniGameSkipButtonFontSize() const { return mMiniGameSkipButton.fontSize; }
  uint32_t GetMiniGameSkipButtonFontColorR() const { return mMiniGameSkipButton.fontColorR; }
  uint32_t GetMiniGameSkipButtonFontColorG() const { return mMiniGameSkipButton.fontColorG; }
  uint32_t GetMiniGameSkipButtonFontColorB() const { return mMiniGameSkipButton.fontColorB; }
  int32_t GetMiniGameMenuButtonPosX() const { return mMiniGameMenuButton.posX; }
  int32_t GetMiniGameMenuButtonPosY() const { return mMiniGameMenuButton.posY; }
  const TString& GetMiniGameMenuButtonGraphic() const { return mMiniGameMenuButton.graphic; }
  const TString& GetMiniGameMenuButtonFontType() const { return mMiniGameMenuButton.fontType; }
  uint32_t GetMiniGameMenuButtonFontSize() const { return mMiniGameMenuButton.fontSize; }
  uint32_t GetMiniGameMenuButtonFontColorR() const { return mMiniGameMenuButton.fontColorR; }
  uint32_t GetMiniGameMenuButtonFontColorG() const { return mMiniGameMenuButton.fontColorG; }
  uint32_t GetMiniGameMenuButtonFontColorB() const { return mMiniGameMenuButton.fontColorB; }

  int32_t GetCutsceneSkipButtonPosX() const { return mCutsceneSkipButtonPosX; }
  void SetCutsceneSkipButtonPosX(int32_t x) { mCutsceneSkipButtonPosX = x; }
  int32_t GetCutsceneSkipButtonPosY() const { return mCutsceneSkipButtonPosY; }
  void SetCutsceneSkipButtonPosY(int32_t y) { mCutsceneSkipButtonPosY = y; }
  const TString& GetCutsceneSkipButtonGraphic() const { return mCutsceneSkipButtonGraphic; }
  void SetCutsceneSkipButtonGraphic(const TString& graphic) { mCutsceneSkipButtonGraphic = graphic; }

  const TString& GetCanUseItemSound() const { return mCanUseItemSound; }
  void SetCanUseItemSound(const TString& sound) { mCanUseItemSound = sound; }
  const TString& GetCanNotUseItemText() const { return mCanNotUseItemText; }
  void SetCanNotUseItemText(const TString& text) { mCanNotUseItemText = text; }
  const TString& GetCanNotUseItemSound() const { return mCanNotUseItemSound; }
  void SetCanNotUseItemSound(const TString& sound) { mCanNotUseItemSound = sound; }

 private:
  void WriteFields(class CRecordWriter& record) const;

  TString mName;
  Levels mLevels;
  Items mItems;
  int32_t mStartScene = -1;
  int32_t mCurrentScene = -1;
  CInventory mInventory;
  uint32_t mSundialShadowCount = 0;
  TString mSundialShadowSprite;
  TString mSundialPoleSprite;
  uint32_t mHintCount = 0;
  TString mHintSprite;
  TString mSidebarMenuButtonGraphic;
  TString mSidebarDiaryButtonGraphic;
  TString mSidebarHelpButtonGraphic;
  TString mSidebarLightButtonGraphic;
  TButtonLayout mMiniGameSkipButton;
  TButtonLayout mMiniGameMenuButton;
  int32_t mCutsceneSkipButtonPosX = 0;
  int32_t mCutsceneSkipButtonPosY = 0;
  TString mCutsceneSkipButtonGraphic;
  TString mCanUseItemSound;
  TString mCanNotUseItemText;
  TString mCanNotUseItemSound;
  CModelBinding mBinding{this};
};
