// TSidebarWindow: the hint button. It refills over the play time since the last hint
// ("hintrefilltime" seconds after an offset of "hintrefillTimerOffsetInS"), its picture
// running through the game's hint frames; it glows once when the hint is ready, and a click
// on a ready button gives the hint of the screen: the hidden-object window circles an
// object still to find, an adventure screen circles the point or the exit toward the place
// the story's globals name, a placing-object screen circles an object on which one of the
// items to place can be used. Every hint counts and restarts the refill. The same frame
// step ends the timed glows of the hint and diary buttons and turns the sundial's shadow.

#include <algorithm>
#include <cmath>

#include "graphics/texture.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/placing_object_game.h"
#include "platform/log.h"
#include "platform/random.h"
#include "scenes/game_flow.h"
#include "scenes/hidden_object_game_window.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_window.h"
#include "scenes/sprite_window.h"
#include "sound/sound.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

namespace {

const char* const HintSoundFile = "audio/sfx/hint.ogg";
// A placing-object hint draws among the first items only.
constexpr int32_t PlacingHintChoices = 5;

uint32_t SettingSeconds(const char* key) { return uint32_t(scene::ConfigInt(key)); }

uint32_t PlayTime() { return HighscoreSystem::GetElapsedTimeSinceLastHintUse(); }

void CountHint() { HighscoreSystem::Call(&CHighscoreSystem::UseHint); }

// Whether the clock runs and has reached the setting's milliseconds.
bool GlowTimeIsUp(const TClock& clock, const char* key) {
  return !clock.IsPaused() && int64_t(clock.GetTime()) >= int64_t(scene::ConfigInt(key));
}

}  // namespace

TSidebarWindow::TRefill TSidebarWindow::RefillAt(uint32_t playTime) {
  uint32_t offset = SettingSeconds("hintrefillTimerOffsetInS");
  uint32_t refillTime = SettingSeconds("hintrefilltime");
  TRefill refill;
  refill.level = playTime < offset ? 0 : playTime - offset;
  refill.ready = refill.level > refillTime;
  refill.clamped = std::min(refill.level, refillTime);
  return refill;
}

TString TSidebarWindow::HintFrameAsset(uint32_t clampedLevel) {
  CGame* game = CGame::GetInstance();
  if (!game) return TString();
  uint32_t refillTime = SettingSeconds("hintrefilltime");
  uint32_t count = game->GetHintCount();
  uint32_t frame = count;
  if (refillTime == 0) {
    // Nothing to refill: the button stands full.
    if (!mZeroRefillReported)
      LogPrintf("TSidebarWindow: \"hintrefilltime\" is 0; the hint button shows its last frame");
    mZeroRefillReported = true;
  } else {
    frame = uint32_t(std::trunc(double(clampedLevel) / double(refillTime) * double(count)));
  }
  if (frame == 0) frame = 1;
  return game->GetHintSprite() + TString::Printf("%02u", frame % 100);
}

bool TSidebarWindow::IsHintReadyForClick() const { return RefillAt(PlayTime() + 1).ready; }

void TSidebarWindow::StepHint() {
  TRefill refill = RefillAt(PlayTime());
  uint32_t refillTime = SettingSeconds("hintrefilltime");
  if (refill.ready && mLastRefillLevel != -1 && uint32_t(mLastRefillLevel) <= refillTime) {
    mGlows.Add(ButtonSprite("hintTimer"));
    mHintGlowClock.Start();
    mLastRefillLevel = -1;
  }
  if (GlowTimeIsUp(mDiaryGlowClock, "glowtimerDiary")) {
    mGlows.Remove(ButtonSprite("sidebardiary"));
    mDiaryGlowClock.Reset();
  }
  if (GlowTimeIsUp(mHintGlowClock, "glowtimerhint")) {
    mGlows.Remove(ButtonSprite("hintTimer"));
    mHintGlowClock.Reset();
  }
  StepSundial();
  CGame* game = CGame::GetInstance();
  if (game && game->GetHintCount() > 0 && mSpriteWindow)
    mSpriteWindow->SetSpriteTexture("hintTimer", HintFrameAsset(refill.clamped));
  if (refill.clamped != refillTime) mLastRefillLevel = int32_t(std::min<uint32_t>(refill.clamped, INT32_MAX));
}

