#pragma once
// CMixPotionMiniGame: the model of the mix-potion game. Colours poured into the funnels at
// the network's roots flow down the pipes when the player mixes; two streams that meet mix
// (MixColors), and the game is won when every flask at a leaf holds the colour its place in
// the need list asks for.
//
// The network is linked once, after its pipes are added (ConnectPipes). Links that would
// close a circle are refused, so every walk of the network ends.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/mix_potion_pipe.h"
#include "model/scene.h"
#include "model/sound_file.h"
#include "platform/engine_string.h"

class CMixPotionMiniGame : public CScene {
 public:
  // The graphic indices: the ten pipe shapes, then the pictures around them.
  enum TGraphic : uint32_t {
    GraphicFlask = 10,
    GraphicFunnel = 11,
    GraphicButton = 12,
    GraphicResetButton = 13,
    GraphicTargetColor = 14,
    GraphicMoveableFlask = 15,
    GraphicCupboard = 16,
    GraphicCount = 17,
  };
  // The graphic keys of the model text, by index.
  static const char* const GraphicKeys[GraphicCount];
  // A network holds no more pipes than this.
  static constexpr uint32_t MaxPipes = 1024;

  CMixPotionMiniGame() = default;

  // True for 14 only.
  bool IsOfType(int modelType) const override;
  // The MakeMixPotionMiniGame record: the scene fields, the sounds that are set, the
  // graphics, places, colour lists and every pipe.
  void Serialize(std::string& out) const override;

  // Places are kept (and written) unsigned; the getters give them back signed.
  void SetButtonPosition(uint32_t x, uint32_t y);
  void SetResetButtonPosition(uint32_t x, uint32_t y);
  void SetCboardPosition(uint32_t x, uint32_t y);
  void SetX(uint32_t x) { mX = x; }
  void SetY(uint32_t y) { mY = y; }
  void SetColorSystem(uint32_t system) { mColorSystem = system; }
  int32_t GetButtonX() const { return int32_t(mButtonX); }
  int32_t GetButtonY() const { return int32_t(mButtonY); }
  int32_t GetResetButtonX() const { return int32_t(mResetButtonX); }
  int32_t GetResetButtonY() const { return int32_t(mResetButtonY); }
  int32_t GetCboardX() const { return int32_t(mCboardX); }
  int32_t GetCboardY() const { return int32_t(mCboardY); }
  int32_t GetX() const { return int32_t(mX); }
  int32_t GetY() const { return int32_t(mY); }
  uint32_t GetColorSystem() const { return mColorSystem; }

  void SetMixSoundFile(const TString& file) { mMixSound.Set(file); }
  void SetWonSoundFile(const TString& file) { mWonSound.Set(file); }
  void SetTryAgainSoundFile(const TString& file) { mTryAgainSound.Set(file); }
  bool HasMixSoundFile() const { return mMixSound.IsSet(); }
  bool HasWonSoundFile() const { return mWonSound.IsSet(); }
  bool HasTryAgainSoundFile() const { return mTryAgainSound.IsSet(); }
  const TString& GetMixSoundFile() const { return mMixSound.Get(); }
  const TString& GetWonSoundFile() const { return mWonSound.Get(); }
  const TString& GetTryAgainSoundFile() const { return mTryAgainSound.Get(); }

  // Nothing happens, and "" comes back, for an index outside 0 to 16.
  void SetGraphic(uint32_t index, const TString& name);
  TString GetGraphic(uint32_t index) const;

  void SetGivenColors(const std::vector<uint32_t>& colors) { mGivenColors = colors; }
  void SetNeedColors(const std::vector<uint32_t>& colors) { mNeedColors = colors; }
  const std::vector<uint32_t>& GetGivenColors() const { return mGivenColors; }
  const std::vector<uint32_t>& GetNeedColors() const { return mNeedColors; }

  // Appends a pipe at (x, y) with its order key, connected ids and id; refused (false, a log
  // line) beyond MaxPipes.
  bool AddPipe(uint32_t x, uint32_t y, uint32_t h, uint32_t id, const std::vector<uint32_t>& connectionIds);
  // Links every pipe to the first pipe of each id it lists (an id that names no pipe, or a
  // link that would close a circle, is left out with a log line), collects the roots and
  // leaves in the order the pipes were added, then orders the pipes by h (equal keys keep
  // their order). The record keeps the order of adding, so that the leaves, and with them
  // the colours they need, come back in the same order.
  void ConnectPipes();

  // The pipes (ordered by h), roots and leaves; null for an index outside the list (a content error such as
  // a need colour without its leaf then shows nothing instead of stopping the game).
  uint32_t GetPipeCount() const { return uint32_t(mPipes.size()); }
  uint32_t GetRootCount() const { return uint32_t(mRoots.size()); }
  uint32_t GetLeafCount() const { return uint32_t(mLeaves.size()); }
  CMixPotionPipe* GetPipe(uint32_t i) const { return i < mSorted.size() ? mSorted[i] : nullptr; }
  CMixPotionPipe* GetRoot(uint32_t i) const { return i < mRoots.size() ? mRoots[i] : nullptr; }
  CMixPotionPipe* GetLeaf(uint32_t i) const { return i < mLeaves.size() ? mLeaves[i] : nullptr; }
  // The grid cell of movable flask k: a row left of leaf 0, one row below it, the first
  // nearest to it, counted signed. False when there is no leaf to stand by.
  bool GetMoveableFlaskCell(uint32_t k, int32_t& column, int32_t& row) const;

  // Pours a colour into root i; nothing for an index outside the roots.
  void SetRootColor(uint32_t i, uint32_t color);
  // Every pipe's level back to 0 and/or its colour back to none.
  void ResetFromRoots(bool resetLevel, bool resetColor);
  // Floods the roots' colours down the network: every other pipe ends with the mix of its
  // parents' colours, each taken at the deepest level a pass reaches it.
  void Mix();
  // No root without colour (true without roots).
  bool AreAllRootsColored() const;
  // Leaf i holds need colour i for every leaf; false when there are fewer need colours than
  // leaves (true without leaves).
  bool IsWon() const;
  // The number of pipes on the longest path from a root to a leaf; 0 without roots.
  uint32_t GetMaxDepth() const;

 private:
  bool Reaches(const CMixPotionPipe* from, const CMixPotionPipe* to) const;
  void FlowColors(uint32_t passes);

  uint32_t mButtonX = 0, mButtonY = 0;
  uint32_t mResetButtonX = 0, mResetButtonY = 0;
  uint32_t mCboardX = 0, mCboardY = 0;
  uint32_t mX = 0, mY = 0;
  uint32_t mColorSystem = 0;
  CSoundFile mMixSound;
  CSoundFile mWonSound;
  CSoundFile mTryAgainSound;
  // Non-owning: the pipes of mPipes.
  std::vector<CMixPotionPipe*> mRoots;
  std::vector<CMixPotionPipe*> mLeaves;
  // In the order added; mSorted holds them by h.
  std::vector<std::unique_ptr<CMixPotionPipe>> mPipes;
  std::vector<CMixPotionPipe*> mSorted;
  std::array<TString, GraphicCount> mGraphics;
  std::vector<uint32_t> mGivenColors;
  std::vector<uint32_t> mNeedColors;
};
