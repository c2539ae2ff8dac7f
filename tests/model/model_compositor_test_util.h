#pragma once
// The model tests that run model text: a game, a score system and a compositor on the test's
// model script, with a require that does nothing (saved texts begin with one).

#include <memory>
#include <string>

#include "model/game.h"
#include "model_test_util.h"
#include "script/lua_table_reader.h"

class TModelTextTest : public TModelTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  CGame& Game() { return *CGame::GetInstance(); }
  // The game's saved text.
  std::string Save();
  // Runs the text on a new game and score system, as loading a player does.
  void Reload(const std::string& text);
  // A reader over the global of that name.
  std::unique_ptr<TLuaTable> Global(const char* name);
  // Runs, on a new game, a level holding one record of `make' with seqId 1 and the fields.
  void RunOneScene(const std::string& make, const std::string& fields);
  // Scene 1 as the kind of that model type; the test fails when it is not one.
  template <typename Scene>
  Scene& FirstScene(int modelType) {
    auto* scene = dynamic_cast<Scene*>(Game().FindScene(1));
    EXPECT_TRUE(scene && scene->IsOfType(modelType));
    return *scene;
  }
};
