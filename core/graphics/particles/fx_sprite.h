#pragma once
// TFxSprite: a particle effect in the sprite tree. The sprite owns a TLuaParticleSystem,
// feeds it its on-screen position and orientation as the emitter ("dLocus" and "dUp" in
// the effect script), and draws the particles in its place among its children: after the
// children on negative layers, before the others. One process-wide task
// (TFxSpriteAnimTask) advances every effect in fixed 12 ms steps once it has been drawn.
// An effect script may add further effects with CreateFx; an effect whose script says
// Done takes itself out of its parent at its next draw. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/particles/lua_particle_system.h"
#include "graphics/sprites/sprite.h"
#include "platform/anim_task.h"

class TFxSpriteAnimTask;

class TFxSprite : public TSprite {
 public:
  TARVELON_CLASS_ID()

  explicit TFxSprite(int32_t layer);
  ~TFxSprite() override;

  // A new effect sprite on the layer running the effect of spec (a ".lua" file name or
  // Lua source; empty: none yet). A spec that does not load leaves a sprite without a
  // running effect.
  static std::shared_ptr<TFxSprite> Create(const TString& spec, int32_t layer);

  const char* GetClassName() const override { return "TFxSprite"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TSprite::IsKindOf(id); }
  void Draw(const TSpriteDrawParams& parent, int depth) override;

  // Loads the effect, after a fresh start of the system with reinitialise; the sprite joins
  // the task (the process-wide one when none is given). False when it does not load.
  bool Load(const TString& spec, TFxSpriteAnimTask* task = nullptr, bool reinitialise = false);

  // The script's CreateFx(table): fields x, y, layer and spec (relative to this effect's
  // folder). Answers the new sprite as a script object.
  int CreateFx(lua_State* L);

  TLuaParticleSystem& GetSystem() { return mSystem; }
  bool IsRunning() const { return mRunning != 0; }
  const TString& GetSpec() const { return mSpec; }
  const TString& GetDirectory() const { return mDirectory; }
  const TVec3& GetOrigin() const { return mOrigin; }
  void SetOrigin(const TVec3& origin) { mOrigin = origin; }
  const TEmitterLocus& GetLocus() const { return *mLocus; }
  const TEmitterUp& GetUp() const { return *mUp; }

  // The sprite behind a script object that CreateFx answered, or null once it is gone.
  static std::shared_ptr<TFxSprite> FromScript(lua_State* L, int index);

 private:
  void SetScriptParent();
  void PushScriptObject(lua_State* L);

  TVec3 mOrigin;
  std::shared_ptr<TEmitterLocus> mLocus = std::make_shared<TEmitterLocus>();
  std::shared_ptr<TEmitterUp> mUp = std::make_shared<TEmitterUp>();
  TLuaParticleSystem mSystem;
  TString mSpec;
  TString mDirectory;
  uint8_t mRunning = 0;
  uint32_t mScriptId;
};

// Advances the effect sprites it holds (weakly) by whole 12 ms steps, at most 4 per run,
// every frame; a sprite whose effect is done or that is gone leaves the set.
class TFxSpriteAnimTask : public TAnimTask {
 public:
  static constexpr uint32_t StepMilliseconds = 12;
  static constexpr uint32_t MaxSteps = 4;

  TFxSpriteAnimTask();
  ~TFxSpriteAnimTask() override;

  // The one task of the sprite task list, made and added on first use; null while there
  // is no sprite task list.
  static TFxSpriteAnimTask* GetInstance();

  bool Animate() override;
  void Add(const std::shared_ptr<TFxSprite>& sprite);
  size_t GetCount() const { return mSprites.size(); }

 private:
  std::vector<std::weak_ptr<TFxSprite>> mSprites;
  uint32_t mLastRun;
};
