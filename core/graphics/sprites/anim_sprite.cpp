#include "graphics/sprites/anim_sprite.h"

#include "graphics/sprites/anim_texture.h"
#include "graphics/sprites/lua/anim_library.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/task_list.h"
#include "script/lua/lauxlib.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"
#include "script/script.h"
#include "script/script_code.h"
// Whether a coroutine can yield here is not part of the interpreter's public interface:
// read from its thread record, as lua_yield itself decides.
#include "script/lua/lua_object.h"

namespace {

TSpritePlatform gPlatform;

// Script tasks stopped while some script runs (inside a bound call) cannot be deleted at
// once: the running one may be among them. They wait here for the next safe moment.
std::vector<std::unique_ptr<TTask>>& RetiredBin() {
  static std::vector<std::unique_ptr<TTask>> bin;
  return bin;
}

void FlushRetiredBin() {
  if (!IsInsideBoundCall()) RetiredBin().clear();
}

bool CanYield(lua_State* L) {
  if (L == L->g->mainthread || L->ci == L->baseCi || L->nCcalls > 0) return false;
  return !((L->ci->flags & tlua::kCIC) && (L->ci - 1)->flags & tlua::kCIC);
}

uint32_t NextRandom() {
  if (gPlatform.random) return gPlatform.random();
  static TRandom random;
  return random.GenRand();
}

}  // namespace

void SetSpritePlatform(const TSpritePlatform& platform) { gPlatform = platform; }

TTaskList* GetSpriteTaskList() { return gPlatform.frameTasks; }

TAnimatedSprite::TAnimatedSprite(int32_t layer) : TSprite(layer) {}

TAnimatedSprite::~TAnimatedSprite() {
  // A script stopped during the current run may still be running and call the sprite's
  // functions after this: they must find it gone, wherever its state is kept.
  std::vector<TTask*> states = {Live(mScript), mRetiredScript.get()};
  for (const auto& retired : RetiredBin()) states.push_back(retired.get());
  for (TTask* task : states) {
    lua_State* L = task ? static_cast<TScript*>(task)->GetState() : nullptr;
    if (L) UnbindLuaObject(L, this);
  }
  // Twice: the second round takes the retired tasks too.
  StopTasks();
  StopTasks();
  FlushRetiredBin();
}

std::shared_ptr<TAnimatedSprite> TAnimatedSprite::Create(int32_t layer) {
  FlushRetiredBin();
  return std::make_shared<TAnimatedSprite>(layer);
}

TScript* TAnimatedSprite::Live(TScript* task) {
  TTaskList* list = GetSpriteTaskList();
  return task && list && list->Contains(task) ? task : nullptr;
}

TScript* TAnimatedSprite::GetMainScript() const { return Live(mScript); }

void TAnimatedSprite::Retire(std::unique_ptr<TTask>& retired, TScript*& task) {
  if (retired) {
    if (IsInsideBoundCall())
      RetiredBin().push_back(std::move(retired));
    else
      retired.reset();
  }
  if (!task) return;
  TTaskList* list = GetSpriteTaskList();
  std::unique_ptr<TTask> removed = list ? list->RemoveTask(task) : nullptr;
  task = nullptr;
  if (!removed) return;
  static_cast<TScript*>(removed.get())->Stop();
  retired = std::move(removed);
}

void TAnimatedSprite::StopTasks() {
  Retire(mRetiredThread, mThread);
  Retire(mRetiredScript, mScript);
}

void TAnimatedSprite::SetClock(TClock* clock) {
  mClock = clock;
  for (TScript* task : {Live(mScript), Live(mThread)})
    if (task) task->SetClock(clock);
}

void TAnimatedSprite::SetTexture(const std::shared_ptr<TTexture>& texture) {
  TSprite::SetTexture(texture);
  mTexture = TAnimatedTexture::CastFromAsset(texture);
}

void TAnimatedSprite::Draw(const TSpriteDrawParams& parent, int depth) {
  // The texture is shared by every sprite of the animation: each shows its own frame.
  if (mTexture) mTexture->SetCurrentFrame(mFrame);
  TSprite::Draw(parent, depth);
}

bool TAnimatedSprite::HitTest(const TPoint& point, int threshold, const TSpriteDrawParams& parent, int depth) {
  if (mTexture) mTexture->SetCurrentFrame(mFrame);
  return TSprite::HitTest(point, threshold, parent, depth);
}

void TAnimatedSprite::GetRect(TRect& rect, const TSpriteDrawParams& parent, int depth) {
  TSpriteDrawParams& own = GetDrawParams();
  bool anchored = false;
  if (mTexture) {
    mTexture->SetCurrentFrame(mFrame);
    if (!(own.flags & SpriteAnchored)) {
      anchored = true;
      own.flags |= SpriteAnchored;
      own.anchor = mTexture->GetFrameRegistration(mTexture->GetCurrentFrame());
      if (own.flags & SpriteMirrorX) own.anchor.x = float(mTexture->GetWidth()) - own.anchor.x;
      if (own.flags & SpriteMirrorY) own.anchor.y = float(mTexture->GetHeight()) - own.anchor.y;
    }
  }
  TSprite::GetRect(rect, parent, depth);
  if (anchored) own.flags &= ~SpriteAnchored;  // the anchor keeps the registration point
}

