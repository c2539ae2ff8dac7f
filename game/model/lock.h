#pragma once
// CLock: the model of the unlocking-doors game, a lock of bolts. A click moves one bolt (see
// CLockingBolt::Move); the door opens when every bolt is up. Only the bolts' up and locked
// flags change in play, and they are saved with the bolts.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/locking_bolt.h"
#include "model/scene.h"
#include "model/sound_file.h"
#include "platform/engine_string.h"

class CLock : public CScene {
 public:
  // Bolt sprites are named by one character per bolt: "1" for bolt 0, "2" for bolt 1 and so
  // on up to the last byte value, which names MaxNamedBolts bolts.
  static constexpr uint32_t MaxNamedBolts = 256 - '1';

  // Makes `count' bolts with these flags, each knowing its place in the lock as its index.
  CLock(uint32_t count = 0, bool movesOthers = true, bool up = false, bool locked = false);

  // True for 9 only.
  bool IsOfType(int modelType) const override;
  // The MakeUnlockingDoorsMiniGame record: the scene fields, the sounds that are set, the
  // overlay and every bolt.
  void Serialize(std::string& out) const override;

  void SetMoveBoltSoundFile(const TString& file) { mMoveBoltSound.Set(file); }
  void SetMissSoundFile(const TString& file) { mMissSound.Set(file); }
  void SetWonSoundFile(const TString& file) { mWonSound.Set(file); }
  bool HasMoveBoltSoundFile() const { return mMoveBoltSound.IsSet(); }
  bool HasMissSoundFile() const { return mMissSound.IsSet(); }
  bool HasWonSoundFile() const { return mWonSound.IsSet(); }
  const TString& GetMoveBoltSoundFile() const { return mMoveBoltSound.Get(); }
  const TString& GetMissSoundFile() const { return mMissSound.Get(); }
  const TString& GetWonSoundFile() const { return mWonSound.Get(); }

  // The overlay's place is kept (and written) unsigned; the getters give it back signed, so
  // a place left of or above the screen stays there.
  void SetOverlayImage(const TString& image) { mOverlayImage = image; }
  void SetOverlayImagePosX(uint32_t x) { mOverlayX = x; }
  void SetOverlayImagePosY(uint32_t y) { mOverlayY = y; }
  const TString& GetOverlayImage() const { return mOverlayImage; }
  int32_t GetOverlayImagePosX() const { return int32_t(mOverlayX); }
  int32_t GetOverlayImagePosY() const { return int32_t(mOverlayY); }

  uint32_t GetBoltCount() const { return uint32_t(mBolts.size()); }
  // Null for an index outside the lock.
  CLockingBolt* GetBolt(uint32_t i) const;
  // Nothing happens for an index outside the lock.
  void SetBoltIndex(uint32_t i, uint32_t index);
  // Gives bolt i its flags and links it to the bolts `moved' names, only when i is in the
  // lock, fewer bolts are named than the lock has, and every named bolt is in the lock and
  // named once (the list may name bolt i itself). Otherwise the bolt stays as built; false.
  bool ConfigureBolt(uint32_t i, const std::vector<int32_t>& moved, bool movesOthers, bool up, bool locked);
  // Hands the appearance to bolt i when it is in the lock.
  void SetBoltAppearance(uint32_t i, const CLockingBolt::TAppearance& appearance);

  // Moves bolt i (see CLockingBolt::Move); false for a locked bolt or an index outside.
  bool MoveBolt(uint32_t i, int32_t depth);
  // Every bolt up (or down) and unlocked.
  void ResetPosition(bool up);
  // Every bolt up; true for a lock without bolts.
  bool IsWon() const;
  // Whether every bolt moves others (then no lock pieces are drawn). Once a bolt that
  // toggles locks is met the answer stays false.
  bool DoAllBoltsMoveOthers();

  // The character that names bolt i's sprites, and back: 0 and false beyond the named bolts.
  // The character is read unsigned, so every bolt up to the last one named moves.
  static char BoltNameCharacter(uint32_t i);
  static bool BoltIndexOfCharacter(char c, uint32_t& index);

 private:
  CSoundFile mMoveBoltSound;
  CSoundFile mMissSound;
  CSoundFile mWonSound;
  TString mOverlayImage;
  uint32_t mOverlayX = 0;
  uint32_t mOverlayY = 0;
  std::vector<std::unique_ptr<CLockingBolt>> mBolts;
  bool mAllMoveOthers = true;
};
