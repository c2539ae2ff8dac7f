#include "model/shark_shooter_game.h"

#include <algorithm>

#include "model/model_types.h"
#include "model/random_draw.h"
#include "model/record_writer.h"
#include "platform/log.h"
#include "script/lua_glue.h"

namespace {

// A shot at or beyond this x has left the screen.
constexpr int32_t ScreenRightEdge = 1025;

// A number from 0 to n - 1 from the game's 15-bit generator (0 for an n below 1).
int32_t RandomBelow(int64_t n) {
  if (n < 1) return 0;
  return int32_t(int64_t(GameRand()) * n / (int64_t(GameRandMax) + 1));
}

// Places and sums that the model's values feed stay inside 32 bits, whatever the record held.
int32_t Whole(double value) { return LuaNumberToInt(value); }

}  // namespace

CSharkShooterGame::CSharkShooterGame() { SeedGameRandFromWallClock(); }

bool CSharkShooterGame::IsOfType(int modelType) const { return modelType == ModelSharkShooterGame; }

void CSharkShooterGame::SetHowManySharksMustDieForWinning(int32_t count) {
  if (count < 1) {
    LogPrintf("Shark shooter %d: a target of %d sharks is refused; it stays %d", GetSeqId(), count,
              mHowManySharksMustDieForWinning);
    return;
  }
  mHowManySharksMustDieForWinning = count;
}

void CSharkShooterGame::SetMaxSharksOnScreen(int32_t count) {
  int32_t kept = std::clamp(count, 0, MaxSharks);
  if (kept != count) LogPrintf("Shark shooter %d: %d sharks on screen become %d", GetSeqId(), count, kept);
  mMaxSharksOnScreen = kept;
}

void CSharkShooterGame::SetLives(int32_t lives) {
  if (lives < 1) {
    LogPrintf("Shark shooter %d: %d lives are refused; they stay %d", GetSeqId(), lives, mLives);
    return;
  }
  mLives = lives;
}

void CSharkShooterGame::SetGameMode(int32_t mode) {
  if (mode == SharkShooter || mode == AvoidSharks) mGameMode = mode;
}

void CSharkShooterGame::SetSharkStartSpeed(uint32_t speed) {
  mSharkStartSpeed = speed;
  mCurrentSharkSpeed = speed;
}

void CSharkShooterGame::SetDiverYpos(int32_t y) {
  mDiverYpos = y;
  mHarpoonPosition = {Whole(double(mDiverXpos) + mHarpoonX), Whole(double(mHarpoonY) + y)};
}

int32_t CSharkShooterGame::GetActiveShot(int32_t index) const {
  return index >= 0 && size_t(index) < mActiveShots.size() ? mActiveShots[size_t(index)] : -1;
}

CSharkShooterGame::TPosition CSharkShooterGame::GetSharkPosition(int32_t index) const {
  if (index < 0 || size_t(index) >= mSharks.size()) return {};
  return {mSharks[size_t(index)].x, mSharks[size_t(index)].y};
}

CSharkShooterGame::TPosition CSharkShooterGame::GetShotPosition(int32_t index) const {
  if (index < 0 || size_t(index) >= mShots.size()) return {};
  return {mShots[size_t(index)].x, mShots[size_t(index)].y};
}

// The target is never below 1, so the growth is finite and the sharks' speeds sum up to the
// end speed over a whole game.
double CSharkShooterGame::SpeedStep() const { return mSharkEndSpeed / mHowManySharksMustDieForWinning; }

int32_t CSharkShooterGame::SharkY() {
  int64_t top = int64_t(mHarpoonY) + 30;
  return Whole(double(top + RandomBelow(601 - int64_t(mSharkHeight) - 2 * int64_t(mHarpoonY))));
}

void CSharkShooterGame::SpawnSharks() {
  while (int32_t(mSharks.size()) < mMaxSharksOnScreen) {
    TShark shark;
    shark.x = 1030 + RandomBelow(771);
    shark.y = SharkY();
    shark.exactX = shark.x;
    mCurrentSharkSpeed += SpeedStep();
    shark.speed = mCurrentSharkSpeed;
    mSharks.push_back(shark);
  }
  mSharksOnScreen = int32_t(mSharks.size());
}

