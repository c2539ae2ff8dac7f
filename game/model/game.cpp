#include "model/game.h"

#include "model/highscore_system.h"
#include "model/record_writer.h"
#include "platform/log.h"

namespace {

std::unique_ptr<CGame> gInstance;

void WriteButton(CRecordWriter& record, const char* prefix, const CGame::TButtonLayout& button) {
  std::string p = prefix;
  record.Number((p + "PosX").c_str(), button.posX);
  record.Number((p + "PosY").c_str(), button.posY);
  record.String((p + "Graphic").c_str(), button.graphic);
  record.String((p + "FontType").c_str(), button.fontType);
  // Sizes and colours are written as quoted numbers.
  record.QuotedNumber((p + "FontSize").c_str(), button.fontSize);
  record.QuotedNumber((p + "FontColorR").c_str(), button.fontColorR);
  record.QuotedNumber((p + "FontColorG").c_str(), button.fontColorG);
  record.QuotedNumber((p + "FontColorB").c_str(), button.fontColorB);
}

}  // namespace

CGame* CGame::GetInstance() { return gInstance.get(); }

CGame* CGame::CreateInstance() {
  if (!gInstance) gInstance = std::make_unique<CGame>();
  return gInstance.get();
}

void CGame::DestroyInstance() { gInstance.reset(); }

CGame::CGame() {
  mBinding.Bind("GetCurrentLevel", this, &CGame::GetCurrentLevel);
  mBinding.Bind("GetInventoryItemDescription", this, &CGame::GetInventoryItemDescription);
  mBinding.Bind("GetInventoryItemPickupImage", this, &CGame::GetInventoryItemPickupImage);
  mBinding.Bind("SetActive", this, &CGame::SetActive);
  mBinding.Bind("GetActive", this, &CGame::GetActive);
  mBinding.Bind("SetVisible", this, &CGame::SetVisible);
  mBinding.Bind("SetSceneTheme", this, &CGame::SetSceneTheme);
}

CGame::~CGame() {
  mLevels.clear();
  mItems.clear();
}

void CGame::Serialize(std::string& out) const {
  std::string text = "require(\"scripts/game/objectives.lua\")\n";
  CRecordWriter record("MakeGame", CRecordWriter::Head::NoEmptyLine);
  WriteFields(record);
  for (const auto& entry : mLevels) record.Nested(*entry.second);
  for (const auto& entry : mItems) record.Nested(*entry.second);
  record.Nested(mInventory);
  if (const CHighscoreSystem* score = CHighscoreSystem::GetInstance()) record.Nested(*score);
  record.Finish(text);
  out += text;
}

void CGame::WriteFields(CRecordWriter& record) const {
  record.String("name", mName);
  record.Number("startScene", mStartScene);
  record.Number("currentScene", mCurrentScene);
  record.String("sundialShadowSprite", mSundialShadowSprite);
  record.Number("sundialShadowCount", mSundialShadowCount);
  record.String("sundialPoleSprite", mSundialPoleSprite);
  record.String("hintSprite", mHintSprite);
  record.Number("hintCount", mHintCount);
  WriteButton(record, "miniGameSkipButton", mMiniGameSkipButton);
  WriteButton(record, "miniGameMenuButton", mMiniGameMenuButton);
  record.Number("cutsceneSkipButtonPosX", mCutsceneSkipButtonPosX);
  record.Number("cutsceneSkipButtonPosY", mCutsceneSkipButtonPosY);
  record.String("cutsceneSkipButtonGraphic", mCutsceneSkipButtonGraphic);
  record.String("sidebarMenuButtonGraphic", mSidebarMenuButtonGraphic);
  record.String("sidebarHelpButtonGraphic", mSidebarHelpButtonGraphic);
  record.String("sidebarDiaryButtonGraphic", mSidebarDiaryButtonGraphic);
  record.String("sidebarLightButtonGraphic", mSidebarLightButtonGraphic);
  // The item-use feedback would otherwise be lost with every saved game; a game without it
  // writes the same text as before.
  if (!mCanUseItemSound.IsEmpty()) record.String("canUseItemSound", mCanUseItemSound);
  if (!mCanNotUseItemText.IsEmpty()) record.String("canNotUseItemText", mCanNotUseItemText);
  if (!mCanNotUseItemSound.IsEmpty()) record.String("canNotUseItemSound", mCanNotUseItemSound);
}

int32_t CGame::AddLevel(std::unique_ptr<CLevel> level) {
  if (!level) return -1;
  int32_t id = level->GetSeqId();
  mLevels[id] = std::move(level);
  return id;
}

void CGame::AddInventoryItemDefinition(std::unique_ptr<CInventoryItem> item) {
  if (item) {
    std::string name = item->GetName().ToStd();
    mItems[name] = std::move(item);
  }
}

CInventoryItem* CGame::GetInventoryItem(const TString& name) const {
  auto it = mItems.find(name.ToStd());
  return it == mItems.end() ? nullptr : it->second.get();
}

CScene* CGame::FindScene(int32_t seqId) const {
  return FirstFound(mLevels, [&](const CLevel& level) { return level.GetScene(seqId); });
}

int32_t CGame::GetLevelIdOfScene(int32_t seqId) const {
  for (const auto& entry : mLevels) {
    if (entry.second->GetScene(seqId)) return entry.first;
  }
  return -1;
}

CSceneExit* CGame::FindSceneExit(const TString& id) const {
  return FirstFound(mLevels, [&](const CLevel& level) { return level.FindSceneExit(id); });
}

CSceneHotspot* CGame::FindSceneHotspot(const TString& id) const {
  return FirstFound(mLevels, [&](const CLevel& level) { return level.FindSceneHotspot(id); });
}

void CGame::SetStartScene(int32_t seqId) {
  mStartScene = seqId;
  if (mCurrentScene == -1) mCurrentScene = seqId;
}

TString CGame::GetInventoryItemDescription(const TString& name) const {
  if (const CInventoryItem* item = GetInventoryItem(name)) return item->GetDescription();
  LogPrintf("GetInventoryItemDescription: no item \"%s\"", name.c_str());
  return TString();
}

TString CGame::GetInventoryItemPickupImage(const TString& name) const {
  if (const CInventoryItem* item = GetInventoryItem(name)) return item->GetPickUpImage();
  LogPrintf("GetInventoryItemPickupImage: no item \"%s\"", name.c_str());
  return TString();
}

void CGame::SetActive(const TString& name, bool active) {
  for (auto& entry : mLevels) entry.second->SetObjectActive(name, active);
}

void CGame::SetVisible(const TString& name, bool visible) {
  for (auto& entry : mLevels) entry.second->SetObjectVisible(name, visible);
}

bool CGame::GetActive(const TString& name) const {
  return mLevels.empty() ? false : mLevels.begin()->second->IsObjectActive(name);
}

void CGame::SetSceneTheme(int32_t seqId, const TString& theme) {
  if (CScene* scene = FindScene(seqId)) scene->SetTheme(theme);
}
