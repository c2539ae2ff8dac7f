// TSidebarWindow: construction, the buttons, clicks and hover, the visibility of the buttons
// and the observer's notification.

#include "scenes/sidebar_window.h"

#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/adventure_screen.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/hidden_object_game.h"
#include "model/highscore_system.h"
#include "model/placing_object_game.h"
#include "platform/log.h"
#include "scenes/game_flow.h"
#include "scenes/scene.h"
#include "scenes/scene_internal.h"
#include "scenes/sidebar_inventory_window.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "script/script.h"
#include "windows/image_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

namespace {

const char* const HintSprite = "hintTimer";
const char* const HelpSprite = "sidebarbriefing";
const char* const MenuSprite = "sidebarmenu";
const char* const DiarySprite = "sidebardiary";
const char* const LightSprite = "sidebarlight";

// One button: its sprite, its label window and text, the prefix of its settings keys
// ("sbw" + prefix + "ButtonX" ...), the sprite's layer and the label's layout.
struct TButtonSpec {
  const char* sprite;
  const char* label;
  const char* labelText;
  const char* keyPrefix;
  int32_t layer;
  int32_t layoutFlags;
  int32_t maxLines;
};

const TButtonSpec HintButton{HintSprite, "hint", "hintbutton", "sbwHintButton", 5, 4, 2};
const TButtonSpec OtherButtons[] = {
    {HelpSprite, "help", "helpbutton", "sbwHelpButton", 2, 5, 1},
    {MenuSprite, "menu", "menu", "sbwMenuButton", 2, 5, 2},
    {DiarySprite, "diary", "diarybutton", "sbwDiaryButton", 2, 5, 1},
    {LightSprite, "light", "lightbutton", "sbwLightButton", 2, 5, 1},
};

int32_t Key(const TButtonSpec& button, const char* suffix) {
  return scene::ConfigInt((std::string(button.keyPrefix) + suffix).c_str());
}

TString KeyText(const TButtonSpec& button, const char* suffix) {
  return scene::Config((std::string(button.keyPrefix) + suffix).c_str());
}

void AddLabel(TWindow& sidebar, const TButtonSpec& button) {
  auto label = std::make_unique<TTextbox>(false);
  label->SetName(button.label);
  label->Setup(scene::Text(button.labelText), Key(button, "TextWidth"), Key(button, "TextHeight"),
               button.layoutFlags, KeyText(button, "TextFont"), Key(button, "TextFontHeight"),
               scene::Colour(KeyText(button, "TextColor")), button.maxLines);
  label->SetPosition(Key(button, "X"), Key(button, "Y"));
  label->SetAlpha(1.0f);
  scene::AttachChild(sidebar, std::move(label));
}

GeneralSprite MakeButtonSprite(const TButtonSpec& button, const TString& asset) {
  return GeneralSprite(asset, Key(button, "X"), Key(button, "Y"), SpritePivotTopLeft, SpriteKindClickable,
                       button.sprite, 1.0f, button.layer);
}

const char* BackgroundOf(int32_t screenType) {
  switch (screenType) {
    case SidebarHiddenObject:
      return "backgrounds/interface_hog";
    case SidebarAdventure:
      return "backgrounds/interface_adv";
    case SidebarPlacingObject:
      return "backgrounds/interface_po";
    default:
      return nullptr;
  }
}

}  // namespace

