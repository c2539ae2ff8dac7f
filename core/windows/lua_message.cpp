#include "windows/lua_message.h"

#include <cstring>

#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"

namespace {

const char kMetatableKey[] = "jxMessageMetatable";

void PushMetatable(lua_State* L) {
  lua_pushstring(L, kMetatableKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
}

// __index (message, key): the fields type and name; nothing for a value that is no message.
int MessageIndex(lua_State* L) {
  TMessage* message = ToMessage(L, 1);
  if (!message) return 0;
  const char* key = lua_tostring(L, 2);
  if (key && strcmp(key, "type") == 0) {
    lua_pushnumber(L, message->GetType());
    return 1;
  }
  if (key && strcmp(key, "name") == 0) {
    PushLuaString(L, message->GetName());
    return 1;
  }
  lua_pushnil(L);
  return 1;
}

// __gc: the box owns its message.
int MessageCollect(lua_State* L) {
  delete ToMessage(L, 1);
  return 0;
}

}  // namespace

void InstallMessageMetatable(lua_State* L) {
  LuaStackGuard guard(L);
  lua_pushstring(L, kMetatableKey);
  lua_newtable(L);
  lua_pushstring(L, "__index");
  lua_pushcfunction(L, MessageIndex);
  lua_rawset(L, -3);
  lua_pushstring(L, "__gc");
  lua_pushcfunction(L, MessageCollect);
  lua_rawset(L, -3);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

void PushMessageObject(lua_State* L, std::unique_ptr<TMessage> message) {
  lua_pushboxedpointer(L, message.release());
  PushMetatable(L);
  lua_setmetatable(L, -2);
}

TMessage* ToMessage(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
  PushMetatable(L);
  bool ours = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  // Only our boxes hold a message: any other userdata would be read as one.
  return ours ? static_cast<TMessage*>(lua_touserdata(L, index)) : nullptr;
}

std::unique_ptr<TLuaMessageWrapper> TLuaMessageWrapper::FromStack(lua_State* L) {
  TMessage* source = ToMessage(L, -1);
  if (!source) {
    lua_pop(L, 1);
    return nullptr;
  }
  return std::unique_ptr<TLuaMessageWrapper>(new TLuaMessageWrapper(L, *source));
}

TLuaMessageWrapper::TLuaMessageWrapper(lua_State* L, const TMessage& source)
    : TMessage(source.GetType(), source.GetName(), source.GetTarget()), mLuaMessage(L) {}

TMessage* TLuaMessageWrapper::GetLuaMessage() {
  lua_State* L = mLuaMessage.GetState();
  if (!L || !lua_checkstack(L, 3) || !mLuaMessage.PushTable()) return nullptr;
  TMessage* message = ToMessage(L, -1);
  lua_pop(L, 1);
  return message;
}

TMessage& TLuaMessageWrapper::ForReceivers() {
  TMessage* own = GetLuaMessage();
  return own ? *own : *this;
}
