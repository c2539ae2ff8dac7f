// TScene: the scene's script functions. The constructor binds 44 of them as globals of the
// UI script (Init binds "SendGameMessage" too); every scene window binds them to itself, so
// they reach the scene window built last, and when that window goes they are made harmless
// (a call is a script error). "Skip", "AddInventoryItem" and "RemoveInventoryItem" reach
// the virtual slots, so a screen's override serves them.
//
// Also the functions whose behaviour lives nowhere else: the inventory, texts, hotspots and
// exits of the model, one-line texts, sound effects and the diary.

#include "model/diary.h"
#include "model/game.h"
#include "model/scene.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"
#include "sound/sound.h"

namespace {

// Diary entries made by scenes are black; the diary keeps the four channels as given.
const TRect DiaryBlack(0, 0, 0, 1);
const char* const DiaryImageFont = "standard/fonts/arial.mvec";

TDiaryValues DiaryPlace(int32_t x, int32_t y) { return TDiaryValues{0, -1, -1, x, y, 1000}; }
const TDiaryValues DiaryPageEnd{0, -1, -1, -1, -1, 1000};

}  // namespace

void TScene::BindScriptFunctions() {
  TWindowBinding& b = mBinding;
  b.Bind("AddInventoryItem", this, &TScene::AddInventoryItem);
  b.Bind("RemoveInventoryItem", this, &TScene::RemoveInventoryItem);
  b.Bind("ResetInventory", this, &TScene::ResetInventory);
  b.Bind("SetTextForInventoryItem", this, &TScene::SetTextForInventoryItem);
  b.Bind("SetTextForHotspot", this, &TScene::SetTextForHotspot);
  b.Bind("SetTextForExit", this, &TScene::SetTextForExit);
  b.Bind("StartInGameCutscene", this, &TScene::StartInGameCutscene);
  b.Bind("ShowInGameObjectPartOne", this, &TScene::ShowInGameObjectPartOne);
  b.Bind("ShowInGameObjectPartTwo", this, &TScene::ShowInGameObjectPartTwo);
  b.Bind("ShowOneLineText", this, &TScene::ShowOneLineText);
  b.Bind("ShowBriefingWindow", this, &TScene::ShowBriefingWindow);
  b.Bind("ResumePlay", this, &TScene::ResumePlay);
  b.Bind("SetSky", this, &TScene::SetSky);
  b.Bind("ShowInfoText", this, &TScene::ShowInfoText);
  b.Bind("SetActiveHotspot", this, &TScene::SetActiveHotspot);
  b.Bind("SetActiveExit", this, &TScene::SetActiveExit);
  b.Bind("SetExit", this, &TScene::SetExit);
  b.Bind("PlaySoundSFX", this, &TScene::PlaySoundSFX);
  b.Bind("Skip", this, &TScene::Skip);
  b.Bind("ShowBonusAsTextInSidebar", this, &TScene::ShowBonusAsTextInSidebar);
  b.Bind("ShowBonusAsTextOnMousePos", this, &TScene::ShowBonusAsTextOnMousePos);
  b.Bind("SetNextScene", this, &TScene::SetNextScene);
  b.Bind("BlockInput", this, &TScene::BlockInput);
  b.Bind("ShowNextInvItem", this, &TScene::ShowNextInvItem);
  b.Bind("KillNextInvItem", this, &TScene::KillNextInvItem);
  b.Bind("SetTutorialImage", this, &TScene::SetTutorialImage);
  b.Bind("SetTutorialText", this, &TScene::SetTutorialText);
  b.Bind("SetTutorialVisible", this, &TScene::SetTutorialVisible);
  b.Bind("SetTutorialTextPosition", this, &TScene::SetTutorialTextPosition);
  b.Bind("SetTutorialTextColor", this, &TScene::SetTutorialTextColor);
  b.Bind("SetAlphaOfBlack", this, &TScene::SetAlphaOfBlack);
  b.Bind("AddDiaryNewChapter", this, &TScene::AddDiaryNewChapter);
  b.Bind("AddDiaryConstantText", this, &TScene::AddDiaryConstantText);
  b.Bind("AddDiaryConstantImage", this, &TScene::AddDiaryConstantImage);
  b.Bind("AddDiaryConstantSiteEnd", this, &TScene::AddDiaryConstantSiteEnd);
  b.Bind("AddDiaryText", this, &TScene::AddDiaryText);
  b.Bind("AddDiaryImage", this, &TScene::AddDiaryImage);
  b.Bind("AddDiarySiteEnd", this, &TScene::AddDiarySiteEnd);
  b.Bind("GetDiaryCurrentSitePosX", this, &TScene::GetDiaryCurrentSitePosX);
  b.Bind("GetDiaryNextFreePosY", this, &TScene::GetDiaryNextFreePosY);
  b.Bind("GetDiaryInsertSite", this, &TScene::GetDiaryInsertSite);
  b.Bind("SetTransitionAlpha", this, &TScene::SetTransitionAlpha);
  b.Bind("SetCandleWindowVisible", this, &TScene::SetCandleWindowVisible);
  b.Bind("SetAllTextBoxesAlpha", this, &TScene::SetAllTextBoxesAlpha);
}

void TScene::ResetInventory() {
  CGame* game = CGame::GetInstance();
  if (!game) return;
  CInventory& inventory = game->GetInventory();
  // Each pass takes one name away, so the loop ends with the names.
  for (int32_t left = inventory.GetItemCount(); left > 0; left--) {
    inventory.Rewind();
    const TString* name = inventory.Next();
    if (!name) break;
    TString copy = *name;
    game->RemoveInventoryItem(copy);
  }
}

