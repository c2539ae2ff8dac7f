#include "scene_window_test_util.h"

#include "model/diary.h"
#include "model/game.h"
#include "model/global_information_system.h"
#include "model/highscore_system.h"
#include "model/level.h"
#include "platform/settings.h"
#include "platform/timer.h"
#include "scenes/chapter_screen_window.h"
#include "scenes/scene.h"
#include "scenes/textbox.h"
#include "sound/ogg_data_source.h"
#include "sound/sound_data_source.h"
#include "sound/sound_manager.h"
#include "sound/sound_output.h"
#include "windows/image_window.h"

int64_t TSceneWindowTest::sWallTime = 1700000000;

namespace {

// An output that pulls nothing: the sounds play without a device.
class TSilentOutput : public TSoundOutput {
 public:
  bool Open(const std::shared_ptr<TSoundMixer>&, TString&) override { return true; }
  void Close() override {}
};

int64_t FakeWallTime() { return TSceneWindowTest::sWallTime; }

}  // namespace

TColor TRecordingFlow::GetColor(const TString& name) {
  if (name == "BLACK") return TColor{0, 0, 0, 1};
  if (name == "WHITE") return TColor{1, 1, 1, 1};
  if (name == "GOLD") return TColor{0.95f, 0.83f, 0.55f, 1};
  return TColor{0, 0, 0, 0};
}

void TRecordingFlow::GoToScene(int32_t number, bool fade) {
  calls.push_back("go:" + std::to_string(number) + ":" + std::to_string(fade));
  if (CGame* game = CGame::GetInstance()) game->SetCurrentScene(number);
  TWindowManager* windows = GetWindowManager();
  TWindow* top = windows ? windows->GetTopModal() : nullptr;
  auto* screen = WindowCast<TFadeInOutInterface>(top ? top->FindChild("scene") : nullptr);
  if (fade && screen) screen->SetFadeModifier(0.5f);
}

void TRecordingFlow::GoToNextScene(bool fade) {
  calls.push_back("next:" + std::to_string(fade));
  CGame* game = CGame::GetInstance();
  CScene* scene = game ? game->GetCurrentScene() : nullptr;
  if (!scene) return;
  GoToScene(scene->GetNextScene(), fade);
  calls.pop_back();
}

void TSceneWindowTest::SetUp() {
  TSceneTest::SetUp();
  SetConfig("screenwidth", TString::Printf("%u", Width));
  SetConfig("screenheight", TString::Printf("%u", Height));
  // Scenes open clear and report their fade-in on the second frame.
  SetConfig("transAlpha", "0");
  SetConfig("transModifierFadeIn", "-0.25");
  SetGameFlow(&mFlow);
  SetStringTable(&mStrings);
  SetWallTimeSource(&FakeWallTime);

  CGlobalInformationSystem::CreateInstance();
  CHighscoreSystem::CreateInstance();
  TDiary::CreateInstance();
  CGame* game = CGame::CreateInstance();
  auto level = std::make_unique<CLevel>();
  level->SetSeqId(1);
  auto scene = std::make_unique<CTestScene>(120001);
  scene->SetNextScene(120002);
  mModel = scene.get();
  level->AddScene(std::move(scene));
  auto next = std::make_unique<CTestScene>(120002);
  level->AddScene(std::move(next));
  game->AddLevel(std::move(level));
  game->SetStartScene(120001);

  Manager().RegisterWindowType("SceneWindow", &TScene::Create);
  Manager().RegisterWindowType("ChapterScreenWindow", &TChapterScreenWindow::Create);

  RegisterOggDataSource();
  mSound = std::make_unique<TSoundManager>();
  mSound->Initialize(std::make_unique<TSilentOutput>(), false);
}

void TSceneWindowTest::TearDown() {
  // As the game ends: the models go while the windows still stand.
  gShuttingDown = true;
  CGame::DestroyInstance();
  TDiary::DestroyInstance();
  CHighscoreSystem::DestroyInstance();
  CGlobalInformationSystem::DestroyInstance();
  mManager.reset();
  mSound.reset();
  ClearSoundDataSourceBuilders();
  SetWallTimeSource(nullptr);
  SetStringTable(nullptr);
  SetGameFlow(nullptr);
  gShuttingDown = false;
  TSceneTest::TearDown();
}

TScene* TSceneWindowTest::OpenScene(const char* type, const std::string& children) {
  std::string lua = std::string("PushModal('play') MakeDialog{ ") + type +
                    "{ x = 0, y = 0, w = " + std::to_string(Width) + ", h = " + std::to_string(Height) +
                    ", function() SetWindowName('scene') end, " + children + " } }";
  EXPECT_EQ(Lua(lua), "") << lua;
  return WindowCast<TScene>(Manager().GetTopModal()->FindChild("scene"));
}

void TSceneWindowTest::Frames(int count) {
  for (int i = 0; i < count; i++) {
    FakeNow += 25;
    Send(EventIdle);
  }
}

TImage* TSceneWindowTest::Image(const char* name) { return Find<TImage>(name); }

TTextbox* TSceneWindowTest::Textbox(const char* name) { return Find<TTextbox>(name); }

std::string TSceneWindowTest::ToneSound() { return std::string("::") + TARVELON_FIXTURES + "/sound/tone_b.ogg"; }
