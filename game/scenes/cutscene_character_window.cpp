#include "scenes/cutscene_character_window.h"

#include "graphics/renderer.h"
#include "graphics/sprites/sprite.h"
#include "scenes/scene_internal.h"

TCutsceneCharacterWindow::TCutsceneCharacterWindow() : mRoot(TSprite::Create(0)) {}

TCutsceneCharacterWindow::~TCutsceneCharacterWindow() {
  mRoot->RemoveAllChildren();
  mSprites.clear();
}

std::unique_ptr<TWindow> TCutsceneCharacterWindow::Create() { return std::make_unique<TCutsceneCharacterWindow>(); }

void TCutsceneCharacterWindow::Draw() {
  TScoped2d block;
  mRoot->Draw(TSpriteDrawParams(TVec2(0, 0), 1.0f, 1.0f, 0), -1);
}

bool TCutsceneCharacterWindow::OnMouseDown(TPoint) { return scene::GlobalBool("showBriefingWindow"); }

void TCutsceneCharacterWindow::SetSprite(int32_t position, const std::shared_ptr<TSprite>& sprite) {
  auto stored = mSprites.find(position);
  if (stored != mSprites.end()) {
    mRoot->RemoveChild(stored->second);
    mSprites.erase(stored);
  }
  if (!sprite) return;
  mSprites[position] = sprite;
  mRoot->AddChild(sprite);
}

std::shared_ptr<TSprite> TCutsceneCharacterWindow::GetSprite(int32_t position) const {
  auto stored = mSprites.find(position);
  return stored != mSprites.end() ? stored->second : nullptr;
}
