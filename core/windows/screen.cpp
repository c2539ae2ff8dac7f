#include "windows/screen.h"

#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "windows/window_manager.h"

namespace {

constexpr int BlendNormal = 0;
constexpr int BlendOpaque = 1;

}  // namespace

TScreen::TScreen() {
  AddFlags(WindowOpaqueCover | WindowCachedLayer);
  SetName("_screen_");
}

void TScreen::Draw() {
  TWindowManager* manager = GetWindowManager();
  if (!mNeverClear && (mAlwaysClear || (manager && manager->GetTopModal() == this))) {
    TRect all;
    GetClientRect(all);
    // The clear replaces what the last frame left, whatever its alpha: it is drawn
    // opaque, not blended.
    TScoped2d block;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetBlendMode(BlendOpaque);
    renderer->FillRect(all, mClearColor);
    renderer->SetBlendMode(BlendNormal);
  }
  if (manager && manager->GetCachedLayer()) manager->GetCachedLayer()->Blit(0, 0, nullptr, nullptr);
}
