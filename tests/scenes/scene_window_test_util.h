#pragma once
// Helpers of the scene window tests: the scene rig (the widget rig with the game's model
// singletons, one level with a plain test scene, a recording game flow, fake wall time and
// a sound manager on a silent output), opening a scene window from a window script, and
// running frames of 25 ms on the fake timer.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/record_writer.h"
#include "model/scene.h"
#include "platform/string_table.h"
#include "scenes/game_flow.h"
#include "sound/sound_manager.h"
#include "scenes_test_util.h"

class TScene;
class TImage;
class TTextbox;

// A scene kind for the tests: any model type, no own fields.
class CTestScene : public CScene {
 public:
  explicit CTestScene(int32_t seqId, int type = 18) : mType(type) { SetSeqId(seqId); }
  bool IsOfType(int modelType) const override { return modelType == mType; }
  void Serialize(std::string& out) const override {
    CRecordWriter record("MakeTestScene");
    CScene::Serialize(record.Buffer());
    record.Finish(out);
  }

 private:
  int mType;
};

// The game's flow as the scenes see it, recording what they ask of it. GoToScene and
// GoToNextScene set the model's current scene and, with fade, the fade-out speed of the
// screen named "scene" (0.5 per frame).
class TRecordingFlow : public IGameFlow {
 public:
  int32_t GetNumUsers() override { return 1; }
  TString GetUserName(int32_t) override { return "Ann"; }
  int32_t GetCurrentUser() override { return 0; }
  TString GetCurrentUserName() override { return "Ann"; }
  void CreateNewUser(const TString&) override {}
  void DeleteUser(int32_t) override {}
  void RenewCurrentUser() override {}
  int32_t GetCurrentGameMode() const override { return gameMode; }
  bool IsFullScreen() override { return false; }
  TColor GetColor(const TString& name) override;
  void SetMousePosition(int32_t x, int32_t y) override { mouse = TPoint(x, y); }
  TPoint GetMousePosition() const override { return mouse; }
  void GoToScene(int32_t number, bool fade) override;
  void GoToNextScene(bool fade) override;
  void OpenCurrentScene() override { calls.push_back("open"); }
  void QuitToMainMenu() override { calls.push_back("menu"); }
  void SetMusic(const TString& name, bool) override { calls.push_back("music:" + name.ToStd()); }

  // The calls, one entry each: "go:N:fade", "next:fade", "open", "menu", "music:NAME".
  std::vector<std::string> calls;
  int32_t gameMode = 0;
  TPoint mouse{0, 0};
};

class TSceneWindowTest : public TSceneTest {
 public:
  // The fake wall clock in seconds (the exits' click stamps, the scene's random seed).
  static int64_t sWallTime;

 protected:
  void SetUp() override;
  void TearDown() override;

  // The current scene of the game (seqId 120001, place 200 of the place tables).
  CTestScene& Model() { return *mModel; }
  // Opens a modal with a window of the type from the window script (named "scene", full
  // screen) and answers it; `children' is Lua table text placed inside it.
  TScene* OpenScene(const char* type = "SceneWindow", const std::string& children = "");
  // Runs frames of 25 ms on the fake timer, each an idle event.
  void Frames(int count);
  // Runs frames until the condition holds (at most `limit'); answers whether it held.
  template <typename Condition>
  bool FramesUntil(Condition condition, int limit = 400) {
    for (int i = 0; i < limit && !condition(); i++) Frames(1);
    return condition();
  }
  TImage* Image(const char* name);
  TTextbox* Textbox(const char* name);
  // The fixture sound (0.2 s) as a name the engine opens.
  static std::string ToneSound();

  TRecordingFlow mFlow;
  TStringTable mStrings;
  CTestScene* mModel = nullptr;  // owned by the game
  std::unique_ptr<TSoundManager> mSound;
};
