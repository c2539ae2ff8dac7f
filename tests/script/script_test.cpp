#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/file_map.h"
#include "platform/task_list.h"
#include "script/lua_binding.h"
#include "script/script.h"
#include "script/script_code.h"
#include "script_test_util.h"

namespace {

class ScriptTest : public TScriptTest {
 protected:
  void SetUp() override {
    TScriptTest::SetUp();
    auto script = std::make_unique<TScript>();
    mScript = script.get();
    mTasks.AddTask(std::move(script));
    L = mScript->GetState();
  }
  void TearDown() override {
    mTasks.Clear();
    SetScriptSearchPath("assets/?;?;../?;../../?");
    TScriptTest::TearDown();
  }
  std::string Global(const char* name) { return GlobalText(L, name); }

  TFakeTimer mTimer;
  TTaskList mTasks;
  TScript* mScript = nullptr;  // owned by mTasks
  lua_State* L = nullptr;
};

TEST_F(ScriptTest, DoLuaStringResults) {
  lua_pushstring(L, "below");
  EXPECT_TRUE(mScript->DoLuaString("return 1"));
  EXPECT_EQ(lua_gettop(L), 1);
  EXPECT_TRUE(mScript->DoLuaString("return 1", -1, 1));
  ASSERT_EQ(lua_gettop(L), 2);
  EXPECT_EQ(mScript->PopNumber(), 1);
  EXPECT_TRUE(mScript->DoLuaString("return 'a', 'b'", -1, 2));
  EXPECT_STREQ(mScript->PopString().c_str(), "b");
  EXPECT_STREQ(mScript->PopString().c_str(), "a");
  // Only the first bytes run when a length is given; a length past the end is cut.
  EXPECT_TRUE(mScript->DoLuaString("gCut = 1; gCut = 2", 8));
  EXPECT_EQ(Global("gCut"), "1");
  EXPECT_TRUE(mScript->DoLuaString("gLong = 3", 500));
  EXPECT_EQ(Global("gLong"), "3");
  EXPECT_EQ(lua_gettop(L), 1);
  lua_settop(L, 0);
}

// A string holding a compiled chunk ends at the chunk's first zero byte. Its storage still
// holds the whole chunk beyond that, but a length that reaches into it is cut at the string's
// end: nothing past the string is read, and the chunk does not load. Its script code, which
// knows its byte count, runs it.
TEST_F(ScriptTest, DoLuaStringReadsNothingPastTheString) {
  WriteAsset("scripts/set.lua", "gSet = 1");
  std::shared_ptr<TScriptCode> code = TScriptCode::Get("scripts/set.lua", GetScriptSearchPath());
  ASSERT_NE(code, nullptr);
  TString chunk(code->GetCode().c_str(), code->GetLength());
  ASSERT_LT(chunk.Length(), code->GetLength());
  EXPECT_FALSE(mScript->DoLuaString(chunk, int(code->GetLength())));
  EXPECT_EQ(Global("gSet"), "nil");
  EXPECT_TRUE(mScript->DoLuaString(*code));
  EXPECT_EQ(Global("gSet"), "1");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, DoLuaStringSyntaxErrorIsLoggedAndPassedToTheScript) {
  RunLua(L, "function LuaErrorMessage(text) gHeard = text end");
  EXPECT_FALSE(mScript->DoLuaString("x = = 1"));
  EXPECT_EQ(CountInLog("DoLuaString Lua Error: [string \"x = = 1\"]:1: unexpected symbol near `='\n\twhen parsing x = = 1"),
            1)
      << ReadLog();
  EXPECT_EQ(Global("gHeard"), "Lua Error: [string \"x = = 1\"]:1: unexpected symbol near `='\n\twhen parsing");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, DoLuaStringRunErrorGoesToAlert) {
  EXPECT_FALSE(mScript->DoLuaString("error('boom')"));
  EXPECT_EQ(CountInLog("Lua error: [string \"error('boom')\"]:1: boom"), 1) << ReadLog();
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, FailingTextAgainAndAgainLeavesTheStackAsItWas) {
  // Each failure used to leave its error value behind.
  for (int i = 0; i < 50; i++) {
    mScript->DoLuaString("x = = 1");
    mScript->DoLuaString("error('again')");
  }
  EXPECT_EQ(lua_gettop(L), 0);
  EXPECT_FALSE(mScript->DoLuaString("error('x')", -1, 2));
  ASSERT_EQ(lua_gettop(L), 2);  // wanted results read nil
  EXPECT_TRUE(lua_isnil(L, 1));
  EXPECT_TRUE(lua_isnil(L, 2));
  lua_settop(L, 0);
}

TEST_F(ScriptTest, ChunkAnsweringAFunctionRunsAsACoroutineOnTheTaskList) {
  CopyFixture("counter.lua");
  EXPECT_TRUE(mScript->IsStopped());
  ASSERT_TRUE(mScript->RunScript("counter.lua"));
  EXPECT_FALSE(mScript->IsStopped());
  EXPECT_TRUE(mScript->IsYielded());
  EXPECT_EQ(Global("gSteps"), "1");  // started at once
  mTasks.RunTasks(0);
  EXPECT_EQ(Global("gSteps"), "2");
  mTasks.RunTasks(0);
  EXPECT_EQ(Global("gSteps"), "3");
  mTasks.RunTasks(0);
  EXPECT_EQ(Global("gSteps"), "13");
  EXPECT_TRUE(mScript->IsStopped());
  EXPECT_FALSE(mScript->IsYielded());
  mTasks.RunTasks(0);
  EXPECT_EQ(Global("gSteps"), "13");
  EXPECT_TRUE(mTasks.Contains(mScript));
  EXPECT_EQ(lua_gettop(L), 0);
  // The state takes the next script as before.
  ASSERT_TRUE(mScript->RunScript("counter.lua"));
  EXPECT_EQ(Global("gSteps"), "1");
}

TEST_F(ScriptTest, CoroutineErrorIsLoggedWithChunkAndLineAndTheEngineGoesOn) {
  CopyFixture("failing_coroutine.lua");
  ASSERT_TRUE(mScript->RunScript("failing_coroutine.lua"));
  EXPECT_EQ(Global("gSteps"), "1");
  mTasks.RunTasks(0);
  EXPECT_EQ(CountInLog("lua_resume ERROR: failing_coroutine.lua:7: attempt to index local `missing' (a nil value)"),
            1)
      << ReadLog();
  EXPECT_TRUE(mScript->IsStopped());
  EXPECT_EQ(lua_gettop(L), 0);
  EXPECT_TRUE(mScript->DoLuaString("gAfter = 'fine'"));
  EXPECT_EQ(Global("gAfter"), "fine");
}

TEST_F(ScriptTest, RunScriptFailures) {
  EXPECT_FALSE(mScript->RunScript(""));
  EXPECT_FALSE(mScript->RunScript("no_such_script.lua"));
  EXPECT_EQ(ReadLog(), "");  // a missing file says nothing

  CopyFixture("runtime_error.lua");
  EXPECT_FALSE(mScript->RunScript("runtime_error.lua"));
  EXPECT_EQ(CountInLog("Lua error: runtime_error.lua:3: attempt to index local `nothing' (a nil value)"), 1)
      << ReadLog();
  EXPECT_EQ(CountInLog("Failed to run script runtime_error.lua: 1"), 1);

  CopyFixture("syntax_error.lua");
  EXPECT_FALSE(mScript->RunScript("syntax_error.lua"));
  EXPECT_EQ(CountInLog("Lua error: syntax_error.lua:1: unexpected symbol near `='"), 1) << ReadLog();
  EXPECT_EQ(lua_gettop(L), 0);
}

// Regression: a missing main script, or one answering no function, left the game on a
// screen that nothing answered without a word in the log.
TEST_F(ScriptTest, TheMainScriptSaysWhenItCannotRunTheScreens) {
  EXPECT_FALSE(mScript->RunMainScript("scripts/main.lua"));
  EXPECT_EQ(CountInLog("The main script \"scripts/main.lua\" is missing: nothing runs the screens."), 1) << ReadLog();
  WriteAsset("scripts/main.lua", "gLoaded = true; return 5");
  EXPECT_FALSE(mScript->RunMainScript("scripts/main.lua"));
  EXPECT_EQ(CountInLog("The main script scripts/main.lua returned no function: nothing runs the screens."), 1)
      << ReadLog();
  EXPECT_EQ(Global("gLoaded"), "true");
  // A function answered, waiting in its coroutine or ended at once, is no failure.
  WriteAsset("scripts/ends.lua", "return function() end");
  EXPECT_TRUE(mScript->RunMainScript("scripts/ends.lua"));
  WriteAsset("scripts/waits.lua", "return function() coroutine.yield() end");
  EXPECT_TRUE(mScript->RunMainScript("scripts/waits.lua"));
  EXPECT_EQ(CountInLog("The main script"), 2) << ReadLog();
}

TEST_F(ScriptTest, CompiledCodeIsSharedWhileSomebodyHoldsIt) {
  WriteAsset("scripts/value.lua", "gValue = 1");
  std::shared_ptr<TScriptCode> held = TScriptCode::Get("scripts/value.lua", GetScriptSearchPath());
  ASSERT_NE(held, nullptr);
  EXPECT_STREQ(held->GetClassName(), "TScriptCode");
  EXPECT_GT(held->GetLength(), 12u);
  EXPECT_EQ(held->GetCode().c_str()[0], '\x1b');  // a precompiled chunk

  WriteAsset("scripts/value.lua", "gValue = 2");
  ASSERT_TRUE(mScript->RunScript("scripts/value.lua"));
  EXPECT_EQ(Global("gValue"), "1");  // not compiled again
  EXPECT_EQ(TScriptCode::Get("scripts/value.lua", ""), held);

  held.reset();
  ASSERT_TRUE(mScript->RunScript("scripts/value.lua"));
  EXPECT_EQ(Global("gValue"), "2");  // the last owner went: compiled anew

  // A file that does not compile is never cached, and says why.
  TString error;
  WriteAsset("scripts/broken.lua", "gValue = = 3");
  EXPECT_EQ(TScriptCode::Get("scripts/broken.lua", "", &error), nullptr);
  EXPECT_NE(error.Find("scripts/broken.lua:1:"), -1) << error.c_str();
  EXPECT_EQ(mAssets.GetAsset("scripts/broken.lua"), nullptr);
  EXPECT_EQ(TScriptCode::Get("", ""), nullptr);
  EXPECT_EQ(TScriptCode::CastFromAsset(std::make_shared<TAsset>()), nullptr);
}

TEST_F(ScriptTest, ScriptsLoadThroughTheFileLayer) {
  // Asset names go through the file map: "assets/" in front is ignored and case does not
  // matter; `require' and `dofile' read the same way.
  WriteAsset("scripts/helper.lua", "gHelper = (gHelper or 0) + 1; return 'loaded'");
  EXPECT_TRUE(mScript->RunScript("Scripts/Helper.LUA"));
  EXPECT_TRUE(mScript->DoLuaString("gRequired = require('scripts/helper.lua'); dofile('assets/scripts/helper.lua')"));
  EXPECT_EQ(Global("gHelper"), "3");
  EXPECT_EQ(Global("gRequired"), "loaded");
  WriteTextFile(mRoot / "user/own.lua", "gOwn = 'user'");
  SetDataFolders(mRoot / "user", "", "");
  EXPECT_TRUE(mScript->RunScript("user:own.lua"));
  EXPECT_EQ(Global("gOwn"), "user");
}

TEST_F(ScriptTest, SearchPathReachesTheStateAsItIs) {
  // The path used to be spliced into Lua text, where a quote broke it.
  SetScriptSearchPath("mods/?;O'Brien's \\ mods/?");
  EXPECT_TRUE(mScript->DoLuaString("gPath = LUA_PATH"));
  EXPECT_EQ(Global("gPath"), "mods/?;O'Brien's \\ mods/?");
}

TEST_F(ScriptTest, DumpTableStopsNestingAtIndentTwelve) {
  RunLua(L, "gDump = _Internal_DumpTable({a = {b = {c = {d = {e = {f = 1}}}}}}, 2)");
  std::string dump = Global("gDump");
  EXPECT_NE(dump.find("  a -> {\n    b -> {\n"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\n            ...\n"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("f ->"), std::string::npos);
  RunLua(L, "gDump = _Internal_DumpTable({x = 1})");
  EXPECT_EQ(Global("gDump"), "x -> 1\n\n");
  RunLua(L, "_accumulated_table_data = 'old'; DumpTable({1, 2})");
  EXPECT_EQ(Global("_accumulated_table_data"), "");
}

TEST_F(ScriptTest, StackHelpers) {
  EXPECT_EQ(mScript->PopNumber(), 0);  // empty stack: nothing popped
  EXPECT_STREQ(mScript->PopString().c_str(), "");
  EXPECT_EQ(mScript->PopVec4(), (TLuaVec4{0, 0, 0, 0}));
  EXPECT_EQ(lua_gettop(L), 0);
  mScript->DoLuaString("return {1, '2', nil, 4.5}", -1, 1);
  EXPECT_EQ(mScript->PopVec4(), (TLuaVec4{1, 2, 0, 4.5f}));
  EXPECT_EQ(lua_gettop(L), 0);
  mScript->SetGlobalString("gName", "Anna");
  EXPECT_EQ(Global("gName"), "Anna");
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, RunFunctionReportsFailuresWithManyResults) {
  RunLua(L, "function fails() error('no') end");
  lua_pushliteral(L, "fails");
  lua_rawget(L, LUA_GLOBALSINDEX);
  EXPECT_EQ(mScript->RunFunction(0, 2), LUA_ERRRUN);
  EXPECT_EQ(CountInLog("TScript::RunFunction failure. Too many return results? (2, FAILURE CODE 1)"), 1) << ReadLog();
  lua_settop(L, 0);
  lua_pushliteral(L, "print");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_pushnumber(L, 1);
  lua_pushnumber(L, 2);
  EXPECT_EQ(mScript->RunFunction(5, 0), LUA_ERRRUN);  // more arguments than values: refused, no crash
  lua_settop(L, 0);
}

// A script that hands delivered values to its coroutine, as the window script does.
class TDeliveringScript : public TScript {
 public:
  bool ResumeWithValue() override {
    lua_pushnil(GetState());
    lua_insert(GetState(), -2);
    return Resume(2) == 0;
  }
};

TEST_F(ScriptTest, CallsWhileSuspendedReachTheCoroutine) {
  const char* waiter =
      "return function() while true do local _, command = coroutine.yield(); gDelivered = (gDelivered or 0) + 1;"
      " if command then command() end end end";
  // The base script answers false, so the call runs at once, next to the suspended one.
  ASSERT_TRUE(mScript->DoLuaString(waiter));
  ASSERT_TRUE(mScript->IsYielded());
  EXPECT_TRUE(mScript->DoLuaString("gHit = 'direct'"));
  EXPECT_EQ(Global("gHit"), "direct");
  EXPECT_EQ(Global("gDelivered"), "nil");
  EXPECT_TRUE(mScript->IsYielded());

  TDeliveringScript delivering;
  lua_State* D = delivering.GetState();
  ASSERT_TRUE(delivering.DoLuaString(waiter));
  ASSERT_TRUE(delivering.IsYielded());
  EXPECT_TRUE(delivering.DoLuaString("gHit = 'delivered'"));
  EXPECT_EQ(GlobalText(D, "gHit"), "delivered");
  EXPECT_EQ(GlobalText(D, "gDelivered"), "1");
  EXPECT_TRUE(delivering.IsYielded());
  // A delivered call that fails ends the coroutine; it is not run a second time outside.
  RunLua(D, "gTries = 0");
  EXPECT_FALSE(delivering.DoLuaString("gTries = gTries + 1; error('inside')"));
  EXPECT_EQ(CountInLog("lua_resume ERROR: [string \"gTries = gTries + 1; error('inside')\"]:1: inside"), 1)
      << ReadLog();
  EXPECT_EQ(GlobalText(D, "gTries"), "1");
  EXPECT_FALSE(delivering.IsYielded());
}

TEST_F(ScriptTest, ThreadScriptsShareGlobalsAndRunTheirOwnCoroutine) {
  CopyFixture("counter.lua");
  std::unique_ptr<TScript> thread = mScript->CreateThreadScript();
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(thread->GetState(), L);
  EXPECT_EQ(TScript::GetRunningScript(thread->GetState()), mScript);  // `_SCRIPT' names the parent
  ASSERT_TRUE(thread->RunScript("counter.lua"));
  EXPECT_EQ(Global("gSteps"), "1");
  EXPECT_TRUE(thread->IsYielded());
  EXPECT_FALSE(mScript->IsYielded());
  EXPECT_TRUE(mScript->DoLuaString("gMain = 'free'"));  // the main state is not held up
  thread->Animate();
  EXPECT_EQ(Global("gSteps"), "2");
}

TEST_F(ScriptTest, ThreadScriptOutlivingItsParentDoesNothing) {
  auto parent = std::make_unique<TScript>();
  std::unique_ptr<TScript> thread = parent->CreateThreadScript();
  std::unique_ptr<TScript> grandchild = thread->CreateThreadScript();
  ASSERT_TRUE(thread->DoLuaString("return function() coroutine.yield() end"));
  parent.reset();  // used to leave the thread scripts on a closed state
  EXPECT_EQ(thread->GetState(), nullptr);
  EXPECT_FALSE(thread->DoLuaString("x = 1"));
  EXPECT_FALSE(grandchild->RunScript("counter.lua"));
  EXPECT_TRUE(thread->Animate());
  EXPECT_TRUE(thread->IsStopped());
  thread.reset();
  grandchild.reset();
}

struct TNested {
  TScript* script = nullptr;
  double seen = 0;
  void Read(TLuaTable* table) {
    // Running script code here must not free the table this member still reads.
    script->DoLuaString("gInner = 1");
    script->RunScript("counter.lua");
    seen = table->GetNumber("x", -1);
  }
};

TEST_F(ScriptTest, TableArgumentsSurviveScriptsRunByTheirMember) {
  CopyFixture("counter.lua");
  TNested nested;
  nested.script = mScript;
  BindLuaMember(L, "ReadNested", &nested, &TNested::Read);
  EXPECT_TRUE(mScript->DoLuaString("ReadNested({x = 8})"));
  EXPECT_EQ(nested.seen, 8);
  EXPECT_EQ(Global("gInner"), "1");
  mScript->DoLuaString("y = 1");
  EXPECT_EQ(mScript->GetPendingCount(), 0u);
}

struct TStepper {
  TTaskList* tasks = nullptr;
  void Step() { tasks->RunTasks(0); }
};

TEST_F(ScriptTest, TaskStepDuringTheCoroutinesOwnCallLeavesItRunning) {
  TStepper stepper;
  stepper.tasks = &mTasks;
  BindLuaMember(L, "StepTasks", &stepper, &TStepper::Step);
  ASSERT_TRUE(mScript->DoLuaString(
      "return function() gPhase = 1; StepTasks(); gPhase = 2; coroutine.yield(); gPhase = 3 end"));
  EXPECT_EQ(Global("gPhase"), "2");
  EXPECT_FALSE(mScript->IsStopped());
  mTasks.RunTasks(0);
  EXPECT_EQ(Global("gPhase"), "3");
  EXPECT_TRUE(mScript->IsStopped());
}

}  // namespace

namespace {

struct TWaiter {
  int waits = 0;
  // The shape of a member that suspends the calling coroutine until the task resumes it.
  int Wait(lua_State* L) {
    waits++;
    lua_pushstring(L, "waiting");
    return lua_yield(L, 1);
  }
};

TEST_F(ScriptTest, RawMemberCanSuspendTheCoroutine) {
  TWaiter waiter;
  BindLuaMember(L, "Wait", &waiter, &TWaiter::Wait);
  ASSERT_TRUE(mScript->DoLuaString("return function() gPhase = 1; gGot = Wait(); gPhase = 2 end"));
  EXPECT_EQ(waiter.waits, 1);
  EXPECT_TRUE(mScript->IsYielded());
  EXPECT_EQ(Global("gPhase"), "1");
  lua_pushstring(L, "resumed with this");
  EXPECT_EQ(mScript->Resume(1), 0);
  EXPECT_EQ(Global("gPhase"), "2");
  EXPECT_EQ(Global("gGot"), "resumed with this");
  EXPECT_FALSE(mScript->IsYielded());
  EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptTest, WrappersOutlivingTheirScriptLetItBe) {
  auto script = std::make_unique<TScript>();
  lua_State* S = script->GetState();
  RunLua(S, "function f() end; t = {x = 1}");
  lua_pushliteral(S, "f");
  lua_rawget(S, LUA_GLOBALSINDEX);
  auto function = std::make_unique<TLuaFunction>(S);
  lua_pushliteral(S, "t");
  lua_rawget(S, LUA_GLOBALSINDEX);
  auto table = std::make_unique<TLuaTable>(S);
  script.reset();  // the state closes first, as at a careless shutdown
  EXPECT_EQ(function->GetState(), nullptr);
  EXPECT_FALSE(function->Call());
  EXPECT_EQ(table->GetNumber("x", 9), 9);
  std::unique_ptr<TLuaObjectWrapper> key;
  EXPECT_EQ(table->GetNext(key), nullptr);
  table->SetNumber("x", 2);
  function.reset();
  table.reset();
}

}  // namespace
