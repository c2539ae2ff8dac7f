#include "windows/screen.h"

#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "windows/window_manager.h"

TScreen::TScreen() {
  AddFlags(WindowOpaqueCover | WindowCachedLayer);
  SetName("_screen_");
}

void TScreen::Draw() {
  TWindowManager* manager = GetWindowManager();
  if (!mNeverClear && (mAlwaysClear || (manager && manager->GetTopModal() == this))) {
    TRect all;
    GetClientRect(all);
    TRenderer::GetInstance()->FillRect(all, mClearColor);
  }
  if (manager && manager->GetCachedLayer()) manager->GetCachedLayer()->Blit(0, 0, nullptr, nullptr);
}
