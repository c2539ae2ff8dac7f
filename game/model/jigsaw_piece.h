#pragma once
// CJigsawPiece: one piece of the jigsaw: where it lies now, where it belongs in the finished
// picture, and the names of the pieces that border it there. Copies are whole pieces (the
// window works on copies).

#include <cstdint>
#include <vector>

#include "platform/engine_string.h"

class CJigsawPiece {
 public:
  virtual ~CJigsawPiece() = default;

  // The place the record gives, which is also where the piece lies until it moves.
  void SetStartPosX(int32_t x);
  void SetStartPosY(int32_t y);
  int32_t GetEndPosX() const { return mEndPosX; }
  void SetEndPosX(int32_t x) { mEndPosX = x; }
  int32_t GetEndPosY() const { return mEndPosY; }
  void SetEndPosY(int32_t y) { mEndPosY = y; }
  // The top-left corner of the piece's sprite, screen pixels.
  int32_t GetPosX() const { return mPosX; }
  void SetPosX(int32_t x) { mPosX = x; }
  int32_t GetPosY() const { return mPosY; }
  void SetPosY(int32_t y) { mPosY = y; }
  // False once the piece is stuck on the background.
  bool IsMovable() const { return mMovable; }
  void SetMovable(bool movable) { mMovable = movable; }
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  const TString& GetImage() const { return mImage; }
  void SetImage(const TString& image) { mImage = image; }

  uint32_t GetNeighbourCount() const { return uint32_t(mNeighbours.size()); }
  // The empty name for an index outside the list.
  TString GetNeighbour(uint32_t i) const { return i < mNeighbours.size() ? mNeighbours[i] : TString(); }
  void AddNeighbourName(const TString& name) { mNeighbours.push_back(name); }

 private:
  int32_t mStartPosX = 0;
  int32_t mStartPosY = 0;
  int32_t mEndPosX = 0;
  int32_t mEndPosY = 0;
  TString mName;
  int32_t mPosX = 0;
  int32_t mPosY = 0;
  std::vector<TString> mNeighbours;
  TString mImage;
  bool mMovable = true;
};
