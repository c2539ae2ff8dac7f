#include "graphics/particles/fx_sprite.h"

#include <algorithm>
#include <map>

#include "graphics/sprites/anim_sprite.h"
#include "platform/task_list.h"
#include "platform/timer.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"

namespace {

// Effect sprites as scripts see them: a userdata holding an id, looked up here, so that a
// script keeping one after the sprite is gone finds nothing rather than freed memory.
std::map<uint32_t, std::weak_ptr<TFxSprite>>& ScriptObjects() {
  static std::map<uint32_t, std::weak_ptr<TFxSprite>> objects;
  return objects;
}
uint32_t gNextScriptId = 0;

const char ScriptObjectKey[] = "TFxSprite";

// The metatable that marks the script objects, kept in the registry.
void PushScriptObjectTable(lua_State* L) {
  lua_pushstring(L, ScriptObjectKey);
  lua_rawget(L, LUA_REGISTRYINDEX);
  if (lua_istable(L, -1)) return;
  lua_pop(L, 1);
  lua_newtable(L);
  lua_pushstring(L, ScriptObjectKey);
  lua_pushvalue(L, -2);
  lua_rawset(L, LUA_REGISTRYINDEX);
}

TFxSpriteAnimTask* gAnimTask = nullptr;

double FieldNumber(lua_State* L, int table, const char* key) {
  if (!lua_istable(L, table)) return 0;
  lua_pushstring(L, key);
  lua_gettable(L, table);
  double value = lua_type(L, -1) == LUA_TNUMBER ? lua_tonumber(L, -1) : 0;
  lua_pop(L, 1);
  return value;
}

TString FieldString(lua_State* L, int table, const char* key) {
  if (!lua_istable(L, table)) return TString();
  lua_pushstring(L, key);
  lua_gettable(L, table);
  TString value = lua_type(L, -1) == LUA_TSTRING ? GetLuaString(L, -1) : TString();
  lua_pop(L, 1);
  return value;
}

// A file spec's folder: up to, not including, its last "/"; empty without one (then a
// child's spec is taken as it is). Lua source has no folder.
TString SpecDirectory(const TString& spec) {
  if (spec.Find(".lua") < 0) return TString();
  int slash = spec.Find('/', FindBackward);
  return slash >= 0 ? spec.Substr(0, uint32_t(slash)) : TString();
}

}  // namespace

TFxSprite::TFxSprite(int32_t layer) : TSprite(layer), mScriptId(++gNextScriptId) {}

TFxSprite::~TFxSprite() {
  ScriptObjects().erase(mScriptId);
  if (lua_State* L = mSystem.GetState()) UnbindLuaObject(L, this);
}

std::shared_ptr<TFxSprite> TFxSprite::Create(const TString& spec, int32_t layer) {
  auto sprite = std::make_shared<TFxSprite>(layer);
  ScriptObjects()[sprite->mScriptId] = sprite;
  sprite->mDirectory = SpecDirectory(spec);
  sprite->SetScriptParent();
  if (!spec.IsEmpty()) sprite->Load(spec);
  return sprite;
}

void TFxSprite::SetScriptParent() {
  lua_State* L = mSystem.GetState();
  if (!L) return;
  BindLuaMember(L, "CreateFx", this, &TFxSprite::CreateFx);
  LuaStackGuard guard(L);
  lua_pushliteral(L, "gParent");
  PushScriptObject(L);
  lua_rawset(L, LUA_GLOBALSINDEX);
}

void TFxSprite::PushScriptObject(lua_State* L) {
  *static_cast<uint32_t*>(lua_newuserdata(L, sizeof(uint32_t))) = mScriptId;
  PushScriptObjectTable(L);
  lua_setmetatable(L, -2);
}

std::shared_ptr<TFxSprite> TFxSprite::FromScript(lua_State* L, int index) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return nullptr;
  PushScriptObjectTable(L);
  bool ours = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  if (!ours) return nullptr;
  auto found = ScriptObjects().find(*static_cast<uint32_t*>(lua_touserdata(L, index)));
  return found == ScriptObjects().end() ? nullptr : found->second.lock();
}

bool TFxSprite::Load(const TString& spec, TFxSpriteAnimTask* task, bool reinitialise) {
  if (reinitialise) {
    mRunning = 0;
    mSystem.Init();
    SetScriptParent();
  }
  if (spec.IsEmpty()) return true;
  mSystem.AddExternalFunction("dLocus", mLocus);
  mSystem.AddExternalFunction("dUp", mUp);
  if (!mSystem.Load(spec)) return false;
  mSpec = spec;
  mDirectory = SpecDirectory(spec);
  std::shared_ptr<TSprite> self = weak_from_this().lock();
  if (!task) task = TFxSpriteAnimTask::GetInstance();
  if (self && task) task->Add(std::static_pointer_cast<TFxSprite>(self));
  return true;
}

