#pragma once
// TWindowBinding: the Lua globals one game window binds on the UI script. When the window
// goes they are made harmless (a call does nothing and logs a line, as for the engine's own
// windows), unless the script has gone or changed since: then they went with it. Every game
// window binds its globals through this one helper; the UI script is the model's script, so
// it binds as the model objects do.

#include "model/model_services.h"

class TWindowBinding : public CModelBinding {
 public:
  explicit TWindowBinding(const void* window) : CModelBinding(window, TStaleCall::LogAndSkip) {}
};