void CSharkShooterGame::ReEnter(TShark& shark) {
  shark.x = 1050 + RandomBelow(1451);
  shark.y = SharkY();
  shark.exactX = shark.x;
  if (mSharkEndSpeed > mCurrentSharkSpeed) mCurrentSharkSpeed += SpeedStep();
  shark.speed = mCurrentSharkSpeed;
}

uint32_t CSharkShooterGame::Fire(uint32_t now) {
  mLastUpdateTime = now;
  if (mNextShotTime >= now) {
    mShotFired = false;
    return mNextShotTime;
  }
  TShot shot;
  if (mGameMode == SharkShooter) {
    shot.x = Whole(double(mDiverXpos) + mDiverWidth);
  } else {
    if (!mActiveShots.empty()) {
      mShotFired = false;
      return mNextShotTime;
    }
    shot.x = Whole(double(mDiverXpos) + mHarpoonX);
  }
  shot.y = Whole(double(mDiverYpos) + mHarpoonY);
  mShots.push_back(shot);
  mLastShotIndex = int32_t(mShots.size()) - 1;
  mActiveShots.push_back(mLastShotIndex);
  mShotFlying = true;
  mShotFired = true;
  if (mGameMode != SharkShooter) return uint32_t(-2);
  mNextShotTime = now + uint32_t(mReloadTimeInMs);
  return mNextShotTime;
}

void CSharkShooterGame::MoveShots(uint32_t now) {
  for (int32_t index : mActiveShots) {
    if (index < 0 || size_t(index) >= mShots.size()) continue;
    TShot& shot = mShots[size_t(index)];
    if (shot.lastMoveTime == 0) {
      shot.lastMoveTime = now;
    } else if (mGameMode == SharkShooter) {
      shot.x = Whole(mHarponShotSpeed * (now - shot.lastMoveTime) / 100 + shot.x);
      shot.lastMoveTime = now;
    } else {
      // The shield travels up and down with the diver.
      shot.y = mDiverYpos;
    }
    if (shot.x >= ScreenRightEdge) shot.y = ParkedShotY;
  }
}

void CSharkShooterGame::MoveSharks(uint32_t now) {
  for (TShark& shark : mSharks) {
    if (shark.lastMoveTime == 0) {
      shark.lastMoveTime = now;
      continue;
    }
    shark.exactX -= shark.speed * (now - shark.lastMoveTime) / 10000;
    shark.x = Whole(shark.exactX);
    shark.lastMoveTime = now;
    if (mGameMode == SharkShooter) {
      if (shark.x < mDeadlineXpos) {
        ++mEscapedSharks;
        ++mHits;
        ReEnter(shark);
        if (mHits >= mLives) {
          mRunning = false;
          mLost = true;
        }
      }
      continue;
    }
    int64_t x = shark.x, y = shark.y, diverX = mDiverXpos, diverY = mDiverYpos;
    bool overlapsX = x < diverX + mDiverWidth && x + mSharkWidth > diverX;
    bool topInside = diverY < y && y < diverY + mDiverHeight;
    bool bottomInside = diverY < y + mSharkHeight && y + mSharkHeight < diverY + mDiverHeight;
    if (overlapsX && (topInside || bottomInside)) {
      // A shark touching the diver at the left edge is left alone.
      if (shark.x > 0) {
        ++mHits;
        ReEnter(shark);
        if (mHits >= mLives) mRunning = false;
      }
    } else if (shark.x < mDeadlineXpos) {
      ++mEscapedSharks;
      ReEnter(shark);
    }
  }
}

int32_t CSharkShooterGame::FindHit() {
  for (size_t i = 0; i < mSharks.size(); ++i) {
    const int64_t sharkX = mSharks[i].x, sharkY = mSharks[i].y;
    for (int32_t index : mActiveShots) {
      if (index < 0 || size_t(index) >= mShots.size()) continue;
      TShot& shot = mShots[size_t(index)];
      const int64_t shotX = shot.x, shotY = shot.y;
      if (shotX + mShotWidth <= sharkX) continue;
      bool bottomInside = sharkY < shotY + mShotHeight && shotY + mShotHeight < sharkY + mSharkHeight;
      bool topInside = sharkY < shotY && shotY < sharkY + mSharkHeight;
      bool spans = shotY < sharkY && shotY + mShotHeight > sharkY + mSharkHeight;
      if (!bottomInside && !topInside && !spans) continue;
      if (mGameMode == AvoidSharks) {
        // The shield takes out only a shark still on screen that it stands before.
        if (sharkX < 1 || sharkX + mShotWidth <= shotX) return int32_t(i);
        mNextShotTime = mLastUpdateTime + uint32_t(mReloadTimeInMs);
      }
      shot.y = ParkedShotY;
      ++mKills;
      return int32_t(i);
    }
  }
  return -1;
}