int TFxSprite::CreateFx(lua_State* L) {
  float x = float(FieldNumber(L, 1, "x")), y = float(FieldNumber(L, 1, "y"));
  int32_t layer = LuaNumberToInt(FieldNumber(L, 1, "layer"));
  TString spec = FieldString(L, 1, "spec");
  if (!spec.IsEmpty() && !mDirectory.IsEmpty()) spec = mDirectory + "/" + spec;
  std::shared_ptr<TFxSprite> child = Create(spec, layer);
  child->GetDrawParams().matrix.m[2] = TVec3(x, y, 1);
  if (child->mSystem.GetState() == L) {
    // One shared script state ("lpsonescript"): the child took over the globals while this
    // effect's script still runs.
    mSystem.Rebind();
    SetScriptParent();
  }
  lua_pushliteral(L, "gParent");
  lua_rawget(L, LUA_GLOBALSINDEX);
  std::shared_ptr<TFxSprite> parent = FromScript(L, -1);
  lua_pop(L, 1);
  // Without a live gParent the child stays with this effect, so that someone holds it.
  if (parent)
    parent->AddChild(child);
  else
    AddChild(child);
  child->PushScriptObject(L);
  return 1;
}

void TFxSprite::Draw(const TSpriteDrawParams& parent, int depth) {
  if (!IsVisible()) return;
  // Removing itself from the parent below may drop the last other reference.
  std::shared_ptr<TSprite> self = shared_from_this();
  TSpriteDrawParams p = ComposeDrawParams(GetDrawParams(), parent);
  mLocus->Set(TVec2(p.matrix.m[2].x, p.matrix.m[2].y));
  mUp->Set(TVec2(p.matrix.m[1].x, -p.matrix.m[1].y));
  mRunning = 1;
  if (mSystem.IsDone()) {
    if (GetParent()) GetParent()->RemoveChild(self);
    return;
  }
  const TChildList& children = GetChildren();
  auto it = children.begin();
  auto drawNext = [&]() {
    std::shared_ptr<TSprite> child = *it++;
    child->Draw(p, depth - 1);
  };
  if (depth != 0)
    while (it != children.end() && (*it)->GetLayer() < 0) drawNext();
  mSystem.Draw(mOrigin);
  if (depth != 0)
    while (it != children.end()) drawNext();
}

// --- The task -------------------------------------------------------------------------------

TFxSpriteAnimTask::TFxSpriteAnimTask() : mLastRun(GetTime()) {}

TFxSpriteAnimTask::~TFxSpriteAnimTask() {
  if (gAnimTask == this) gAnimTask = nullptr;
}

TFxSpriteAnimTask* TFxSpriteAnimTask::GetInstance() {
  TTaskList* list = GetSpriteTaskList();
  if (!list) return nullptr;
  if (!gAnimTask || !list->Contains(gAnimTask))
    gAnimTask = static_cast<TFxSpriteAnimTask*>(list->AddTask(std::make_unique<TFxSpriteAnimTask>()));
  return gAnimTask;
}

void TFxSpriteAnimTask::Add(const std::shared_ptr<TFxSprite>& sprite) {
  for (const auto& held : mSprites)
    if (held.lock() == sprite) return;
  mSprites.push_back(sprite);
}

bool TFxSpriteAnimTask::Animate() {
  uint32_t now = GetTime();
  int32_t elapsed = std::max(TimeDiff(now, mLastRun), 0);
  // Frames shorter than a step add up until they make one, so that effects still move
  // above 83 frames a second. From a step on, a frame takes its whole steps (at most four
  // after a stall) and drops the rest: one step for a frame of 12 to 23 ms, the pace the
  // effects are made for.
  if (uint32_t(elapsed) < StepMilliseconds) return true;
  uint32_t steps = std::min(uint32_t(elapsed) / StepMilliseconds, MaxSteps);
  mLastRun = now;
  // Updates may add effects (CreateFx): the walk goes over a copy.
  std::vector<std::weak_ptr<TFxSprite>> sprites = mSprites;
  for (const auto& held : sprites) {
    std::shared_ptr<TFxSprite> sprite = held.lock();
    if (!sprite || !sprite->IsRunning()) continue;
    for (uint32_t i = 0; i < steps && !sprite->GetSystem().IsDone(); ++i) sprite->GetSystem().Update(StepMilliseconds);
  }
  mSprites.erase(std::remove_if(mSprites.begin(), mSprites.end(),
                                [](const std::weak_ptr<TFxSprite>& held) {
                                  std::shared_ptr<TFxSprite> sprite = held.lock();
                                  return !sprite || sprite->GetSystem().IsDone();
                                }),
                 mSprites.end());
  return true;
}