void TAnimatedSprite::RegisterFunctions() {
  lua_State* L = mScript->GetState();
  BindLuaMember(L, "SetCurrentFrame", this, &TAnimatedSprite::SetCurrentFrame);
  BindLuaMember(L, "WaitLuaNextFrame", this, &TAnimatedSprite::WaitLuaNextFrame);
  BindLuaMember(L, "Die", this, &TAnimatedSprite::Die);
  BindLuaMember(L, "Pause", this, &TAnimatedSprite::Pause);
  BindLuaMember(L, "IsPlaying", this, &TAnimatedSprite::IsPlaying);
  BindLuaMember(L, "Load", this, &TAnimatedSprite::Load);
  BindLuaMember(L, "GetScript", this, &TAnimatedSprite::GetScript);
  BindLuaMember(L, "SetAlpha", this, &TAnimatedSprite::SetAlpha);
  BindLuaMember(L, "SetLayer", this, &TSprite::SetLayer);
  BindLuaMember(L, "RemoveSprite", this, &TAnimatedSprite::RemoveSprite);
  BindLuaMember(L, "Random", this, &TAnimatedSprite::Random);
}

void TAnimatedSprite::StartScript() {
  StopTasks();
  TTaskList* list = GetSpriteTaskList();
  if (!list) return;
  auto script = std::make_unique<TScript>();
  lua_State* L = script->GetState();
  if (!L) return;
  script->SetClock(mClock);
  mScript = static_cast<TScript*>(list->AddTask(std::move(script)));
  {
    LuaStackGuard guard(L);
    auto chunk = reinterpret_cast<const char*>(GetAnimationLibraryChunk());
    if (luaL_loadbuffer(L, chunk, GetAnimationLibraryChunkSize(), "ganimationscript") != 0 || lua_pcall(L, 0, 0, 0) != 0)
      LogPrintf("TAnimatedSprite: ganimationscript: %s", GetLuaString(L, -1).c_str());
  }
  RegisterFunctions();
  // The animation's own folder and the scripts folder come first; the process-wide path
  // stays as it is for every other script, and behind these for this one.
  TString folder = mTexture->GetFolder();
  mScript->SetSearchPath("?;?.lua;scripts/?;scripts/?.lua;" + folder + "?;" + folder + "?.lua;" +
                         GetScriptSearchPath());
  mScript->DoLuaString(mTexture->GetScript());
}

void TAnimatedSprite::Play(const TString& functionName) {
  // The function may take the sprite out of its parent: it stays for the whole call.
  std::shared_ptr<TSprite> keep = weak_from_this().lock();
  FlushRetiredBin();
  if (!Live(mScript)) {
    if (!mTexture) return;
    StartScript();
    if (!mScript) return;
  }
  TTaskList* list = GetSpriteTaskList();
  Retire(mRetiredThread, mThread);
  std::unique_ptr<TScript> thread = mScript->CreateThreadScript();
  if (!thread) return;
  thread->SetClock(mClock);
  lua_State* T = thread->GetState();
  mThread = static_cast<TScript*>(list->AddTask(std::move(thread)));
  if (functionName.IsEmpty()) return;
  lua_pushlstring(T, functionName.c_str(), functionName.Length());
  lua_rawget(T, LUA_GLOBALSINDEX);
  if (lua_resume(T, 0) != 0) LogPrintf("TAnimatedSprite::Play: lua_resume error: %s", GetLuaString(T, -1).c_str());
  // Ended (or failed) at once: nothing stays on the coroutine's stack.
  if (!mThread || !mThread->IsYielded()) lua_settop(T, 0);
}

void TAnimatedSprite::SetCurrentFrame(int32_t frame) {
  if (frame < -1) return;
  mFrame = frame;
  if (mTexture && frame < mTexture->GetFrameCount()) mTexture->SetCurrentFrame(frame);
}

int TAnimatedSprite::WaitLuaNextFrame(lua_State* L) {
  if (TScript* thread = Live(mThread)) {
    if (lua_gettop(L) == 1)
      thread->Schedule(uint32_t(LuaNumberToInt(lua_tonumber(L, 1))), true, true, false);
    else
      thread->Stop();
  }
  return CanYield(L) ? lua_yield(L, 0) : 0;
}

void TAnimatedSprite::Die() { StopTasks(); }

void TAnimatedSprite::Pause(bool pause, int32_t depth) {
  TScript* thread = Live(mThread);
  if (!thread) return;
  if (Live(mScript)) {
    if (pause)
      thread->Stop();
    else if (thread->IsYielded())  // a finished coroutine has nothing to resume
      thread->Schedule(1, true, true, false);
  }
  if (depth == 0) return;
  for (const auto& child : GetChildren())
    if (child->IsKindOf(ClassId())) static_cast<TAnimatedSprite&>(*child).Pause(pause, depth - 1);
}

bool TAnimatedSprite::IsPlaying(int32_t depth) {
  if (TScript* thread = Live(mThread))
    if (thread->IsYielded()) return true;
  if (depth == 0) return false;
  for (const auto& child : GetChildren())
    if (child->IsKindOf(ClassId()) && static_cast<TAnimatedSprite&>(*child).IsPlaying(depth - 1)) return true;
  return false;
}

bool TAnimatedSprite::Load(TString file, TString image, TString mask) {
  mTexture = TAnimatedTexture::Get(file, image, mask);
  return mTexture != nullptr;
}

TString TAnimatedSprite::GetScript() { return mTexture ? mTexture->GetScript() : TString(); }

void TAnimatedSprite::SetAlpha(float alpha) { GetDrawParams().alpha = alpha; }

void TAnimatedSprite::RemoveSprite() {
  // Held for the call: the parent may hold the last reference.
  std::shared_ptr<TSprite> self = shared_from_this();
  if (TSprite* parent = GetParent()) parent->RemoveChild(self);
}

uint32_t TAnimatedSprite::Random(int32_t min, int32_t max) {
  uint32_t range = uint32_t(max) - uint32_t(min);
  // Equal bounds used to divide by zero: the one value there is.
  if (range == 0) return uint32_t(min);
  return uint32_t(min) + NextRandom() % range;
}
