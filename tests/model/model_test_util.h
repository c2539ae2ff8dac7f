#pragma once
// Helpers of the model tests: a script of their own installed as the model script, a fake
// wall clock, the log in a temporary folder, and a small scene kind to put in levels.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "model/record_writer.h"
#include "model/scene.h"
#include "script/lua/lua.h"
#include "script/script.h"

class TTempFolder;
struct TFakeTimer;

// The wall clock (seconds) and the engine timer (milliseconds) while a TModelTest runs.
extern int64_t FakeWallNow;
extern uint32_t FakeNow;

class TModelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Destroys the model singletons, then the script.
  void TearDown() override;
  TModelTest();
  ~TModelTest() override;

  lua_State* L() const { return mScript->GetState(); }
  // Runs Lua text and fails the test on an error; answers "" or the error message.
  std::string Run(const std::string& text);
  // The same without failing: answers the error message, "" when the text ran.
  std::string TryRun(const std::string& text);
  // The value of a Lua expression as text (tostring), a number or a flag.
  std::string Eval(const std::string& expression);
  double EvalNumber(const std::string& expression);
  std::string ReadLog() const;

  std::unique_ptr<TTempFolder> mFolder;
  std::unique_ptr<TFakeTimer> mTimer;
  std::unique_ptr<TScript> mScript;
};

// A scene kind for the tests (model type 18): its record is the shared fields between a
// head and an end line.
class CTestScene : public CScene {
 public:
  explicit CTestScene(int32_t seqId = 0) { SetSeqId(seqId); }
  bool IsOfType(int modelType) const override { return modelType == 18; }
  void Serialize(std::string& out) const override {
    CRecordWriter record("MakeTestScene");
    CScene::Serialize(record.Buffer());
    record.Finish(out);
  }
};
