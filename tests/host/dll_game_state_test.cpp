// Game-state modules: shared objects built by the test suite, found at the top of the asset
// folder, consulted after the handlers before them and unloaded with the game state.

#include "host/dll_game_state.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/game_state.h"
#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "script/script_test_util.h"

namespace {

// A handler that records the events it sees and never takes one.
class TListener : public TGameStateHandler {
 public:
  explicit TListener(std::vector<std::string>& seen) : mSeen(seen) {}
  bool HandleEvent(const char* name, const char*) override {
    mSeen.push_back(name);
    return false;
  }

 private:
  std::vector<std::string>& mSeen;
};

class DllGameStateTest : public TScriptTest {
 protected:
  void SetUp() override {
    TScriptTest::SetUp();
    for (const char* name : {"JXMOD_PROBE_CREATED", "JXMOD_PROBE_DESTROYED", "JXMOD_NODESTROY_CREATED"}) unsetenv(name);
  }
  void TearDown() override {
    DeleteGameState();
    TScriptTest::TearDown();
  }
  // Copies a module built by the tests into the asset folder under a name of its own.
  std::string Install(const char* built, const char* name) {
    std::string target = (mRoot / "assets/").ToStd() + name;
    std::filesystem::copy_file(std::string(TARVELON_TEST_MODULES) + "/" + built, target);
    return target;
  }
  static bool IsSet(const char* name) { return getenv(name) != nullptr; }
};

}  // namespace

TEST_F(DllGameStateTest, AModuleFromTheAssetFolderTakesItsEventsAndIsUnloaded) {
  std::string path = Install("probe.jxmod.so", "probe.jxmod.so");
  Install("probe.jxmod.so", "Shouting.JXMOD.so");  // the name test is case-sensitive
  Install("probe.jxmod.so", "plain.so");
  MakeFolder("assets/sub");
  Install("probe.jxmod.so", "sub/deep.jxmod.so");  // only the top of the folder counts
  InitAssetFolders();

  std::vector<std::string> seen;
  TGameState::AddHandler(std::make_unique<TListener>(seen));  // a portal handler comes first
  EXPECT_EQ(LoadGameStateModules(), 1);
  EXPECT_TRUE(IsSet("JXMOD_PROBE_CREATED"));
  TGameState::AddHandler(std::make_unique<TListener>(seen));

  TGameState& state = *GetGameState();
  EXPECT_TRUE(state.SendEvent("probe.take.this", "1"));
  EXPECT_FALSE(state.SendEvent("level", "2"));
  EXPECT_EQ(seen, (std::vector<std::string>{"probe.take.this", "level", "level"}));
  EXPECT_EQ(state.GetState("probe.answer"), "from module after 2 events");
  EXPECT_EQ(state.GetState("level"), "2");
  EXPECT_TRUE(state.QueryJumpToMenu());
  EXPECT_FALSE(state.QueryRestartMode()) << "a null entry answers no";

  DeleteGameState();
  EXPECT_TRUE(IsSet("JXMOD_PROBE_DESTROYED"));
  EXPECT_EQ(dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "the library is closed";
}

TEST_F(DllGameStateTest, ModulesThatCannotServeAreRefused) {
  Install("nodestroy.jxmod.so", "nodestroy.jxmod.so");
  WriteAsset("broken.jxmod.so", "not a library");
  std::vector<std::string> seen;
  EXPECT_EQ(LoadGameStateModules(), 0);
  EXPECT_EQ(TGameState::GetHandlerCount(), 0u);
  EXPECT_FALSE(IsSet("JXMOD_NODESTROY_CREATED")) << "CreateHandler must not run without DestroyHandler";
  TDllGameState missing;
  EXPECT_FALSE(missing.LoadModule("absent.jxmod.so"));
  // A module that did not load answers as a handler with nothing to say.
  EXPECT_FALSE(missing.HandleEvent("level", "1"));
  EXPECT_STREQ(missing.Query("level", "1"), "1");
  EXPECT_FALSE(missing.QueryWaitForQuit());
}
