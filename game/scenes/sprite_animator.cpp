#include "scenes/sprite_animator.h"

#include <string>
#include <vector>

#include "graphics/particles/fx_sprite.h"
#include "graphics/sprites/sprite.h"
#include "model/record_writer.h"
#include "scenes/sprite_animation_glow.h"
#include "scenes/sprite_animation_move.h"
#include "windows/window_manager.h"

namespace {

std::unique_ptr<TSpriteAnimator> gAnimator;

std::shared_ptr<TSprite> ParentOf(const TSprite& sprite) {
  TSprite* parent = sprite.GetParent();
  return parent ? parent->weak_from_this().lock() : nullptr;
}

}  // namespace

TSpriteAnimator* TSpriteAnimator::GetInstance() {
  if (!gAnimator) gAnimator = std::make_unique<TSpriteAnimator>();
  return gAnimator.get();
}

void TSpriteAnimator::DestroyInstance() { gAnimator.reset(); }

TSpriteAnimator::TSpriteAnimator() = default;

TSpriteAnimator::~TSpriteAnimator() {
  // Flights before glows, as RemoveAll ends them.
  mMoves.clear();
  mGlows.clear();
}

void TSpriteAnimator::AddGlow(const std::shared_ptr<TSprite>& sprite, const std::shared_ptr<TSprite>& parent,
                              TColor32 colour, std::unique_ptr<TFxSpriteAnimTask> task) {
  if (!sprite || mGlows.count(sprite.get())) return;
  if (!task) task = std::make_unique<TFxSpriteAnimTask>();
  auto glow = std::make_unique<TSpriteAnimationGlow>(sprite, parent, colour);
  // A glow that cannot start stays listed, showing nothing, so that a caller that asks for
  // it on every frame does not try again every frame.
  glow->Setup(std::move(task));
  mGlows[sprite.get()] = std::move(glow);
}

void TSpriteAnimator::AddMove(const std::shared_ptr<TSprite>& sprite, int32_t targetX, int32_t targetY,
                              int32_t speed, const TString& name, bool bringToFront, bool hideFlag) {
  if (!sprite) return;
  auto move = std::make_unique<TSpriteAnimationMove>(sprite, ParentOf(*sprite), targetX, targetY, speed, name,
                                                     bringToFront, hideFlag);
  move->Start();
  mMoves[sprite.get()] = std::move(move);
}

void TSpriteAnimator::RemoveAnimation(const std::shared_ptr<TSprite>& sprite) {
  auto found = sprite ? mGlows.find(sprite.get()) : mGlows.end();
  if (found == mGlows.end()) return;
  std::unique_ptr<TSpriteAnimationGlow> glow = std::move(found->second);
  mGlows.erase(found);
  sprite->RemoveAllChildren();
}

void TSpriteAnimator::RemoveAll() {
  // Taken out of the maps first: deleting an animation may run code that looks at them.
  auto moves = std::move(mMoves);
  mMoves.clear();
  for (auto& entry : moves) entry.second->GetSprite()->RemoveAllChildren();
  moves.clear();
  auto glows = std::move(mGlows);
  mGlows.clear();
  for (auto& entry : glows) entry.second->GetSprite()->RemoveAllChildren();
}

void TSpriteAnimator::Update() {
  std::vector<const TSprite*> finished;
  for (auto& entry : mMoves)
    if (!entry.second->Update()) finished.push_back(entry.first);
  // The flight ends run Lua, which may add or remove animations: each key is looked up
  // again.
  for (const TSprite* key : finished) {
    auto move = mMoves.find(key);
    if (move != mMoves.end()) {
      std::unique_ptr<TSpriteAnimationMove> ended = std::move(move->second);
      mMoves.erase(move);
      RunFlightEnd(ended->GetSpriteName());
    }
    auto glow = mGlows.find(key);
    if (glow != mGlows.end()) {
      std::unique_ptr<TSpriteAnimationGlow> ended = std::move(glow->second);
      mGlows.erase(glow);
      const std::shared_ptr<TSprite>& sprite = ended->GetSprite();
      if (TSprite* parent = sprite->GetParent()) parent->RemoveChild(sprite);
    }
  }
}

void TSpriteAnimator::RunFlightEnd(const TString& name) {
  TWindowManager* manager = GetWindowManager();
  if (!manager) return;
  // The name is written as a quoted Lua string: a quote in it cannot break the text.
  std::string text = "SetVisible(";
  AppendLuaString(text, name);
  text += ",false)";
  manager->DoLuaString(manager->GetTopModal(), TString(text.c_str()));
}

TSpriteAnimationGlow* TSpriteAnimator::GetGlow(const TSprite* sprite) const {
  auto found = mGlows.find(sprite);
  return found == mGlows.end() ? nullptr : found->second.get();
}

TSpriteAnimationMove* TSpriteAnimator::GetMove(const TSprite* sprite) const {
  auto found = mMoves.find(sprite);
  return found == mMoves.end() ? nullptr : found->second.get();
}
