#include "windows/window_script.h"

#include <algorithm>
#include <cctype>

#include "platform/log.h"
#include "script/lua/lauxlib.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "windows/lua_message.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

namespace {

// A type name becomes a Lua global and is spliced into Lua text: only plain names pass.
bool IsPlainName(const TString& name) {
  if (name.IsEmpty() || std::isdigit(uint8_t(name.CharAt(0)))) return false;
  for (uint32_t i = 0; i < name.Length(); i++) {
    char c = name.CharAt(i);
    if (!std::isalnum(uint8_t(c)) && c != '_') return false;
  }
  return true;
}

void SetGlobalNumber(lua_State* L, const char* name, double value) {
  lua_pushstring(L, name);
  lua_pushnumber(L, value);
  lua_rawset(L, LUA_GLOBALSINDEX);
}

void PushRawGlobal(lua_State* L, const char* name) {
  lua_pushstring(L, name);
  lua_rawget(L, LUA_GLOBALSINDEX);
}

}  // namespace

TWindowScript::TWindowScript(TWindowManager* manager) : mManager(manager) {
  lua_State* L = GetState();
  if (!L) return;
  InstallMessageMetatable(L);
  BindApi();
  BindWidgetApi();
  RegisterWidgetTypes();
  RegisterWindowType("Window", &TWindow::Create);
  LoadLibrary();
}

TWindowScript::~TWindowScript() {
  if (GetState()) UnbindLuaObject(GetState(), this);
}

void TWindowScript::LoadLibrary() {
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  int status = luaL_loadbuffer(L, reinterpret_cast<const char*>(GetUiLibraryChunk()), GetUiLibraryChunkSize(),
                               "gScreenInit");
  if (status == 0) status = lua_pcall(L, 0, 0, 0);
  if (status != 0) LogPrintf("Lua error: %s", lua_tostring(L, -1) ? lua_tostring(L, -1) : "gScreenInit");
}

void TWindowScript::RegisterWindowType(const TString& name, TWindowCreator creator) {
  if (!IsPlainName(name) || !creator) {
    LogPrintf("Window type '%s' refused: not a plain name", name.c_str());
    return;
  }
  mRegistry[name] = creator;
  TString text = TString::Printf(
      "function %s( table )\tCreating( '%s', table );\ttable.typename='%s';\n\treturn function() DoWindow( table ) end end;",
      name.c_str(), name.c_str(), name.c_str());
  // Run directly, not through DoLuaString: while the coroutine waits, that would hand the
  // text to the coroutine instead.
  lua_State* L = GetState();
  LuaStackGuard guard(L);
  if (!lua_checkstack(L, 3)) return;
  if (luaL_loadbuffer(L, text.c_str(), text.Length(), text.c_str()) != 0 || lua_pcall(L, 0, 0, 0) != 0)
    LogPrintf("Lua error: %s", lua_tostring(L, -1) ? lua_tostring(L, -1) : "window type");
}

TWindowCreator TWindowScript::FindWindowType(const TString& name) const {
  auto it = mRegistry.find(name);
  return it == mRegistry.end() ? nullptr : it->second;
}

void TWindowScript::PopWindow() {
  if (mWindows.size() > 1) mWindows.pop_back();
}

void TWindowScript::ResetWindows(TWindow* window) {
  mWindows.clear();
  mWindows.push_back(window);
}

void TWindowScript::ForgetWindow(const TWindow* window) {
  std::replace(mWindows.begin(), mWindows.end(), const_cast<TWindow*>(window), static_cast<TWindow*>(nullptr));
}

bool TWindowScript::InitWindow(std::unique_ptr<TWindow> window) {
  lua_State* L = GetState();
  TLuaTable table(L);
  TWindow* current = GetCurrentWindow();
  if (!window || !current) return false;
  // Each nesting level is a recursion when the tree is walked or deleted.
  if (mWindows.size() >= MaxNesting) {
    LogPrintf("Window '%s' refused: windows nested deeper than %u", table.GetString("name", "").c_str(),
              unsigned(MaxNesting));
    return false;
  }
  TWindow* raw = window.get();
  if (!current->AddChild(window, true)) return false;
  TWindowStyle style(&table);
  raw->Init(style);
  PushWindow(raw);
  SetGlobalNumber(L, "gDialogWidth", raw->GetWidth());
  SetGlobalNumber(L, "gDialogHeight", raw->GetHeight());
  if (mCreationObserver) mCreationObserver->OnWindowCreated(raw, style);
  return true;
}