void TSidebarWindow::StepSundial() {
  CGame* game = CGame::GetInstance();
  IGameFlow* flow = GetGameFlow();
  if (!game || !flow || flow->GetCurrentGameMode() != 0 || game->GetSundialShadowCount() == 0 || !mSpriteWindow)
    return;
  uint32_t count = game->GetSundialShadowCount();
  uint32_t percent = HighscoreSystem::GetRemainingTimePercent();
  uint32_t k = uint32_t(float(double(count - 1) / 100.0 * double(percent)) + 0.5f);
  uint32_t index = count - std::min(k, count);
  mSpriteWindow->SetSpriteTexture("sundialShadow",
                                  game->GetSundialShadowSprite() + TString::Printf("%04u", index % 10000));
}

void TSidebarWindow::PlayHintSound() {
  if (mHintSound) mHintSound->StopAll();
  mHintSound = TSound::Get(HintSoundFile, 1, 1000);
  if (mHintSound) mHintSound->Play(false);
}

bool TSidebarWindow::ClickHint() {
  if (mScreenType != SidebarPlacingObject && mScreenType != SidebarAdventure && mScreenType != SidebarHiddenObject)
    return false;
  if (!IsHintReadyForClick()) return true;
  if (mScreenType == SidebarHiddenObject) {
    PlayHintSound();
    if (auto* window = WindowCast<THiddenObjectGameWindow>(GetParent())) window->ShowHint();
    CountHint();
  } else if (mScreenType == SidebarAdventure) {
    if (mHintSound) mHintSound->StopAll();
    if (scene::Config("IS_OLVARI") == "true") {
      TWindowManager* windows = GetWindowManager();
      if (TWindowScript* script = windows ? windows->GetScript() : nullptr) script->DoLuaString("ShowHintText(0);");
      CountHint();
      return true;
    }
    CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance();
    TString location = globals ? globals->GetGlobalString("HintLocation") : TString();
    int32_t x = globals ? scene::Truncate(globals->GetGlobalNumber("HintPosX")) : 0;
    int32_t y = globals ? scene::Truncate(globals->GetGlobalNumber("HintPosY")) : 0;
    if (!location.IsEmpty())
      if (TScene* scene = FindSceneWindow()) scene->ShowHintAt(location.c_str(), x, y);
    PlayHintSound();
    CountHint();
  } else {
    PlayHintSound();
    ShowPlacingObjectHint();
    CountHint();
  }
  return true;
}

void TSidebarWindow::ShowPlacingObjectHint() {
  auto* placing = dynamic_cast<CPlacingObjectGame*>(mAdventureModel);
  CGame* game = CGame::GetInstance();
  if (!placing || !game) return;
  const CInventory& inventory = placing->GetInventory();
  int32_t choices = std::min(inventory.GetItemCount(), PlacingHintChoices);
  if (choices <= 0) {
    LogPrintf("TSidebarWindow: the placing-object scene has no item left to place; the hint points nowhere");
    return;
  }
  const TString* name = inventory.GetItemName(GameRand() % choices);
  const CInventoryItem* item = name ? game->GetInventoryItem(*name) : nullptr;
  if (!item) return;
  for (const auto& [event, command] : item->GetActionMap().GetEntries()) {
    CSceneObject* object = placing->FindSceneObject(TString(event));
    if (!object || !object->IsActive()) continue;
    std::shared_ptr<TTexture> texture = TTexture::Get(object->GetImage(), 0);
    int32_t width = texture ? int32_t(texture->GetWidth()) : 0, height = texture ? int32_t(texture->GetHeight()) : 0;
    if (TScene* scene = FindSceneWindow())
      scene->StartHintSpiral(object->GetPositionX() + width / 2, object->GetPositionY() + height / 2);
    return;
  }
}
