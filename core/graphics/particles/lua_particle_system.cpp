#include "graphics/particles/lua_particle_system.h"

#include <cmath>
#include <cstring>
#include <functional>

#include "graphics/particles/lua/particles_library.h"
#include "graphics/texture.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/settings.h"
#include "script/lua/lauxlib.h"
#include "script/lua/lualib.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"
#include "script/script.h"
#include "script/script_code.h"

namespace {

using TFactory = std::function<std::shared_ptr<TParticleFunction>()>;

template <typename T>
TFactory Make() {
  return [] { return std::make_shared<T>(); };
}

// The operator names that the library's metatables produce.
const std::map<TString, TFactory>& Operators() {
  static const std::map<TString, TFactory> operators = {
      {"assign", Make<FAssign>()}, {"lt", Make<FLt>()},         {"le", Make<FLe>()},
      {"add", Make<FAdd>()},       {"unm", Make<FUnm>()},       {"mul", Make<FMul>()},
      {"div", Make<FDiv>()},       {"sub", Make<FSub>()},       {"index", Make<FIndex>()},
      {"vindex", Make<FVIndex>()}, {"newindex", Make<FNewIndex>()}};
  return operators;
}

// The functions that scripts call by name; each gets a Lua wrapper that builds its value.
const std::vector<std::pair<const char*, TFactory>>& ScriptFunctions() {
  static const std::vector<std::pair<const char*, TFactory>> functions = {
      {"fTimeScale", Make<FTimeScale>()},
      {"fAge", Make<FAge>()},
      {"fPick", Make<FPick>()},
      {"fFade", Make<FFade>()},
      {"fOpenCycle", Make<FOpenCycle>()},
      {"fClosedCycle", Make<FClosedCycle>()},
      {"fAlpha", Make<FAlpha>()},
      {"fDebug", Make<FDebug>()},
      {"fDistance", Make<FDistance>()},
      {"f2dRadius", Make<F2dRadius>()},
      {"f2dRotation", Make<F2dRotation>()},
      {"fVec", Make<FVec>()},
      {"fRange", Make<FRange>()},
      {"fExpire", Make<FExpire>()},
      {"fLess", Make<FLt>()},
      {"fLessEqual", Make<FLe>()}};
  return functions;
}

const TFactory* FindFactory(const TString& name) {
  auto op = Operators().find(name);
  if (op != Operators().end()) return &op->second;
  for (const auto& entry : ScriptFunctions())
    if (name == entry.first) return &entry.second;
  return nullptr;
}

// The Lua state shared by all systems with "lpsonescript".
struct TSharedState {
  std::unique_ptr<TScript> script;
  uint32_t users = 0;
  uint32_t nextId = 0;
};
TSharedState gShared;

// How deep expressions may nest: deeper trees (or a table that holds itself) are refused.
constexpr int MaxCompileDepth = 64;
constexpr int32_t MaxMembers = int32_t(ParticleStackEntries);

}  // namespace

TLuaParticleSystem::TLuaParticleSystem(TParticleRenderer* renderer)
    : mRenderer(renderer), mScratch(std::make_unique<TParticleScratch>()) {
  if (!mRenderer) {
    mOwnedRenderer = std::make_unique<T2dParticleRenderer>();
    mRenderer = mOwnedRenderer.get();
  }
  TParticleRandom::Acquire();
  if (IsEnabled("lpsonescript")) mId = gShared.nextId++;
  mWidthPool.reserve(WidthPoolSize);
  Init();
}

TLuaParticleSystem::~TLuaParticleSystem() {
  ReleaseState();
  TParticleRandom::Release();
}

lua_State* TLuaParticleSystem::GetState() const {
  if (mUsesShared) return gShared.script ? gShared.script->GetState() : nullptr;
  return mScript ? mScript->GetState() : nullptr;
}

void TLuaParticleSystem::ReleaseState() {
  lua_State* L = GetState();
  if (L) UnbindLuaObject(L, this);
  if (mUsesShared) {
    mUsesShared = false;
    if (--gShared.users > 0) {
      if (gShared.script) gShared.script->DoLuaString(TString::Printf("Update%u=nil", mId));
    } else {
      gShared.script.reset();
    }
  }
  mScript.reset();
}

