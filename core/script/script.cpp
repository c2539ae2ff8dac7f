#include "script/script.h"

#include <algorithm>

#include "platform/file.h"
#include "platform/log.h"
#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"
#include "script/lua_frames.h"
#include "script/lua_glue.h"
#include "script/script_code.h"

namespace {

const char kDumpTableChunk[] =
    "function _Internal_DumpEntry(key, value, indent)\n"
    "  local pad = string.rep(' ', indent)\n"
    "  if type(value) == 'table' then\n"
    "    return pad .. tostring(key) .. ' -> {\\n' .. _Internal_DumpTable(value, indent + 2) .. pad .. '}\\n'\n"
    "  end\n"
    "  return pad .. tostring(key) .. ' -> ' .. tostring(value) .. '\\n\\n'\n"
    "end\n"
    "function _Internal_DumpTable(t, indent)\n"
    "  indent = indent or 0\n"
    "  if indent > 10 then return string.rep(' ', indent) .. '...\\n' end\n"
    "  local text = ''\n"
    "  table.foreach(t, function(key, value) text = text .. _Internal_DumpEntry(key, value, indent) end)\n"
    "  return text\n"
    "end\n"
    "function DumpTable(t)\n"
    "  DebugOut('Dump Table: \\n' .. _Internal_DumpTable(t, 2))\n"
    "  _accumulated_table_data = ''\n"
    "end\n";

const char kGetClosureChunk[] =
    "function GetClosure( f, ... ) return function() return f( arg[1], arg[2], arg[3], arg[4], arg[5], arg[6] ); "
    "end; end";

const char* kNotAString = "(error object is not a string)";

void PushRawGlobal(lua_State* L, const char* name) {
  lua_pushstring(L, name);
  lua_rawget(L, LUA_GLOBALSINDEX);
}

int SetGlobalBody(lua_State* L) {  // (name, value)
  lua_settable(L, LUA_GLOBALSINDEX);
  return 0;
}

const char* ErrorText(lua_State* L) {
  const char* text = lua_tostring(L, -1);
  return text ? text : kNotAString;
}

}  // namespace

TScript::TScript(lua_State* state) : mState(state) {
  InstallScriptFileReader();
  if (!mState) {
    mState = lua_open();
    if (!mState) return;
    NoteLuaStateOpened(mState);
    mOwnsState = true;
    lua_pushliteral(mState, "_SCRIPT");
    lua_pushlightuserdata(mState, this);
    lua_rawset(mState, LUA_GLOBALSINDEX);
  }
  Stop();
  OpenLibraries();
}

