#pragma once
// Messages on the Lua side. A script sees a message as a boxed pointer whose metatable is
// the registry entry "jxMessageMetatable": it reads the fields type and name, nothing
// else, and cannot write. The box owns its message: the metatable's "__gc" deletes it, so
// a message is boxed at most once.
//
// TLuaMessageWrapper carries a script's message back into the window system: a native
// message with the script message's type, name and target that keeps the Lua value alive
// (TLuaMessage) until it is destroyed.

#include <memory>

#include "script/lua/lua.h"
#include "script/lua_object_wrapper.h"
#include "windows/message.h"

// Creates the registry entry "jxMessageMetatable" ("__index" reading type and name,
// "__gc" deleting the boxed message).
void InstallMessageMetatable(lua_State* L);
// Boxes the message (the box takes it over) with the message metatable and pushes it.
void PushMessageObject(lua_State* L, std::unique_ptr<TMessage> message);
// The message of a boxed message value at the index; null for any other value (an
// ordinary userdata, or a box without the message metatable).
TMessage* ToMessage(lua_State* L, int index);

// A reference to a Lua message value; the destructor clears the registry entry.
class TLuaMessage : public TLuaObjectWrapper {
 public:
  explicit TLuaMessage(lua_State* L) : TLuaObjectWrapper(L) {}
};

class TLuaMessageWrapper : public TMessage {
 public:
  TARVELON_CLASS_ID()
  // Takes the Lua message value on top of L's stack (popped) and copies its type, name and
  // target; answers null (the value popped) when it is no message.
  static std::unique_ptr<TLuaMessageWrapper> FromStack(lua_State* L);

  const char* GetClassName() const override { return "TLuaMessageWrapper"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TMessage::IsKindOf(id); }

  // The script's own message behind the wrapper, or null once the state has gone.
  TMessage* GetLuaMessage();
  // The script's own message while the state lives, else the wrapper.
  TMessage& ForReceivers() override;
  // Pushes the Lua value onto L (a thread of the same state); false when it cannot.
  bool PushLuaValue(lua_State* L) { return mLuaMessage.PushTo(L); }

 private:
  TLuaMessageWrapper(lua_State* L, const TMessage& source);

  TLuaMessage mLuaMessage;
};

