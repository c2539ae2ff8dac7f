// TScene: construction, initialisation and destruction, the game messages, leaving the
// scene, the inventory slots, and the helpers the other files of the class share.

#include "scenes/scene.h"

#include <limits>
#include <string>

#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "graphics/texture.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/record_writer.h"
#include "model/scene.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "platform/timer.h"
#include "scenes/game_flow.h"
#include "scenes/scene_internal.h"
#include "scenes/sprite_animator.h"
#include "scenes/sprite_window.h"
#include "scenes/textbox.h"
#include "script/lua_glue.h"
#include "windows/image_window.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_spider.h"
#include "windows/window_style.h"

namespace scene {

TString Config(const char* key) { return GetConfig(key); }
int32_t ConfigInt(const char* key) { return GetConfig(key).ToInt(); }
float ConfigFloat(const char* key) { return GetConfig(key).ToFloat(); }

TString Text(const TString& label) {
  TStringTable* strings = GetStringTable();
  // No label is no text (the table answers a missing label with its marker).
  return strings && !label.IsEmpty() ? strings->GetString(label, "", "", "", "", "") : TString();
}

TColor Colour(const TString& name) {
  IGameFlow* flow = GetGameFlow();
  return flow ? flow->GetColor(name) : TColor{0, 0, 0, 0};
}

TPoint MousePosition() {
  IGameFlow* flow = GetGameFlow();
  return flow ? flow->GetMousePosition() : TPoint(0, 0);
}

bool GlobalBool(const char* key) {
  CGlobalInformationSystem* globals = CGlobalInformationSystem::GetInstance();
  return globals && globals->GetGlobalBool(key);
}

int32_t Truncate(double value) { return LuaNumberToInt(value); }

int32_t AddSaturated(int32_t a, int32_t b) {
  int64_t sum = int64_t(a) + int64_t(b);
  if (sum > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (sum < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return int32_t(sum);
}

}  // namespace scene

namespace {

// What a scene window shows when CGame names no current scene: a scene without exits,
// hotspots or text boxes, so that the window has a model to read.
class CStandInScene : public CScene {
 public:
  bool IsOfType(int) const override { return false; }
  void Serialize(std::string&) const override {}
};

std::unique_ptr<TSpriteWindow> MakeFullScreenSpriteWindow(const char* name) {
  auto window = std::make_unique<TSpriteWindow>();
  window->SetName(name);
  window->SetPosition(0, 0);
  window->SetSize(scene::ConfigInt("screenwidth"), scene::ConfigInt("screenheight"));
  return window;
}

}  // namespace

TScene::TScene() {
  // Each visit reseeds the game's generator (the ambient sound's pauses and the screens'
  // random choices).
  GameSrand(uint32_t(GetWallTime()));
  CGame* game = CGame::GetInstance();
  mModel = game ? game->GetCurrentScene() : nullptr;
  if (!mModel) {
    LogPrintf("TScene: the game names no current scene; the screen shows an empty one");
    mStandInModel = std::make_unique<CStandInScene>();
    mModel = mStandInModel.get();
  }
  SetConfig("vsync", "1");
  mRootSprite = TSprite::Create(0);

  mTransAlpha = float(scene::ConfigInt("transAlpha"));
  mFadeModifier = scene::ConfigFloat("transModifierFadeIn");
  mInfoBoxTransModifier = scene::ConfigFloat("infoboxTransModifier");
  mBriefingBgPos = TPoint(scene::ConfigInt("briefingWindowBgTextureX"), scene::ConfigInt("briefingWindowBgTextureY"));
  mHintRadiusSize = float(scene::ConfigInt("radiusSize"));
  mHintRadiusOffset = float(scene::ConfigInt("radiusOffset"));

  BindScriptFunctions();

  auto sprites = MakeFullScreenSpriteWindow("spriteWindow");
  mSpriteWindow = sprites.get();
  mPendingSpriteWindow = std::move(sprites);
  auto hints = MakeFullScreenSpriteWindow("hintWindow");
  mHintWindow = hints.get();
  mPendingHintWindow = std::move(hints);

  TSpriteAnimator::GetInstance()->RemoveAll();
  if (mModel->IsInfoTextAtCursor()) {
    std::shared_ptr<TTexture> cursor = TTexture::Get(scene::Config("assetCursorHW"), 0);
    mCursorHeight = cursor ? int32_t(cursor->GetHeight()) : 0;
  }
  mAlphaOfBlack = float(mModel->GetAlphaOfBlackRatio());
}

TScene::~TScene() { ReleaseSceneClock(); }

void TScene::ReleaseSceneClock() {
  mGlows.ReleaseAll();
  if (mHintTask && TFxSpriteAnimTask::GetInstance() == mHintTask && mHintTask->GetClock() == mHintTaskClock)
    mHintTask->SetClock(nullptr);
  mHintTask = nullptr;
  mHintTaskClock = nullptr;
}

std::unique_ptr<TWindow> TScene::Create() { return std::make_unique<TScene>(); }

void TScene::Init(TWindowStyle& style) {
  mBinding.Bind("SendGameMessage", this, &TScene::SendGameMessage);
  StartAnim(25, true, true, false);
  mRows = style.GetInt("rows", 0);
  mColumns = style.GetInt("columns", 0);
  if (TModalWindow* modal = GetModal()) modal->SetFocusChild(this);
}

void TScene::PostCreate(TWindowStyle& style) {
  AddLayers();
  if (IGameFlow* flow = GetGameFlow()) flow->SetMusic(mModel->GetTheme(), true);
  TWindow::PostCreate(style);
  if (!mModel->GetInitScript().IsEmpty()) {
    TWindowManager* windows = GetWindowManager();
    if (windows) windows->DoScriptFile(this, mModel->GetInitScript());
  }
  mSceneClock.Start();
  mSceneStarted = true;
}

void TScene::SendGameMessage(const TString& message) {
  if (message == "quit") {
    if (IGameFlow* flow = GetGameFlow()) flow->QuitToMainMenu();
  } else if (message == "fadeInCompleted") {
    OnFadeInCompleted();
  } else if (message == "fadeOutCompleted") {
    ExitScene();
  }
}

void TScene::OnFadeInCompleted() {
  if (!scene::GlobalBool("endGame")) return;
  if (IGameFlow* flow = GetGameFlow()) flow->QuitToMainMenu();
}

void TScene::FinishScene() {
  if (!mSceneStarted || mSceneFinished) return;
  mSceneFinished = true;
  if (IGameFlow* flow = GetGameFlow()) flow->GoToNextScene(true);
}

void TScene::ExitScene() {
  SetCursorStyle(2);
  if (IGameFlow* flow = GetGameFlow()) flow->OpenCurrentScene();
}

void TScene::OnAddInventoryItem(const TString& item) {
  if (CGame* game = CGame::GetInstance()) game->AddInventoryItem(item);
}

void TScene::OnRemoveInventoryItem(const TString& item) {
  if (CGame* game = CGame::GetInstance()) game->RemoveInventoryItem(item);
}

TImage* TScene::FindImage(const char* name) { return WindowCast<TImage>(FindChild(name)); }

TTextbox* TScene::FindTextbox(const char* name) { return WindowCast<TTextbox>(FindChild(name)); }

void TScene::RevealBox(const char* background, const char* textbox, const TString& text) {
  if (TTextbox* box = FindTextbox(textbox)) {
    box->SetText(text);
    box->SetAlpha(1.0f);
  }
  if (TImage* image = FindImage(background)) image->SetAlpha(1.0f);
}

void TScene::RunLua(const TString& chunk) {
  if (TWindowManager* windows = GetWindowManager()) windows->DoLuaString(this, chunk);
}

void TScene::OpenModalScript(const char* settingKey) {
  TString script = scene::Config(settingKey);
  if (script.IsEmpty()) {
    // The pause asks again on every frame while the window has no focus: one line a key.
    if (mUnsetScripts.insert(settingKey).second)
      LogPrintf("TScene: the setting \"%s\" names no script; nothing opens", settingKey);
    return;
  }
  std::string chunk = "DoModal(";
  AppendLuaString(chunk, script);
  chunk += ")";
  RunLua(TString(chunk));
}

void TScene::ReportForeignModel() const {
  LogPrintf("%s: scene %d is not a scene of this screen; an empty one stands in", GetClassName(), mModel->GetSeqId());
}

void TScene::AddGlowOnSceneClock(const std::shared_ptr<TSprite>& sprite) { mGlows.Add(sprite); }
