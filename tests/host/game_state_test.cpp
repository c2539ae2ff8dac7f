#include "host/game_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "script/lua_binding.h"
#include "script/script.h"
#include "script/script_test_util.h"
#include "sound/sound_manager.h"

namespace {

// A handler that records what it is offered and answers as it is told.
class TScriptedHandler : public TGameStateHandler {
 public:
  TScriptedHandler(std::vector<std::string>& log, const char* tag) : mLog(log), mTag(tag) {}
  bool HandleEvent(const char* name, const char* value) override {
    mLog.push_back(mTag + ":" + name + "=" + value);
    return takes;
  }
  const char* Query(const char* name, const char* current) override {
    mLog.push_back(mTag + ":query " + name + "=" + current);
    if (answer.empty()) return current;
    return answer.c_str();
  }
  bool QueryJumpToMenu() override {
    mLog.push_back(mTag + ":menu?");
    return yes;
  }
  bool QueryMuteGame() override { return yes; }

  bool takes = false, yes = false;
  std::string answer;

 private:
  std::vector<std::string>& mLog;
  std::string mTag;
};

class GameStateTest : public TScriptTest {
 protected:
  void TearDown() override {
    DeleteGameState();
    TScriptTest::TearDown();
  }
  TScriptedHandler* Add(const char* tag) {
    auto handler = std::make_unique<TScriptedHandler>(mLog, tag);
    TScriptedHandler* raw = handler.get();
    TGameState::AddHandler(std::move(handler));
    return raw;
  }
  std::vector<std::string> mLog;
};

}  // namespace

TEST_F(GameStateTest, CountingUpWithPlusPlusAndReadingUnknownNames) {
  TGameState& state = *GetGameState();
  state.SendEvent("++level", "ignored");
  state.SendEvent("++level", "ignored");
  EXPECT_EQ(state.GetState("level").ToStd(), "2");
  // Exactly "++" counts the empty name.
  state.SendEvent("++", "x");
  EXPECT_EQ(state.GetState("").ToStd(), "1");
  // Non-numeric text counts from 0.
  state.SendEvent("score", "lots");
  state.SendEvent("++score", "");
  EXPECT_EQ(state.GetState("score").ToStd(), "1");
  EXPECT_EQ(state.GetState("never").ToStd(), "");
  state.PostIntEvent("gamemode", -3);
  EXPECT_EQ(state.GetState("gamemode").ToStd(), "-3");
}

TEST_F(GameStateTest, HandlersAreOfferedEventsAndReadsInOrder) {
  TScriptedHandler* first = Add("a");
  TScriptedHandler* second = Add("b");
  TGameState& state = *GetGameState();
  EXPECT_FALSE(state.SendEvent("pause", "1"));
  first->takes = true;
  EXPECT_TRUE(state.SendEvent("pause", "0"));
  // The value is stored before any handler sees it; the second handler answers for it, and
  // the first one's answer may be the very text it was given.
  second->answer = "from b";
  EXPECT_EQ(state.GetState("pause").ToStd(), "from b");
  EXPECT_EQ(mLog, (std::vector<std::string>{"a:pause=1", "b:pause=1", "a:pause=0", "a:query pause=0",
                                            "b:query pause=0"}));
  // Yes/no questions stop at the first yes.
  mLog.clear();
  first->yes = second->yes = true;
  EXPECT_TRUE(state.QueryJumpToMenu());
  EXPECT_EQ(mLog, std::vector<std::string>{"a:menu?"});
  EXPECT_FALSE(state.QueryRestartMode());
  EXPECT_FALSE(state.QueryWaitForQuit());
}

// With nobody taking "mute", the store mutes and unmutes the sound itself; a second "1"
// keeps the volume saved by the first.
TEST_F(GameStateTest, MuteWithoutHandlerSwitchesTheMasterVolume) {
  TSoundManager sounds;
  sounds.SetMasterVolume(0.6f);
  TGameState& state = *GetGameState();
  state.SendEvent("mute", "1");
  EXPECT_EQ(sounds.GetGroupVolume(-1), 0.0f);
  EXPECT_TRUE(state.QueryMuteGame());
  state.SendEvent("mute", "1");
  state.SendEvent("mute", "0");
  EXPECT_FLOAT_EQ(sounds.GetGroupVolume(-1), 0.6f);
  EXPECT_FALSE(state.QueryMuteGame());

  // A handler that takes "mute" leaves the volume alone; the stored value still answers.
  Add("a")->takes = true;
  state.SendEvent("mute", "1");
  EXPECT_FLOAT_EQ(sounds.GetGroupVolume(-1), 0.6f);
  EXPECT_TRUE(state.QueryMuteGame());
}

TEST_F(GameStateTest, ScriptsReachTheStoreAndLoseItWhenUnbound) {
  TScript script;
  lua_State* L = script.GetState();
  GetGameState()->BindScript(L);
  RunLua(L, "_SetState('++visits', '') _SetState('++visits', '') v = GetState('visits') "
            "muted = QueryMuteGame() menu = QueryJumpToMenu() restart = QueryRestartMode()");
  EXPECT_EQ(GlobalText(L, "v"), "2");
  EXPECT_EQ(GlobalText(L, "muted") + GlobalText(L, "menu") + GlobalText(L, "restart"), "falsefalsefalse");
  GetGameState()->UnbindScript();
  EXPECT_NE(LuaError(L, "GetState('visits')"), "");
}