void TLuaParticleSystem::Init() {
  mInitStream.clear(), mAnimStream.clear(), mPending.clear();
  mInitProgram.Reset(), mAnimProgram.Reset(), mAnimBlocks.Reset();
  mStreamsChanged = true;
  mNextOffset = 0;
  mMemberWidths.clear();
  mContext = TParticleContext();
  mCollection.Clear();
  mBuffer.reset();
  mExternals.clear(), mExternalLinks.clear(), mExternalNames.clear();
  mWidthPool.clear();
  mAccumulator = 0.0f;
  mCode.reset();

  bool fresh = true;
  bool shared = IsEnabled("lpsonescript");
  if (shared && gShared.script) {
    if (!mUsesShared) {
      mScript.reset();
      ++gShared.users;
      mUsesShared = true;
    }
    fresh = false;
  } else {
    if (mUsesShared) ReleaseState();
    mScript = std::make_unique<TScript>();
    lua_State* L = mScript->GetState();
    if (L) {
      luaopen_math(L);
      lua_settop(L, 0);
      lua_pushliteral(L, "ParticleMemberMT");
      lua_newtable(L);
      lua_rawset(L, LUA_GLOBALSINDEX);
    }
    if (shared) {
      gShared.script = std::move(mScript);
      gShared.users = 1;
      mUsesShared = true;
    }
  }
  lua_State* L = GetState();
  if (!L) return;
  BindFunctions(L);
  if (fresh) RunChunk(reinterpret_cast<const char*>(GetParticlesLibraryChunk()), GetParticlesLibraryChunkSize(),
                      "particles.lua");
  mDone = 0;
  TString members = mRenderer->GetMemberDeclaration();
  RunChunk(members.c_str(), members.Length(), "TLuaParticleSystem ParticleRenderer init string");
}

void TLuaParticleSystem::BindFunctions(lua_State* L) {
  BindLuaMember(L, "RandomRange", this, &TLuaParticleSystem::RandomRange);
  BindLuaMember(L, "RandomFloat", this, &TLuaParticleSystem::RandomFloat);
  for (const auto& entry : ScriptFunctions()) {
    TString wrapper = TString::Printf("function %s(...) return CreateValue('%s',arg); end", entry.first, entry.first);
    RunChunk(wrapper.c_str(), wrapper.Length(), entry.first);
  }
  BindMembers(L);
}

void TLuaParticleSystem::BindMembers(lua_State* L) {
  BindLuaMember(L, "SetRendererOption1", this, &TLuaParticleSystem::SetRendererOption1);
  BindLuaMember(L, "SetRendererOption2", this, &TLuaParticleSystem::SetRendererOption2);
  BindLuaMember(L, "SetRendererOption3", this, &TLuaParticleSystem::SetRendererOption3);
  BindLuaMember(L, "SetRendererOption4", this, &TLuaParticleSystem::SetRendererOption4);
  BindLuaMember(L, "SetNumParticles", this, &TLuaParticleSystem::SetNumParticles);
  BindLuaMember(L, "_SetTexture", this, &TLuaParticleSystem::SetTexture);
  BindLuaMember(L, "CreateParticles", this, &TLuaParticleSystem::CreateParticles);
  BindLuaMember(L, "Allocate", this, &TLuaParticleSystem::Allocate);
  BindLuaMember(L, "CompileParam", this, &TLuaParticleSystem::CompileParam);
  BindLuaMember(L, "GetParticleMemberParts", this, &TLuaParticleSystem::GetParticleMemberParts);
  BindLuaMember(L, "GetParticleCount", this, &TLuaParticleSystem::GetParticleCount);
  BindLuaMember(L, "AccumulateInitStream", this, &TLuaParticleSystem::AccumulateInitStream);
  BindLuaMember(L, "AccumulateAnimStream", this, &TLuaParticleSystem::AccumulateAnimStream);
  BindLuaMember(L, "Done", this, &TLuaParticleSystem::Done);
}

void TLuaParticleSystem::Rebind() {
  if (lua_State* L = GetState()) BindMembers(L);
}

bool TLuaParticleSystem::RunChunk(const char* text, size_t length, const char* name) {
  lua_State* L = GetState();
  if (!L) return false;
  LuaStackGuard guard(L);
  bool ok = luaL_loadbuffer(L, text, length, name) == 0 && lua_pcall(L, 0, 0, 0) == 0;
  if (!ok) LogPrintf("TLuaParticleSystem: %s: %s", name, GetLuaString(L, -1).c_str());
  return ok;
}