void CSharkShooterGame::Update(uint32_t now) {
  mLastUpdateTime = now;
  if (mShotFlying) MoveShots(now);
  MoveSharks(now);
  int32_t hit = FindHit();
  if (hit >= 0) ReEnter(mSharks[size_t(hit)]);
  int32_t toWin = mGameMode == SharkShooter ? mKills : mEscapedSharks;
  if (toWin >= mHowManySharksMustDieForWinning) {
    mWon = true;
    mRunning = false;
    return;
  }
  if (mLost) mRunning = false;
}

void CSharkShooterGame::RemoveActiveShot(int32_t shotIndex) {
  auto it = std::find(mActiveShots.begin(), mActiveShots.end(), shotIndex);
  if (it != mActiveShots.end()) mActiveShots.erase(it);
  mShotFlying = !mActiveShots.empty();
}

bool CSharkShooterGame::IsWon() {
  if (mGameMode == SharkShooter) {
    if (mKills < mHowManySharksMustDieForWinning) return false;
  } else {
    if (mEscapedSharks < mHowManySharksMustDieForWinning) return false;
    mRunning = false;
  }
  mWon = true;
  return true;
}

bool CSharkShooterGame::IsLost() {
  if (mGameMode == SharkShooter) return mLost;
  if (mHits < mLives) return false;
  mRunning = false;
  return true;
}

void CSharkShooterGame::Reset() {
  mCurrentSharkSpeed = mSharkStartSpeed;
  mNextShotTime = 0;
  mLastUpdateTime = 0;
  mEscapedSharks = 0;
  mKills = 0;
  mHits = 0;
  mSharks.clear();
  mShots.clear();
  mActiveShots.clear();
  mShotFlying = false;
  mShotFired = false;
  mWon = false;
  mLost = false;
  mRunning = false;
  mLastShotIndex = -1;
}

void CSharkShooterGame::Serialize(std::string& out) const {
  CRecordWriter record("MakeSharkShooterGame");
  CScene::Serialize(record.Buffer());
  record.String("gamemode", mGameMode == AvoidSharks ? "avoidSharks" : "sharkShooter");
  record.String("sharkTexturePath", mSharkTexturePath);
  record.String("diverTexturePath", mDiverTexturePath);
  record.String("shotTexturePath", mShotTexturePath);
  record.String("inactiveShotTexturePath", mInactiveShotTexturePath);
  record.String("readyShotTexturePath", mReadyShotTexturePath);
  record.String("interfaceBGTexturePath", mInterfaceBGTexturePath);
  record.String("interfaceGreenTexturePath", mInterfaceGreenTexturePath);
  record.String("interfaceInvisibleTexturePath", mInterfaceInvisibleTexturePath);
  record.String("interfaceRedTexturePath", mInterfaceRedTexturePath);
  record.String("interfacePipesTexturePath", mInterfacePipesTexturePath);
  record.String("hitClickSound", mHitClickSound);
  record.String("missClickSound", mMissClickSound);
  record.Number("reloadTimeInMs", mReloadTimeInMs);
  record.Number("howManySharksMustDieForWinning", mHowManySharksMustDieForWinning);
  // The speeds are whole numbers: the record gives them as unsigned integers.
  record.Number("harponShotSpeed", int64_t(mHarponShotSpeed));
  record.Number("diverXpos", mDiverXpos);
  record.Number("countdown", mCountdown);
  record.Number("deadlineXpos", mDeadlineXpos);
  record.Number("maxSharksOnScreen", mMaxSharksOnScreen);
  record.Number("lives", mLives);
  record.Number("harpoonX", mHarpoonX);
  record.Number("harpoonY", mHarpoonY);
  record.Number("sharkStartSpeed", int64_t(mSharkStartSpeed));
  record.Number("sharkEndSpeed", int64_t(mSharkEndSpeed));
  record.Finish(out);
}
