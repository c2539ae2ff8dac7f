#pragma once
// TMessage: what windows, the game and the window scripts say to each other: a type, a
// name and an optional target window. Whoever posts a message hands it to the window
// manager's queue (TWindowManager::PostMessage); after every event the queue is drained
// and each message goes to the listeners, the windows, a modal's focus child or the UI
// script's queue (TWindowManager::DispatchMessage, TWindow::SendMessage).
//
// TMessageListener: code outside the window tree (the game's message handler) sees every
// untargeted message first.

#include <cstdint>

#include "platform/class_id.h"
#include "platform/engine_string.h"

class TWindow;

enum TMessageType : uint32_t {
  MessageGeneric = 0,          // named by its creator
  MessageCloseWindow = 1,      // names the modal to close (name or id string)
  MessageDefaultAction = 2,    // a modal's default action; names the character
  MessageButtonPress = 3,      // names the button
  MessagePressAnyKey = 4,      // raw input: "raw:" plus the key character, or "mouse:up"
  MessageQuitNow = 5,          // ends the application
  MessageModalClosed = 6,      // a modal went; names its id string
  MessageTextEditChanged = 7,  // names the text edit
  MessageCommandOnly = 8,      // carries a Lua command
  MessageSliderValChanged = 9,
  MessageSliderMouseUp = 10,
  MessageSliderPageUp = 11,
  MessageSliderPageDown = 12,
  MessageUserBase = 1000,      // from here on free for scripts and the game
};

class TMessage {
 public:
  TARVELON_CLASS_ID()
  TMessage(uint32_t type, const TString& name, TWindow* target = nullptr)
      : mType(type), mName(name), mTarget(target) {}
  virtual ~TMessage() = default;
  TMessage(const TMessage&) = delete;
  TMessage& operator=(const TMessage&) = delete;

  virtual const char* GetClassName() const { return "TMessage"; }
  virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }
  // What listeners and focus children get: the message itself, or for a script's message
  // its own message behind the wrapper.
  virtual TMessage& ForReceivers() { return *this; }

  uint32_t GetType() const { return mType; }
  const TString& GetName() const { return mName; }
  // The receiving window (non-owning); null for an untargeted message. The window manager
  // clears it when the window is queued for deletion or destroyed.
  TWindow* GetTarget() const { return mTarget; }
  void SetTarget(TWindow* target) { mTarget = target; }

 private:
  uint32_t mType;
  TString mName;
  TWindow* mTarget;
};

class TMessageListener {
 public:
  virtual ~TMessageListener() = default;
  // Sees an untargeted message before any window. For a message made by a script this is
  // the script's own message object. True: handled (the dispatcher destroys it).
  virtual bool OnMessage(TMessage& message) = 0;
};