bool TLuaParticleSystem::Load(const TString& spec) {
  lua_State* L = GetState();
  if (!L) return false;
  // A shared state holds the functions of the system made last: the effect must reach
  // this one's.
  if (mUsesShared) BindMembers(L);
  bool ran;
  if (spec.Find(".lua") >= 0) {
    int slash = spec.Find('/', FindBackward);
    mScriptDirectory = slash >= 0 ? spec.Substr(0, uint32_t(slash) + 1) : TString();
    TString error;
    mCode = TScriptCode::Get(spec, mScriptDirectory + "?;assets/?;assets/fx/?", &error);
    if (!mCode) {
      LogPrintf("TLuaParticleSystem::Load: cannot load effect %s: %s", spec.c_str(),
                error.IsEmpty() ? "file not found" : error.c_str());
      return false;
    }
    ran = RunChunk(mCode->GetCode().c_str(), mCode->GetLength(), spec.c_str());
  } else {
    ran = RunChunk(spec.c_str(), spec.Length(), "effect");
  }
  if (!ran) {
    LogPrintf("TLuaParticleSystem::Load: effect %s failed to run", spec.Find(".lua") >= 0 ? spec.c_str() : "(text)");
    return false;
  }
  if (mUsesShared) {
    TString keep = TString::Printf("Update%u=Update", mId);
    RunChunk(keep.c_str(), keep.Length(), "effect");
  }
  mDone = 0;
  return true;
}

void TLuaParticleSystem::Update(uint32_t milliseconds) {
  lua_State* L = GetState();
  if (L && !mDone) {
    if (mUsesShared) {
      // The shared state holds the last system's bindings of these two.
      BindLuaMember(L, "CreateParticles", this, &TLuaParticleSystem::CreateParticles);
      BindLuaMember(L, "Done", this, &TLuaParticleSystem::Done);
    }
    LuaStackGuard guard(L);
    TString name = mUsesShared ? TString::Printf("Update%u", mId) : TString("Update");
    lua_pushlstring(L, name.c_str(), name.Length());
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushnumber(L, double(milliseconds) / 1000.0);
    if (lua_pcall(L, 1, 0, 0) != 0) {
      // A failing Update would fail every frame: the effect ends instead.
      LogPrintf("TLuaParticleSystem::Update: %s", GetLuaString(L, -1).c_str());
      mDone = 1;
    }
  }
  if (mCollection.GetLiveCount() == 0) return;
  PrepareStreams();
  if (mAnimBlocks.IsValid() && mBlocks && !mPlain) {
    RunAnimBlocks(milliseconds);
    return;
  }
  mScratch->Clear(false);
  for (int32_t i = mCollection.FirstLive(); i != TParticleCollection::None;) {
    RunStream(mAnimStream, mAnimProgram, i, milliseconds);
    i = mContext.alive ? mCollection.NextLive(i) : mCollection.Expire(i);
  }
}

void TLuaParticleSystem::Draw(const TVec3& origin) {
  if (mCollection.GetLiveCount() > 0) mRenderer->Render(origin, mAlpha, mCollection);
}

bool TLuaParticleSystem::HasFastStreams() {
  PrepareStreams();
  return mInitProgram.IsValid() && mAnimProgram.IsValid();
}

bool TLuaParticleSystem::HasBlockStream() {
  PrepareStreams();
  return mAnimBlocks.IsValid();
}

// The live list taken a block at a time; the particles that expired go back to the free
// list in list order, as they do when the stream runs particle by particle.
void TLuaParticleSystem::RunAnimBlocks(uint32_t time) {
  TParticleBlockProgram::TBlock block;
  int32_t indices[TParticleBlockProgram::Lanes];
  for (int32_t i = mCollection.FirstLive(); i != TParticleCollection::None;) {
    uint32_t n = 0;
    for (; i != TParticleCollection::None && n < TParticleBlockProgram::Lanes; i = mCollection.NextLive(i)) {
      indices[n] = i;
      block.records[n++] = mCollection.GetRecord(i);
    }
    block.count = n;
    mAnimBlocks.Run(block, time, mContext.recordSize);
    for (uint32_t k = 0; k < n; ++k)
      if (!block.alive[k]) mCollection.Expire(indices[k]);
  }
}

