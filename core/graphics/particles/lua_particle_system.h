#pragma once
// TLuaParticleSystem: one particle effect. A Lua state holds the effect script, which
// declares per-particle members (Allocate), describes with expressions how a new particle's
// members are set (Init) and how every live particle changes each step (Anim), and emits
// particles from its Update function. The expressions are compiled once, at load time, into
// streams of particle functions that then run natively on every particle. The particles'
// records live in a TParticleCollection; a TParticleRenderer draws them.
//
// With the setting "lpsonescript" all systems share one Lua state; each one's Update is
// kept there under "Update<id>". Main thread only.

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "graphics/particles/particle_block_program.h"
#include "graphics/particles/particle_collection.h"
#include "graphics/particles/particle_functions.h"
#include "graphics/particles/particle_renderer.h"
#include "graphics/particles/particle_stream.h"
#include "graphics/sprites/asset_map.h"
#include "platform/engine_string.h"
#include "script/lua/lua.h"

class TScript;
class TScriptCode;

class TLuaParticleSystem {
 public:
  // renderer: a non-owning link that must outlive the system; null makes the system own a
  // T2dParticleRenderer.
  explicit TLuaParticleSystem(TParticleRenderer* renderer = nullptr);
  virtual ~TLuaParticleSystem();
  TLuaParticleSystem(const TLuaParticleSystem&) = delete;
  TLuaParticleSystem& operator=(const TLuaParticleSystem&) = delete;

  // Runs an effect: a file name when spec contains ".lua", otherwise Lua source. False,
  // with a log line naming the effect and the fault, when the file does not load or the
  // script fails to run.
  virtual bool Load(const TString& spec);
  // Runs the script's Update with the seconds, then the animation stream on every live
  // particle; particles whose stream expired them go back to the free list. A script
  // error in Update ends the effect (the done flag).
  virtual void Update(uint32_t milliseconds);

  // A fresh script state with the vocabulary, the renderer's members and no particles.
  void Init();
  // Makes the function visible to the script as a member-like global; answers its handle
  // offset -(k + 1) (0 when it cannot be added).
  int32_t AddExternalFunction(const TString& name, const std::shared_ptr<TParticleFunction>& function);
  // Binds this system's script functions again: in a shared state another system made
  // meanwhile holds them.
  void Rebind();
  // Draws the live particles through the renderer.
  void Draw(const TVec3& origin);

  bool IsDone() const { return mDone != 0; }
  // The system's number in the shared state (0 without "lpsonescript").
  uint32_t GetId() const { return mId; }
  float GetAlpha() const { return mAlpha; }
  void SetAlpha(float alpha) { mAlpha = alpha; }
  lua_State* GetState() const;
  TParticleRenderer& GetRenderer() { return *mRenderer; }
  const TParticleCollection& GetCollection() const { return mCollection; }
  const TParticleStream& GetInitStream() const { return mInitStream; }
  const TParticleStream& GetAnimStream() const { return mAnimStream; }
  uint32_t GetRecordSize() const { return mNextOffset; }
  // Runs the streams the plain way only (the reference that tests compare with).
  void SetPlainEvaluation(bool plain) { mPlain = plain; }
  // Whether the animation stream's fast form may run over blocks of particles (on by
  // default); off, it runs particle by particle (the reference of the block form).
  void SetBlockEvaluation(bool blocks) { mBlocks = blocks; }
  // Whether the streams run in their fast form (built on demand).
  bool HasFastStreams();
  // Whether the animation stream also has its block form.
  bool HasBlockStream();

  // The functions of the script, bound under the same names ("_SetTexture" for SetTexture).
  int32_t RandomRange(int32_t lo, int32_t hi);
  double RandomFloat();
  void SetRendererOption1(TString name, float x);
  void SetRendererOption2(TString name, float x, float y);
  void SetRendererOption3(TString name, float x, float y, float z);
  void SetRendererOption4(TString name, float x, float y, float z, float w);
  void SetNumParticles(int32_t count);
  void SetTexture(TString name);
  void CreateParticles(double count);
  int Allocate(lua_State* L);
  int CompileParam(lua_State* L);
  int GetParticleMemberParts(lua_State* L);
  int32_t GetParticleCount();
  void AccumulateInitStream();
  void AccumulateAnimStream();
  void Done();

  // The byte pool of argument widths of calls with more than 3 arguments holds this many.
  static constexpr size_t WidthPoolSize = 4096;

 private:
  struct THandle {
    int16_t offset;
    uint16_t width;
  };
  void BindFunctions(lua_State* L);
  void BindMembers(lua_State* L);
  bool RunChunk(const char* text, size_t length, const char* name);
  bool ReadHandle(lua_State* L, int index, THandle& handle);
  void PushHandle(lua_State* L, int16_t offset, uint16_t width);
  int CompileTable(lua_State* L);
  int CompileCall(lua_State* L, const TString& name, int args);
  void RunStream(const TParticleStream& stream, const TParticleProgram& program, int32_t index, uint32_t time);
  void RunAnimBlocks(uint32_t time);
  void PrepareStreams();
  void ReleaseState();

  std::unique_ptr<TParticleRenderer> mOwnedRenderer;
  TParticleRenderer* mRenderer;
  TParticleCollection mCollection;
  std::unique_ptr<TScript> mScript;  // null while the shared state is used
  bool mUsesShared = false;
  uint32_t mId = 0;
  std::shared_ptr<TScriptCode> mCode;
  TString mScriptDirectory;
  TAssetMap mAssets;
  uint16_t mNextOffset = 0;
  std::vector<uint8_t> mMemberWidths;
  std::vector<std::shared_ptr<TParticleFunction>> mExternals;
  std::vector<TParticleFunction*> mExternalLinks;
  std::map<TString, size_t> mExternalNames;
  std::vector<uint8_t> mWidthPool;
  std::unique_ptr<float[]> mBuffer;
  TParticleStream mInitStream, mAnimStream, mPending;
  TParticleProgram mInitProgram, mAnimProgram;
  TParticleBlockProgram mAnimBlocks;
  bool mStreamsChanged = true;
  bool mPlain = false;
  bool mBlocks = true;
  float mAlpha = 1.0f;
  uint8_t mDone = 0;
  float mAccumulator = 0.0f;
  int mCompileDepth = 0;
  TParticleContext mContext;
  std::unique_ptr<TParticleScratch> mScratch;
};
