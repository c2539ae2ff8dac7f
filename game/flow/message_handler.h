#pragma once
// CMessageHandler: the game's listener on the window manager's messages. Five named game
// messages open their modal screens as Lua; every other message goes on to the windows.

#include "windows/message.h"

class CMessageHandler : public TMessageListener {
 public:
  // True when the message named one of the modal screens, which is then opened over the
  // top modal window.
  bool OnMessage(TMessage& message) override;
};