void TLuaParticleSystem::PrepareStreams() {
  uint32_t stride = mCollection.GetFloatsPerRecord();
  uint32_t declared = mContext.start[mContext.count];
  mContext.recordSize = stride ? std::min(declared, stride) : declared;
  if (!mStreamsChanged) return;
  mStreamsChanged = false;
  mInitProgram.Build(mInitStream, mContext.recordSize, mExternalLinks);
  mAnimProgram.Build(mAnimStream, mContext.recordSize, mExternalLinks);
  mAnimBlocks.Build(mAnimProgram);
}

void TLuaParticleSystem::RunStream(const TParticleStream& stream, const TParticleProgram& program, int32_t index,
                                   uint32_t time) {
  mContext.values = mCollection.GetRecord(index);
  mContext.time = time;
  mContext.alive = 1;
  if (program.IsValid() && !mPlain) {
    program.Run(mContext, mScratch->storage);
    return;
  }
  TParticleCall call;
  call.externals = mExternalLinks.data();
  call.externalCount = uint32_t(mExternalLinks.size());
  call.stack = mScratch.get();
  RunParticleStream(stream, mContext, call);
}

int32_t TLuaParticleSystem::AddExternalFunction(const TString& name, const std::shared_ptr<TParticleFunction>& function) {
  lua_State* L = GetState();
  if (!function || mExternals.size() >= size_t(INT16_MAX)) return 0;
  mExternals.push_back(function);
  mExternalLinks.push_back(function.get());
  mExternalNames[name] = mExternals.size() - 1;
  function->SetName(name);
  mStreamsChanged = true;
  int32_t offset = -int32_t(mExternals.size());
  if (L) {
    LuaStackGuard guard(L);
    lua_pushlstring(L, name.c_str(), name.Length());
    PushHandle(L, int16_t(offset), function->GetResultWidth(nullptr, 0));
    lua_rawset(L, LUA_GLOBALSINDEX);
  }
  return offset;
}

// --- Script functions -----------------------------------------------------------------------

int32_t TLuaParticleSystem::RandomRange(int32_t lo, int32_t hi) { return TParticleRandom::Get().RandomRange(lo, hi); }

double TLuaParticleSystem::RandomFloat() { return TParticleRandom::NextUnit(); }

void TLuaParticleSystem::SetRendererOption1(TString name, float x) { mRenderer->SetOption(name, TVec4(x, 0, 0, 0)); }
void TLuaParticleSystem::SetRendererOption2(TString name, float x, float y) {
  mRenderer->SetOption(name, TVec4(x, y, 0, 0));
}
void TLuaParticleSystem::SetRendererOption3(TString name, float x, float y, float z) {
  mRenderer->SetOption(name, TVec4(x, y, z, 0));
}
void TLuaParticleSystem::SetRendererOption4(TString name, float x, float y, float z, float w) {
  mRenderer->SetOption(name, TVec4(x, y, z, w));
}

void TLuaParticleSystem::SetNumParticles(int32_t count) {
  mCollection.Clear();
  mBuffer.reset();
  uint32_t floats = mNextOffset;
  if (count < 1 || floats == 0) return;
  if (uint64_t(count) * floats > MaxParticleFloats) {
    LogPrintf("TLuaParticleSystem::SetNumParticles: %d particles of %u floats are too many", count, floats);
    return;
  }
  mBuffer.reset(new (std::nothrow) float[size_t(count) * floats]());
  if (!mBuffer || !mCollection.Init(uint32_t(count), floats, mBuffer.get())) {
    mBuffer.reset();
    mCollection.Clear();
  }
}

void TLuaParticleSystem::SetTexture(TString name) {
  TString found;
  for (const TString& candidate : {name, mScriptDirectory + name}) {
    if (!mAssets.HasAsset(candidate)) mAssets.AddAsset(candidate, nullptr, true);
    if (mAssets.HasAsset(candidate)) {
      found = candidate;
      break;
    }
  }
  std::shared_ptr<TTexture> texture = found.IsEmpty() ? nullptr : mAssets.GetTexture(found);
  if (!texture) {
    LogPrintf("TLuaParticleSystem: texture %s not found", name.c_str());
    return;
  }
  mRenderer->SetTexture(texture);
}

