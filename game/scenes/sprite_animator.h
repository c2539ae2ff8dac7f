#pragma once
// TSpriteAnimator: the one runner of the short sprite effects of play, for the whole
// process: flights (TSpriteAnimationMove: a found object flying to the sidebar) and glows
// (TSpriteAnimationGlow). Screens, the sidebar and the mini-games add and remove them; the
// scene's frame step calls Update; a scene window empties it when it is built; the game's
// main function destroys it at shutdown.
//
// At most one flight and one glow per engine sprite (keyed by its address; each animation
// holds its sprite, so a key stays valid while listed). The end of every flight runs the
// Lua text "SetVisible(<name>,false)" on the UI script with the top modal as its window,
// which hides the model's scene objects of that name in every level; a flown sprite that
// also glows is taken out of its parent sprite and loses its glow. Main thread only.

#include <cstdint>
#include <map>
#include <memory>

#include "graphics/particles/fx_sprite.h"
#include "platform/color32.h"
#include "platform/engine_string.h"

class TSprite;
class TSpriteAnimationGlow;
class TSpriteAnimationMove;

class TSpriteAnimator {
 public:
  // Made on the first call.
  static TSpriteAnimator* GetInstance();
  // Deletes it with every animation it holds.
  static void DestroyInstance();

  TSpriteAnimator();
  ~TSpriteAnimator();
  TSpriteAnimator(const TSpriteAnimator&) = delete;
  TSpriteAnimator& operator=(const TSpriteAnimator&) = delete;

  // A glow around sprite, drawn in parent; a sprite that glows already keeps its glow (and
  // the task is dropped). task drives the glow's effect; null makes one on the engine
  // timer. A task on a window's clock must not outlive that window: glows are cleared only
  // when the next scene is built.
  void AddGlow(const std::shared_ptr<TSprite>& sprite, const std::shared_ptr<TSprite>& parent, TColor32 colour,
               std::unique_ptr<TFxSpriteAnimTask> task = nullptr);
  // Flies sprite from where it stands to (targetX, targetY), speed pixels per update; name
  // is its name in its window. A flight of the same sprite is replaced (and deleted).
  void AddMove(const std::shared_ptr<TSprite>& sprite, int32_t targetX, int32_t targetY, int32_t speed,
               const TString& name, bool bringToFront, bool hideFlag);
  // Ends the sprite's glow, taking every child sprite off it; a flight goes on.
  void RemoveAnimation(const std::shared_ptr<TSprite>& sprite);
  // Ends every flight, then every glow, each sprite losing its children.
  void RemoveAll();
  // One step of every flight, in key order; then the ends of those that finished.
  void Update();

  TSpriteAnimationGlow* GetGlow(const TSprite* sprite) const;
  TSpriteAnimationMove* GetMove(const TSprite* sprite) const;
  size_t GetGlowCount() const { return mGlows.size(); }
  size_t GetMoveCount() const { return mMoves.size(); }

 private:
  // Hides the flown object in the model by its name.
  static void RunFlightEnd(const TString& name);

  std::map<const TSprite*, std::unique_ptr<TSpriteAnimationGlow>> mGlows;
  std::map<const TSprite*, std::unique_ptr<TSpriteAnimationMove>> mMoves;
};
