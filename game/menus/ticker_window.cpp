#include "menus/ticker_window.h"

#include "windows/window_manager.h"

void TTickerWindow::Init(TWindowStyle& style) {
  TWindow::Init(style);
  StartAnim(10, true, true, false);
}

bool TTickerWindow::Animate() {
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
  return true;
}