void TLuaParticleSystem::CreateParticles(double count) {
  if (mCollection.GetCapacity() == 0 || !std::isfinite(count)) return;
  PrepareStreams();
  mScratch->Clear(true);
  const float* defaults = mRenderer->GetDefaultRecord();
  uint32_t copied = std::min(mRenderer->GetDefaultRecordSize(), mCollection.GetFloatsPerRecord());
  mAccumulator += float(count);
  while (mAccumulator > 0.0f) {
    mAccumulator -= 1.0f;
    int32_t index = mCollection.TakeFree();
    if (index == TParticleCollection::None) break;
    float* record = mCollection.GetRecord(index);
    std::memset(record, 0, mCollection.GetStride());
    std::memcpy(record, defaults, copied * sizeof(float));
    RunStream(mInitStream, mInitProgram, index, 0);
  }
}

int32_t TLuaParticleSystem::GetParticleCount() { return int32_t(mCollection.GetLiveCount()); }

void TLuaParticleSystem::AccumulateInitStream() {
  mInitStream.insert(mInitStream.end(), mPending.begin(), mPending.end());
  mPending.clear();
  mStreamsChanged = true;
}

void TLuaParticleSystem::AccumulateAnimStream() {
  mAnimStream.insert(mAnimStream.end(), mPending.begin(), mPending.end());
  mPending.clear();
  mStreamsChanged = true;
}

void TLuaParticleSystem::Done() { mDone = 1; }

// --- Members and compilation ----------------------------------------------------------------

void TLuaParticleSystem::PushHandle(lua_State* L, int16_t offset, uint16_t width) {
  auto* handle = static_cast<THandle*>(lua_newuserdata(L, sizeof(THandle)));
  handle->offset = offset;
  handle->width = width;
  lua_pushliteral(L, "ParticleMemberMT");
  lua_rawget(L, LUA_GLOBALSINDEX);
  if (lua_istable(L, -1))
    lua_setmetatable(L, -2);
  else
    lua_pop(L, 1);
}

bool TLuaParticleSystem::ReadHandle(lua_State* L, int index, THandle& handle) {
  if (lua_type(L, index) != LUA_TUSERDATA || !lua_getmetatable(L, index)) return false;
  lua_pushliteral(L, "ParticleMemberMT");
  lua_rawget(L, LUA_GLOBALSINDEX);
  bool ours = lua_rawequal(L, -1, -2) != 0;
  lua_pop(L, 2);
  if (!ours) return false;
  handle = *static_cast<THandle*>(lua_touserdata(L, index));
  return true;
}

int TLuaParticleSystem::Allocate(lua_State* L) {
  int32_t width = LuaNumberToInt(lua_tonumber(L, 1));
  if (width < 1 || width > 255 || int32_t(mMemberWidths.size()) >= MaxMembers ||
      int32_t(mNextOffset) + width > INT16_MAX) {
    LogPrintf("TLuaParticleSystem: cannot declare a member of width %d after %u floats in %u members", width,
              unsigned(mNextOffset), unsigned(mMemberWidths.size()));
    return 0;
  }
  int16_t offset = int16_t(mNextOffset);
  mMemberWidths.push_back(uint8_t(width));
  mContext.width = mMemberWidths.data();
  mContext.count = uint32_t(mMemberWidths.size());
  mContext.start[mContext.count] = mContext.start[mContext.count - 1] + uint32_t(width);
  mNextOffset = uint16_t(mNextOffset + width);
  mStreamsChanged = true;
  PushHandle(L, offset, uint16_t(width));
  return 1;
}

int TLuaParticleSystem::GetParticleMemberParts(lua_State* L) {
  THandle handle;
  if (!ReadHandle(L, 1, handle)) return 0;
  lua_pushnumber(L, handle.offset);
  lua_pushnumber(L, handle.width);
  return 2;
}

int TLuaParticleSystem::CompileParam(lua_State* L) {
  lua_settop(L, 1);
  THandle handle;
  switch (lua_type(L, 1)) {
    case LUA_TNUMBER: {
      float value = float(lua_tonumber(L, 1));
      mPending.push_back({std::make_shared<FPush<1>>(&value)});
      lua_pushnumber(L, 1);
      return 1;
    }
    case LUA_TUSERDATA:
      if (!ReadHandle(L, 1, handle)) return 0;
      mPending.push_back({std::make_shared<FGetParticleParam>(handle.offset, uint8_t(std::min<uint16_t>(handle.width, 255)))});
      lua_pushnumber(L, handle.width);
      return 1;
    case LUA_TTABLE: {
      if (mCompileDepth >= MaxCompileDepth) {
        ReportScriptError("CompileParam: expression nested too deeply");
        return 0;
      }
      ++mCompileDepth;
      int results = CompileTable(L);
      --mCompileDepth;
      return results;
    }
    default:
      return 0;
  }
}

