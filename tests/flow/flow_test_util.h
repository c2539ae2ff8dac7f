#pragma once
// Helpers of the game-flow tests: a window manager with its UI script installed as the model
// script, the game's window types and defaults, a data folder for the preferences database
// and the score file, and a small model that the new-game script builds through the
// test's own Lua function "BuildTestGame" (scenes 100, 200 and 300 of one level, each going
// on to the next; 100 and 300 adventure screens, 200 a chapter screen; 100 has the exit
// script "scripts/exit100.lua").

#include <memory>
#include <string>

#include "flow/settings.h"
#include "model/record_writer.h"
#include "model/scene.h"
#include "windows/windows_test_util.h"

// A scene kind of a chosen model type (and optionally a second one).
class CFlowTestScene : public CScene {
 public:
  CFlowTestScene(int32_t seqId, int type, int secondType = -1) : mType(type), mSecondType(secondType) {
    SetSeqId(seqId);
  }
  bool IsOfType(int modelType) const override { return modelType == mType || modelType == mSecondType; }
  void Serialize(std::string& out) const override {
    CRecordWriter record("MakeTestScene");
    CScene::Serialize(record.Buffer());
    record.Finish(out);
  }

 private:
  int mType, mSecondType;
};

class TFlowTest : public TWindowsTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The settings object (made on first use, like GameMain does after the game model).
  TSettings& Settings();
  // Destroys the settings object and the per-player singletons, then makes the settings
  // object again: a new start.
  void Restart();
  void DestroySingletons();
  // A Lua expression's value as text, on the UI script.
  std::string Eval(const std::string& expression);
  // The scene script files of the test: each builds a "SceneWindow" that it names "scene"
  // and appends its kind to the global "built".
  void WriteSceneScripts();
  // Runs idle events until the condition holds (at most `steps' frames of 25 ms).
  template <typename Condition>
  bool RunFramesUntil(Condition condition, int steps = 200) {
    for (int i = 0; i < steps && !condition(); i++) {
      FakeNow += 25;
      Send(EventIdle);
    }
    return condition();
  }
};
