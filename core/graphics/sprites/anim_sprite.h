#pragma once
// TAnimatedSprite: a sprite whose look is the current frame of an animated texture and
// whose frames, delays and fades are driven by a Lua coroutine. Each animated sprite owns
// a script with a Lua state of its own: the animation library ("ganimationscript") runs in
// it, the sprite's functions are bound in it, then the texture's script defines the
// animations. Play starts one of them on a fresh coroutine, which waits between frames in
// "WaitLuaNextFrame" and is resumed by its timed task in the sprite task list.
// Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/sprites/sprite.h"
#include "platform/engine_string.h"
#include "script/lua/lua.h"

class TAnimatedTexture;
class TClock;
class TScript;
class TTask;
class TTaskList;

// What sprites take from the platform: the frame task list that runs their tasks (script
// coroutines, effects) and the platform's random numbers. The engine installs both at
// start-up, tests their own; the list must outlive every task added to it. Without a task
// list no sprite script starts; without a random source the sprites use a generator of
// their own.
struct TSpritePlatform {
  TTaskList* frameTasks = nullptr;
  uint32_t (*random)() = nullptr;
};
void SetSpritePlatform(const TSpritePlatform& platform);
TTaskList* GetSpriteTaskList();

class TAnimatedSprite : public TSprite {
 public:
  TARVELON_CLASS_ID()

  explicit TAnimatedSprite(int32_t layer);
  // Stops the script and the coroutine; their closures become harmless.
  ~TAnimatedSprite() override;

  static std::shared_ptr<TAnimatedSprite> Create(int32_t layer);

  const char* GetClassName() const override { return "TAnimatedSprite"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TSprite::IsKindOf(id); }
  void Draw(const TSpriteDrawParams& parent, int depth) override;
  // Without an anchor of its own the box is placed by the frame's registration point, as
  // the frame is drawn.
  void GetRect(TRect& rect, const TSpriteDrawParams& parent, int depth) override;
  bool HitTest(const TPoint& point, int threshold, const TSpriteDrawParams& parent, int depth) override;
  // An animated texture also becomes the animation texture; any other texture clears it.
  void SetTexture(const std::shared_ptr<TTexture>& texture) override;

  // Starts the script on first use (when there is an animation texture), then runs the
  // named global function of the script on a new coroutine; an empty name only makes the
  // coroutine. Nothing without an animation texture.
  void Play(const TString& functionName);
  // The clock of the script tasks (a non-owning link that must outlive them; null: the
  // engine timer).
  void SetClock(TClock* clock);

  // The members behind the script functions of the same names.
  void SetCurrentFrame(int32_t frame);
  // Raw Lua function: with one number, the coroutine resumes after that many
  // milliseconds, otherwise it waits until resumed by other means; then it yields (or
  // returns nothing where a yield is impossible).
  int WaitLuaNextFrame(lua_State* L);
  void Die();
  void Pause(bool pause, int32_t depth);
  bool IsPlaying(int32_t depth);
  bool Load(TString file, TString image, TString mask);
  TString GetScript();
  void SetAlpha(float alpha);
  void RemoveSprite();
  // min + a random number modulo (max - min), in unsigned 32-bit arithmetic; min itself
  // when the bounds are equal.
  uint32_t Random(int32_t min, int32_t max);

  int32_t GetFrame() const { return mFrame; }
  const std::shared_ptr<TAnimatedTexture>& GetAnimatedTexture() const { return mTexture; }
  // The main script while it runs (null before the first Play and after "Die").
  TScript* GetMainScript() const;

 private:
  void StartScript();
  void StopTasks();
  void RegisterFunctions();
  // The task if the sprite task list still holds it, else null.
  static TScript* Live(TScript* task);
  // Hands a finished script task over: deleted at once, or kept until no script runs.
  static void Retire(std::unique_ptr<TTask>& retired, TScript*& task);

  int32_t mFrame = 0;
  std::shared_ptr<TAnimatedTexture> mTexture;
  TClock* mClock = nullptr;
  // Owned by the sprite task list while listed; removed and kept as retired when stopped,
  // because a task cannot go while it runs.
  TScript* mScript = nullptr;
  TScript* mThread = nullptr;
  std::unique_ptr<TTask> mRetiredScript, mRetiredThread;
};