int TLuaParticleSystem::CompileTable(lua_State* L) {
  int n = lua_getn(L, 1);
  lua_pushliteral(L, "cmd");
  lua_rawget(L, 1);
  bool hasCmd = !lua_isnil(L, -1);
  TString name = lua_type(L, -1) == LUA_TSTRING ? GetLuaString(L, -1) : TString();
  lua_pop(L, 1);
  bool numbers = !hasCmd;
  float values[ParticleValueWidth] = {};
  for (int i = 1; numbers && i <= n; ++i) {
    lua_rawgeti(L, 1, i);
    numbers = lua_type(L, -1) == LUA_TNUMBER;
    if (numbers && i <= int(ParticleValueWidth)) values[i - 1] = float(lua_tonumber(L, -1));
    lua_pop(L, 1);
  }
  if (numbers) {
    std::shared_ptr<TParticleFunction> constant;
    if (n == 2) constant = std::make_shared<FPush<2>>(values);
    if (n == 3) constant = std::make_shared<FPush<3>>(values);
    if (n == 4) constant = std::make_shared<FPush<4>>(values);
    if (!constant) return 0;
    mPending.push_back({constant});
    lua_pushnumber(L, n);
    return 1;
  }
  if (name.IsEmpty()) {
    name = "fVec";
    lua_pushvalue(L, 1);
  } else {
    lua_pushliteral(L, "params");
    lua_rawget(L, 1);
    if (!lua_istable(L, -1)) {
      lua_pop(L, 1);
      lua_newtable(L);
    }
  }
  return CompileCall(L, name, lua_gettop(L));
}

int TLuaParticleSystem::CompileCall(lua_State* L, const TString& name, int args) {
  // The arguments first, through the script's CompileParameters; their widths come back.
  int argc = lua_getn(L, args);
  if (argc < 0 || argc > 255) {
    ReportScriptError("CompileParam: too many arguments");
    return 0;
  }
  lua_pushliteral(L, "CompileParameters");
  lua_rawget(L, LUA_GLOBALSINDEX);
  lua_pushvalue(L, args);
  if (lua_pcall(L, 1, 1, 0) != 0) {
    TString message = GetLuaString(L, -1);
    ReportScriptError(message.c_str());
    return 0;
  }
  int sizes = lua_gettop(L);
  uint8_t widths[256] = {};
  for (int i = 0; i < argc && lua_istable(L, sizes); ++i) {
    lua_rawgeti(L, sizes, i + 1);
    double w = lua_tonumber(L, -1);
    widths[i] = uint8_t(w > 0 && w < 256 ? w : 0);
    lua_pop(L, 1);
  }

  std::shared_ptr<TParticleFunction> function;
  if (const TFactory* factory = FindFactory(name)) {
    function = (*factory)();
  } else {
    auto external = mExternalNames.find(name);
    if (external != mExternalNames.end()) function = mExternals[external->second];
  }
  if (!function) {
    lua_pushliteral(L, "_ALERT");
    lua_rawget(L, LUA_GLOBALSINDEX);
    TString message = TString::Printf("Type not found: %s", name.c_str());
    PushLuaString(L, message);
    if (lua_pcall(L, 1, 0, 0) != 0) LogPrintf("Lua error: %s", message.c_str());
    return 0;
  }
  TParticleStreamEntry entry{function};
  entry.argc = uint8_t(argc);
  if (argc <= 3) {
    std::memcpy(entry.inlineWidths, widths, size_t(argc));
  } else {
    if (mWidthPool.size() + size_t(argc) > WidthPoolSize) {
      LogPrintf("TLuaParticleSystem: the effect's calls of more than 3 arguments need more than %u bytes; %s left out",
                unsigned(WidthPoolSize), name.c_str());
      return 0;
    }
    entry.poolOffset = mWidthPool.size();
    mWidthPool.insert(mWidthPool.end(), widths, widths + argc);
  }
  uint8_t result = function->GetResultWidth(entry.Widths(mWidthPool), uint32_t(argc));
  mPending.push_back(entry);
  lua_pushnumber(L, result);
  return 1;
}