TWindow* TWindowScript::FindInTopModal(const TString& name) const {
  TWindow* top = mManager ? mManager->GetTopModal() : nullptr;
  return top ? top->FindChild(name) : nullptr;
}

TWindow* TWindowScript::FindNamedWindow(const TString& name) const {
  TWindow* top = mManager ? mManager->GetTopModal() : nullptr;
  for (TWindow* w = top; w; w = w->GetParent()) {
    if (TWindow* found = w->FindChild(name)) return found;
  }
  return nullptr;
}

bool TWindowScript::SetFlag(bool on) {
  bool previous = mFlag;
  mFlag = on;
  return previous;
}

// ---- Messages to the script ----

bool TWindowScript::AppendToQueue(const char* queue) {
  // table.insert(queue, value) through the API: Lua text would be handed to a suspended
  // coroutine instead of running.
  lua_State* L = GetState();
  int top = lua_gettop(L) - 1;
  bool ok = false;
  if (lua_checkstack(L, 4)) {
    PushRawGlobal(L, "table");
    if (lua_istable(L, -1)) {
      lua_pushstring(L, "insert");
      lua_rawget(L, -2);
      PushRawGlobal(L, queue);
      if (lua_isfunction(L, -2) && lua_istable(L, -1)) {
        lua_pushvalue(L, top + 1);
        ok = lua_pcall(L, 2, 0, 0) == 0;
        if (!ok) LogPrintf("Lua error: %s", lua_tostring(L, -1) ? lua_tostring(L, -1) : queue);
      }
    }
  }
  lua_settop(L, top);
  return ok;
}

namespace {

// Pushes a message as the script sees it: a script's own message as its own Lua value,
// any other boxed (the box takes it over). A target never reaches a script.
void PushMessageForScript(lua_State* L, std::unique_ptr<TMessage> message) {
  if (message->IsKindOf(TLuaMessageWrapper::ClassId())) {
    auto* wrapper = static_cast<TLuaMessageWrapper*>(message.get());
    if (wrapper->PushLuaValue(L)) return;
    lua_pushnil(L);
    return;
  }
  message->SetTarget(nullptr);
  PushMessageObject(L, std::move(message));
}

}  // namespace

void TWindowScript::QueueMessage(std::unique_ptr<TMessage> message, TLuaFunction* command) {
  lua_State* L = GetState();
  if (!L || !lua_checkstack(L, 4)) return;
  if (IsYielded() && mWaitState == MessageWait) {
    if (!message) message = std::make_unique<TMessage>(MessageCommandOnly, TString());
    PushMessageForScript(L, std::move(message));
    int count = 1;
    if (command && command->PushTo(L)) count++;
    // The delivery ends the wait whatever the resumption answers: a wait left standing
    // would swallow the next message into an unrelated yield.
    ResumeScript(count);
    return;
  }
  if (message) {
    PushMessageForScript(L, std::move(message));
    AppendToQueue("gMessageQueue");
  }
  if (!command) return;
  if (IsYielded()) {
    // Suspended elsewhere (a pause): the command runs now.
    LuaStackGuard guard(L);
    command->Call();
  } else if (command->PushTo(L)) {
    AppendToQueue("gCommandQueue");
  }
}

int TWindowScript::ResumeScript(int args) {
  mWaitState = NotWaiting;
  // The coroutine may yield plainly after this: the task steps it until it waits again.
  Schedule(0, false, true, false);
  int status = Resume(args);
  if (!IsYielded()) Stop();
  return status;
}

bool TWindowScript::ResumeWithValue() {
  lua_State* L = GetState();
  if (!L || lua_gettop(L) == 0) return false;
  lua_pushnil(L);
  lua_insert(L, -2);
  return ResumeScript(2) == 0;
}

bool TWindowScript::Animate() {
  // The task's own step (a timed wait ran out, a plain yield) ends any wait.
  mWaitState = NotWaiting;
  return TScript::Animate();
}

int TWindowScript::HandleGetMessage(lua_State* L) {
  bool timed = lua_gettop(L) == 1;
  uint32_t delay = timed ? LuaNumberToUnsigned(lua_tonumber(L, 1)) : 0;
  lua_settop(L, 0);
  PushRawGlobal(L, "gYieldResult");
  // lua_yield raises when there is no coroutine to suspend: nothing below changes then.
  int result = lua_yield(L, 1);
  if (timed)
    Schedule(delay, false, true, false);
  else
    Stop();
  mWaitState = MessageWait;
  return result;
}
