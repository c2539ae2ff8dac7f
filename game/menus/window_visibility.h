#pragma once
// Showing and hiding a menu's child window through its visible flag (the window redraws
// when the flag changes); nothing for a missing window.

#include "windows/window.h"

inline void SetWindowShown(TWindow* window, bool shown) {
  if (!window) return;
  uint32_t flags = window->GetFlags();
  window->SetFlags(shown ? flags | uint32_t(WindowVisible) : flags & ~uint32_t(WindowVisible));
}