TScript::~TScript() {
  mPending.clear();
  for (TScript* child : mChildren) child->Detach();
  mChildren.clear();
  if (mParent) {
    auto& siblings = mParent->mChildren;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  mThread.reset();
  if (mOwnsState && mState) {
    NoteLuaStateClosing(mState);
    lua_close(mState);
  }
}

void TScript::Detach() {
  mPending.clear();
  for (TScript* child : mChildren) child->Detach();
  mChildren.clear();
  mThread.reset();
  mState = nullptr;
  mParent = nullptr;
  Stop();
}

void TScript::OpenLibraries() {
  lua_State* L = mState;
  LuaStackGuard guard(L);
  luaopen_base(L);
  luaopen_string(L);
  luaopen_table(L);
  lua_settop(L, guard.GetTop());
  OpenLuaGlue(L);
  lua_dobuffer(L, kDumpTableChunk, sizeof kDumpTableChunk - 1, "DumpTable");
}

std::unique_ptr<TScript> TScript::CreateThreadScript() {
  if (!mState) return nullptr;
  auto thread = std::make_unique<TLuaThread>(mState);
  if (!thread->GetThread()) return nullptr;
  std::unique_ptr<TScript> script(new TScript(thread->GetThread()));
  script->mThread = std::move(thread);
  script->mParent = this;
  script->mSearchPath = mSearchPath;
  mChildren.push_back(script.get());
  return script;
}

const TString& TScript::GetSearchPath() const { return mSearchPath.IsEmpty() ? GetScriptSearchPath() : mSearchPath; }

TScript* TScript::GetRunningScript(lua_State* L) {
  if (!L || !lua_checkstack(L, 1)) return nullptr;
  PushRawGlobal(L, "_SCRIPT");
  TScript* script = lua_islightuserdata(L, -1) ? static_cast<TScript*>(lua_touserdata(L, -1)) : nullptr;
  lua_pop(L, 1);
  return script;
}

void TScript::AddPendingWrapper(std::unique_ptr<TLuaObjectWrapper> wrapper) {
  if (wrapper) mPending.push_back(std::move(wrapper));
}

void TScript::DeletePendingWrappers() {
  // A bound member may run script code (and so get here) while it still reads its table
  // arguments: those wait until no bound call is open.
  if (!IsInsideBoundCall()) mPending.clear();
}

TScript::FrameMark TScript::Mark() const { return {LuaFrameDepth(mState), LuaIsYielded(mState)}; }

bool TScript::SameFrame(const FrameMark& mark) const {
  return mState && LuaFrameDepth(mState) == mark.depth && LuaIsYielded(mState) == mark.yielded;
}

bool TScript::IsYielded() const { return mState && LuaIsYielded(mState); }

bool TScript::ResumeWithValue() {
  if (mState && lua_gettop(mState) > 0) lua_pop(mState, 1);
  return false;
}

bool TScript::RunScript(const TString& fileName) {
  bool returnedFunction = false;
  return RunScriptFile(fileName, returnedFunction);
}

bool TScript::RunMainScript(const TString& fileName) {
  if (!mState) return false;
  if (fileName.IsEmpty() || !FileExists(fileName)) {
    LogPrintf("The main script \"%s\" is missing: nothing runs the screens.", fileName.c_str());
    return false;
  }
  bool returnedFunction = false;
  if (!RunScriptFile(fileName, returnedFunction)) return false;
  if (!returnedFunction)
    LogPrintf("The main script %s returned no function: nothing runs the screens.", fileName.c_str());
  return returnedFunction;
}

bool TScript::RunScriptFile(const TString& fileName, bool& returnedFunction) {
  returnedFunction = false;
  if (!mState || fileName.IsEmpty() || !FileExists(fileName)) return false;
  lua_State* L = mState;
  int top = lua_gettop(L);
  if (!lua_checkstack(L, 3)) return false;
  TString error;
  std::shared_ptr<TScriptCode> code = TScriptCode::Get(fileName, GetSearchPath(), &error);
  int status = LUA_ERRFILE;
  if (code) status = luaL_loadbuffer(L, code->GetCode().c_str(), code->GetLength(), fileName.c_str());
  if (status != 0) {
    if (!code) lua_pushlstring(L, error.c_str(), error.Length());
    PushRawGlobal(L, "_ALERT");
    lua_insert(L, -2);
    lua_pcall(L, 1, 0, 0);
    lua_settop(L, top);
    return false;
  }
  FrameMark mark = Mark();
  status = RunFunction(0, 1);
  if (status != 0) LogPrintf("Failed to run script %s: %d", fileName.c_str(), status);
  // A returned function became the coroutine: it waits in a yield, or it ended at once and
  // stays the run's result.
  if (status == 0) returnedFunction = !SameFrame(mark) || lua_isfunction(L, -1);
  if (SameFrame(mark)) lua_settop(L, top);
  return status == 0;
}

// Text ends at its first zero byte, and nothing past it is read: a compiled chunk, which
// holds zero bytes, runs from its script code, which knows its byte count.
bool TScript::DoLuaString(const TString& text, int length, int results) {
  size_t size = (length < 0 || uint32_t(length) > text.Length()) ? text.Length() : size_t(length);
  return DoChunk(text, size, results);
}

bool TScript::DoLuaString(const TScriptCode& code, int results) {
  return DoChunk(code.GetCode(), code.GetLength(), results);
}

bool TScript::DoChunk(const TString& text, size_t size, int results) {
  if (!mState) return false;
  lua_State* L = mState;
  if (results < 0) results = 0;
  int top = lua_gettop(L);
  if (!lua_checkstack(L, results + 3)) return false;
  SetGlobalString("LUA_PATH", GetSearchPath());
  const char* phase = "parsing";
  FrameMark mark = Mark();
  int status = luaL_loadbuffer(L, text.c_str(), size, text.c_str());
  if (status == 0) {
    phase = "running";
    status = RunFunction(0, results == 0 ? 1 : results);
    if (status == 0) {
      if (results == 0 && SameFrame(mark)) lua_settop(L, top);
      return true;
    }
  }
  // A call handed to the suspended coroutine that failed there has been reported already.
  if (!SameFrame(mark)) return false;
  ReportTextError(text, phase);
  // The error value goes: a caller that runs failing text again and again must not fill the
  // stack. Wanted results read nil.
  lua_settop(L, top);
  lua_settop(L, top + results);
  return false;
}

void TScript::ReportTextError(const TString& text, const char* phase) {
  lua_State* L = mState;
  if (lua_type(L, -1) != LUA_TSTRING) return;
  TString message = TString::Printf("Lua Error: %s\n\twhen %s", lua_tostring(L, -1), phase);
  LogPrintf("DoLuaString %s %s", message.c_str(), text.c_str());
  LuaStackGuard guard(L);
  PushRawGlobal(L, "LuaErrorMessage");
  if (lua_isnil(L, -1)) return;
  lua_pushlstring(L, message.c_str(), message.Length());
  if (lua_pcall(L, 1, 0, 0) != 0) LogPrintf("Lua error: %s", ErrorText(L));
}

int TScript::CallProtected(int func, int args, int results) {
  lua_State* L = mState;
  PushRawGlobal(L, "_ALERT");
  lua_insert(L, func);
  int status = lua_pcall(L, args, results, func);
  lua_remove(L, func);
  return status;
}

int TScript::RunFunction(int args, int results) {
  if (!mState) return LUA_ERRRUN;
  lua_State* L = mState;
  DeletePendingWrappers();
  int func = lua_gettop(L) - args;
  if (args < 0 || func < 1) {
    LogPrintf("Lua error: %s", "no function to run");
    return LUA_ERRRUN;
  }
  if (!lua_checkstack(L, 3 + std::max(results, 0))) {
    lua_settop(L, func - 1);
    LogPrintf("Lua error: %s", "stack overflow");
    return LUA_ERRRUN;
  }
  if (IsYielded() && results <= 1) return DeliverToSuspended(func, args, results);
  int status = CallProtected(func, args, results);
  if (status == 0) {
    if (results == 1 && !IsYielded() && lua_isfunction(L, -1)) StartCoroutine(func - 1);
  } else if (results >= 2) {
    LogPrintf("TScript::RunFunction failure. Too many return results? (%d, FAILURE CODE %d)", results, status);
  }
  return status;
}

int TScript::DeliverToSuspended(int func, int args, int results) {
  lua_State* L = mState;
  PushRawGlobal(L, "_ALERT");
  lua_insert(L, func);
  PushRawGlobal(L, "GetClosure");
  if (lua_isnil(L, -1)) {
    lua_pop(L, 1);
    if (luaL_loadbuffer(L, kGetClosureChunk, sizeof kGetClosureChunk - 1, "GetClosure") != 0 ||
        lua_pcall(L, 0, 0, 0) != 0)
      lua_pop(L, 1);
    PushRawGlobal(L, "GetClosure");
  }
  lua_insert(L, func + 1);
  int status = lua_pcall(L, args + 1, 1, func);
  lua_remove(L, func);
  if (status != 0) return status;

  auto closure = std::make_unique<TLuaFunction>(L);
  FrameMark mark = Mark();
  if (closure->PushTable() && ResumeWithValue()) {
    closure.reset();
    if (SameFrame(mark))
      for (int i = 0; i < results; i++) lua_pushnil(L);
    return 0;
  }
  // Nobody took it: the call runs here and now.
  bool pushed = SameFrame(mark) && closure->PushTable();
  closure.reset();
  if (!pushed) return LUA_ERRRUN;
  return CallProtected(lua_gettop(L), 0, results);
}

void TScript::StartCoroutine(int baseTop) {
  lua_State* L = mState;
  // Only a state at rest can take a new coroutine; resuming a busy one would also wipe
  // the running native function's stack.
  if (LuaFrameDepth(L) != 0) {
    LogPrintf("lua_resume error: %s", "cannot resume non-suspended coroutine");
    return;
  }
  if (IsStopped()) Schedule(0, true, true, false);
  int resultTop = lua_gettop(L);
  mCoroutineBase = baseTop;
  lua_pushvalue(L, -1);
  if (lua_resume(L, 0) != 0) LogPrintf("lua_resume error: %s", ErrorText(L));
  if (!IsYielded()) {
    // Done (or failed) at once: its function stays the run's one result.
    lua_settop(L, resultTop);
    Stop();
  }
}

int TScript::Resume(int args) {
  if (!mState) return LUA_ERRRUN;
  lua_State* L = mState;
  DeletePendingWrappers();
  if (!IsYielded()) {
    LogPrintf("lua_resume ERROR: %s", "cannot resume non-suspended coroutine");
    lua_pop(L, std::min(args, lua_gettop(L)));
    return LUA_ERRRUN;
  }
  int status = lua_resume(L, args);
  if (status != 0) {
    LogPrintf("lua_resume ERROR: %s", ErrorText(L));
    lua_pop(L, 1);
  }
  // Ended: its results go, and the stack is as it was below the coroutine.
  if (!IsYielded() && LuaFrameDepth(L) == 0) lua_settop(L, mCoroutineBase);
  return status;
}

bool TScript::Animate() {
  if (!mState) {
    Stop();
    return true;
  }
  // A step that comes while the state runs (a bound function that runs the task list)
  // leaves the coroutine alone.
  if (!IsYielded() && LuaFrameDepth(mState) != 0) return true;
  if (Resume(0) != 0 || !IsYielded()) Stop();
  return true;
}

double TScript::PopNumber() {
  if (!mState || lua_gettop(mState) == 0) return 0;
  double value = lua_tonumber(mState, -1);
  lua_pop(mState, 1);
  return value;
}

TString TScript::PopString() {
  if (!mState || lua_gettop(mState) == 0) return TString();
  TString value = GetLuaString(mState, -1);
  lua_pop(mState, 1);
  return value;
}

TLuaVec4 TScript::PopVec4() {
  TLuaVec4 value{0, 0, 0, 0};
  if (!mState || lua_gettop(mState) == 0) return value;
  if (!lua_istable(mState, -1)) {
    lua_pop(mState, 1);
    return value;
  }
  TLuaTable table(mState);
  for (int i = 0; i < 4; i++) value[i] = LuaNumberToFloat(table.GetNumberAt(i + 1, 0));
  return value;
}

void TScript::SetGlobalString(const char* name, const TString& value) {
  if (!mState || !lua_checkstack(mState, 3)) return;
  lua_State* L = mState;
  LuaStackGuard guard(L);
  lua_pushcfunction(L, SetGlobalBody);
  lua_pushstring(L, name);
  lua_pushlstring(L, value.c_str(), value.Length());
  if (lua_pcall(L, 2, 0, 0) != 0) LogPrintf("Lua error: %s", ErrorText(L));
}