TSidebarWindow::TSidebarWindow(int32_t screenType) : mScreenType(screenType) {
  mGame = CGame::GetInstance();
  auto background = std::make_unique<TImage>(true);
  background->SetName("interfaceImage");
  background->SetPosition(0, 0);
  if (const char* texture = BackgroundOf(screenType)) background->SetTexture(TTexture::Get(texture, 0), 1.0f);
  scene::AttachChild(*this, std::move(background));

  auto sprites = std::make_unique<TSpriteWindow>();
  sprites->SetName("animationWindow");
  sprites->SetPosition(0, 0);
  sprites->SetSize(scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"));
  mSpriteWindow = scene::AttachChild(*this, std::move(sprites));

  AddButtons();
  AddList();

  mBinding.Bind("SetHintButtonVisible", this, &TSidebarWindow::SetHintButtonVisible);
  mBinding.Bind("SetDiaryButtonVisible", this, &TSidebarWindow::SetDiaryButtonVisible);
  mBinding.Bind("SetLightButtonVisible", this, &TSidebarWindow::SetLightButtonVisible);
  mDiaryGlowClock.Reset();
  mHintGlowClock.Reset();
  mLightGlowClock.Reset();
}

TSidebarWindow::~TSidebarWindow() {
  // The observed model belongs to the game that stood when the sidebar was made; once that
  // game has gone (or is going) the model has gone with it.
  if (mObserved && !GameIsQuitting() && CGame::GetInstance() == mGame && mGame) mObserved->Detach(this);
}

std::unique_ptr<TWindow> TSidebarWindow::Create() { return std::make_unique<TSidebarWindow>(SidebarHiddenObject); }

TSidebarWindow* TSidebarWindow::AddTo(TWindow& screen, int32_t screenType, TWindowStyle& style, const CScene& model) {
  auto made = std::make_unique<TSidebarWindow>(screenType);
  made->SetName("sidebarWindow");
  made->SetPosition(0, 0);
  made->SetSize(scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"));
  TSidebarWindow* sidebar = scene::AttachChild(screen, std::move(made));
  if (!sidebar) return nullptr;
  sidebar->Init(style);
  if (!model.IsShowDiaryButton()) sidebar->SetDiaryButtonVisible(false);
  if (!model.IsShowHintButton()) sidebar->SetHintButtonVisible(false);
  if (!model.IsShowLightButton()) sidebar->SetLightButtonVisible(false);
  return sidebar;
}

void TSidebarWindow::AddButtons() {
  AddLabel(*this, HintButton);
  TString hintFrame = HintFrameAsset(RefillAt(HighscoreSystem::GetElapsedTimeSinceLastHintUse()).clamped);
  if (mSpriteWindow) mSpriteWindow->AddSprite(MakeButtonSprite(HintButton, hintFrame));
  for (const TButtonSpec& button : OtherButtons) {
    TString asset;
    if (mGame) {
      if (button.sprite == HelpSprite) asset = mGame->GetSidebarHelpButtonGraphic();
      if (button.sprite == MenuSprite) asset = mGame->GetSidebarMenuButtonGraphic();
      if (button.sprite == DiarySprite) asset = mGame->GetSidebarDiaryButtonGraphic();
      if (button.sprite == LightSprite) asset = mGame->GetSidebarLightButtonGraphic();
    }
    GeneralSprite sprite = MakeButtonSprite(button, asset);
    sprite.SetClickable(true);
    sprite.SetUserFlag(true);
    if (button.sprite == LightSprite) sprite.SetAlpha(1.0f);
    if (mSpriteWindow) mSpriteWindow->AddSprite(sprite);
    AddLabel(*this, button);
  }
}

void TSidebarWindow::AddList() {
  CScene* current = mGame ? mGame->GetCurrentScene() : nullptr;
  if (mScreenType == SidebarHiddenObject) {
    mHiddenObjectModel = dynamic_cast<CHiddenObjectGame*>(current);
    if (!mHiddenObjectModel) {
      LogPrintf("TSidebarWindow: the current scene is no hidden-object game; the sidebar lists nothing");
      return;
    }
    mObserved = mHiddenObjectModel;
    mObserved->Attach(this);
    mHiddenObjectModel->FillItemList();
    CreateItemList();
    BuildItemList();
    return;
  }
  if (mScreenType != SidebarAdventure && mScreenType != SidebarPlacingObject) return;
  auto items = std::make_unique<TSidebarInventoryWindow>();
  items->SetName("itemsWindow");
  items->SetPosition(0, 0);
  items->SetSize(scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"));
  if (TWindow* window = scene::AttachChild(*this, std::move(items))) window->SetZOrderSimple(ZOrderFront);
  mAdventureModel = dynamic_cast<CAdventureScreen*>(current);
  if (!mAdventureModel) {
    LogPrintf("TSidebarWindow: the current scene is no adventure screen; the strip shows no items");
  } else if (mAdventureModel->IsOfType(29)) {
    if (auto* placing = dynamic_cast<CPlacingObjectGame*>(mAdventureModel)) mObserved = &placing->GetInventory();
  } else {
    mObserved = &mGame->GetInventory();
  }
  if (mObserved) mObserved->Attach(this);
  BuildInventory();
}

void TSidebarWindow::Init(TWindowStyle&) { StartAnim(25, true, true, false); }

void TSidebarWindow::Notify(CObservedSubject*) {
  if (mScreenType == SidebarHiddenObject)
    BuildItemList();
  else if (mScreenType == SidebarAdventure || mScreenType == SidebarPlacingObject)
    BuildInventory();
}

std::shared_ptr<TSprite> TSidebarWindow::ButtonSprite(const char* name) const {
  int32_t index = 0;
  if (!mSpriteWindow || !mSpriteWindow->FindSprite(name, index)) return nullptr;
  return mSpriteWindow->GetSprite(index).GetCurrentSprite();
}

TScene* TSidebarWindow::FindSceneWindow() {
  TWindowManager* windows = GetWindowManager();
  TWindow* top = windows ? windows->GetTopModal() : nullptr;
  return WindowCast<TScene>(top ? top->FindChild("scene") : nullptr);
}

void TSidebarWindow::RunModal(const char* script) {
  if (TWindowManager* windows = GetWindowManager())
    windows->DoLuaString(this, TString("DoModal('") + script + "')");
}

bool TSidebarWindow::OnMouseDown(TPoint point) {
  if (scene::GlobalBool("showBriefingWindow")) return true;
  int32_t index = 0;
  if (!mSpriteWindow || !mSpriteWindow->GetSpriteAtPoint(point, index)) return false;
  TString name = mSpriteWindow->GetSprite(index).GetName();
  if (name == HintSprite) return ClickHint();
  if (name == DiarySprite) {
    RunModal("scripts/diary.lua");
  } else if (name == MenuSprite) {
    RunModal("scripts/pause.lua");
  } else if (name == HelpSprite) {
    HighscoreSystem::Call(&CHighscoreSystem::CountHelpUse);
    TWindowManager* windows = GetWindowManager();
    if (TWindowScript* script = windows ? windows->GetScript() : nullptr) script->DoLuaString("ShowHelp(0);");
  } else if (name == LightSprite) {
    TScene* scene = FindSceneWindow();
    CScene* model = mGame ? mGame->GetCurrentScene() : nullptr;
    if (scene && model) scene->SetCandleWindowVisible(!model->IsCandleWindow());
  } else {
    return false;
  }
  return true;
}

bool TSidebarWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (scene::GlobalBool("showBriefingWindow")) return true;
  int32_t index = -1;
  bool hit = mSpriteWindow && mSpriteWindow->GetSpriteAtPoint(point, index);
  TString over = hit ? mSpriteWindow->GetSprite(index).GetName() : TString();
  struct THover {
    const char* sprite;
    bool glows;        // may glow on hover
    const TClock* keep;  // its glow stays while this clock runs
  };
  const THover buttons[] = {
      {HintSprite, IsHintReadyForClick(), &mHintGlowClock},
      {DiarySprite, true, &mDiaryGlowClock},
      {MenuSprite, true, nullptr},
      {HelpSprite, true, nullptr},
      {LightSprite, true, nullptr},
  };
  for (const THover& button : buttons) {
    std::shared_ptr<TSprite> sprite = ButtonSprite(button.sprite);
    if (over == button.sprite) {
      if (button.glows) mGlows.Add(sprite);
    } else if (!button.keep || button.keep->IsPaused()) {
      mGlows.Remove(sprite);
    }
  }
  return hit;
}

void TSidebarWindow::ShowButton(const char* name, bool visible, TClock* glowClock) {
  if (!mSpriteWindow) return;
  mSpriteWindow->SetSpriteVisible(name, visible);
  if (!visible) return;
  mGlows.Add(ButtonSprite(name));
  glowClock->Start();
}

void TSidebarWindow::SetHintButtonVisible(bool visible) { ShowButton(HintSprite, visible, &mHintGlowClock); }

void TSidebarWindow::SetDiaryButtonVisible(bool visible) { ShowButton(DiarySprite, visible, &mDiaryGlowClock); }

void TSidebarWindow::SetLightButtonVisible(bool visible) { ShowButton(LightSprite, visible, &mLightGlowClock); }

bool TSidebarWindow::Animate() {
  StepHint();
  if (CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance();
      globals && globals->GetGlobalBool("diaryglow")) {
    globals->SetGlobalBool("diaryglow", false);
    SetDiaryButtonVisible(true);
  }
  return true;
}