void TScene::SetTextForInventoryItem(const TString& item, const TString& text) {
  CGame* game = CGame::GetInstance();
  if (CInventoryItem* definition = game ? game->GetInventoryItem(item) : nullptr) definition->SetDescription(text);
}

void TScene::SetTextForHotspot(const TString& id, const TString& text) {
  CGame* game = CGame::GetInstance();
  if (CSceneHotspot* hotspot = game ? game->FindSceneHotspot(id) : nullptr) hotspot->SetText(text);
}

void TScene::SetTextForExit(const TString& id, const TString& text) {
  CGame* game = CGame::GetInstance();
  if (CSceneExit* exit = game ? game->FindSceneExit(id) : nullptr) exit->SetText(text);
}

void TScene::SetActiveHotspot(const TString& id, bool active) {
  CGame* game = CGame::GetInstance();
  if (CSceneHotspot* hotspot = game ? game->FindSceneHotspot(id) : nullptr) hotspot->SetActive(active);
}

void TScene::SetActiveExit(const TString& id, bool active) {
  CGame* game = CGame::GetInstance();
  if (CSceneExit* exit = game ? game->FindSceneExit(id) : nullptr) exit->SetActive(active);
}

void TScene::SetExit(const TString& id, int32_t scene) {
  CGame* game = CGame::GetInstance();
  if (CSceneExit* exit = game ? game->FindSceneExit(id) : nullptr) exit->SetNextScene(scene);
}

void TScene::SetNextScene(int32_t scene) { mModel->SetNextScene(scene); }

void TScene::SetAlphaOfBlack(int32_t percent) { mModel->SetAlphaOfBlack(percent); }

void TScene::ShowOneLineText(int32_t x, int32_t y, int32_t size, const char* colour, const char* font,
                             const char* label) {
  auto box = std::make_unique<TTextbox>(false);
  box->Setup(scene::Text(label), 1024, 768, 0, font, size, scene::Colour(colour), 1);
  box->SetPosition(x, y);
  box->SetName("customtext");
  std::unique_ptr<TWindow> window = std::move(box);
  AddChild(window, true);
}

std::shared_ptr<TSound> TScene::GetSound(const TString& name) {
  auto found = mSounds.find(name);
  if (found != mSounds.end()) return found->second;
  std::shared_ptr<TSound> sound = TSound::Get(name, 0, 1000);
  mSounds[name] = sound;
  return sound;
}

void TScene::LoadSoundAs(const TString& name, const TString& file) { mSounds[name] = TSound::Get(file, 0, 1000); }

void TScene::PlaySoundByName(const TString& name, int32_t loop, bool stop, bool play) {
  auto found = mSounds.find(name);
  if (found == mSounds.end() || !found->second) return;
  if (stop) found->second->StopAll();
  if (play) found->second->Play(loop != 0);
}

void TScene::PlaySoundSFX(const char* name) {
  GetSound(name);
  PlaySoundByName(name, 0, true, true);
}

void TScene::AddDiaryNewChapter() {
  if (TDiary* diary = TDiary::GetInstance()) diary->StartNewChapter();
}

void TScene::AddDiaryConstantText(uint32_t period, const char* text, uint32_t size, const char* font, int32_t x,
                                  int32_t y) {
  if (TDiary* diary = TDiary::GetInstance())
    diary->AddConstantContent(DiaryText, text, period, DiaryBlack, int32_t(size), font, DiaryPlace(x, y));
}

void TScene::AddDiaryConstantImage(uint32_t period, const char* image, int32_t x, int32_t y) {
  if (TDiary* diary = TDiary::GetInstance())
    diary->AddConstantContent(DiaryImage, image, period, DiaryBlack, 30, TDiary::DefaultFontFile, DiaryPlace(x, y));
}

void TScene::AddDiaryConstantSiteEnd(uint32_t period) {
  if (TDiary* diary = TDiary::GetInstance())
    diary->AddConstantContent(DiarySiteEnd, "end", period, DiaryBlack, 30, TDiary::DefaultFontFile, DiaryPageEnd);
}

void TScene::AddDiaryText(const char* text, uint32_t size, const char* font, int32_t x, int32_t y) {
  if (TDiary* diary = TDiary::GetInstance())
    diary->InsertContentAtSite(DiaryText, text, DiaryBlack, int32_t(size), font, DiaryPlace(x, y));
}

void TScene::AddDiaryImage(const char* image, int32_t x, int32_t y) {
  if (TDiary* diary = TDiary::GetInstance())
    diary->InsertContentAtSite(DiaryImage, image, DiaryBlack, 30, DiaryImageFont, DiaryPlace(x, y));
}

void TScene::AddDiarySiteEnd() {
  if (TDiary* diary = TDiary::GetInstance())
    diary->InsertContentAtSite(DiarySiteEnd, "end", DiaryBlack, 30, TDiary::DefaultFontFile, DiaryPageEnd);
}

int32_t TScene::GetDiaryCurrentSitePosX() {
  TDiary* diary = TDiary::GetInstance();
  return diary ? diary->GetInsertPageLayout().left : 0;
}

int32_t TScene::GetDiaryNextFreePosY() {
  TDiary* diary = TDiary::GetInstance();
  return diary ? diary->GetLastUsedYOnSite() : 0;
}

uint32_t TScene::GetDiaryInsertSite() {
  TDiary* diary = TDiary::GetInstance();
  return diary ? diary->GetCurrentInsertSite() : 0;
}
