#pragma once
// CJigsawPuzzle: the model of the jigsaw game. The player carries a piece with every piece
// hooked to it (MoveGroup) and puts it down (DropPiece); a dropped group takes in each group
// holding a neighbour that lies where it belongs relative to it, and a group dropped near
// its place in the picture sticks there. Only the pieces' places are saved: a reloaded
// puzzle has every piece in a group of its own and movable.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/jigsaw_piece.h"
#include "model/scene.h"
#include "platform/engine_string.h"

class CJigsawPuzzle : public CScene {
 public:
  // Piece names are this prefix and the piece's number.
  static constexpr const char* PiecePrefix = "jigsawPiece";

  // True for 6 only.
  bool IsOfType(int modelType) const override;
  // The MakeJigsawPuzzle record: the scene fields, the settings and every piece in name
  // order at its present place.
  void Serialize(std::string& out) const override;

  void SetOffsetX(int32_t x) { mOffsetX = x; }
  void SetOffsetY(int32_t y) { mOffsetY = y; }
  void SetHookPieces(bool hook) { mHookPieces = hook; }
  void SetStickOnBackground(bool stick) { mStickOnBackground = stick; }
  void SetDelta(int32_t delta) { mDelta = delta; }
  void SetNumberOfGroupsToWin(int32_t groups) { mNumberOfGroupsToWin = groups; }
  int32_t GetOffsetX() const { return mOffsetX; }
  int32_t GetOffsetY() const { return mOffsetY; }
  bool GetHookPieces() const { return mHookPieces; }
  bool GetStickOnBackground() const { return mStickOnBackground; }
  int32_t GetDelta() const { return mDelta; }
  int32_t GetNumberOfGroupsToWin() const { return mNumberOfGroupsToWin; }

  // The name of piece `number'.
  static TString PieceName(uint32_t number);
  // Makes the piece of that number alone in a new group and answers its name. A number in
  // use is refused (a log line, the empty name): the first piece keeps its place and group.
  TString AddPiece(uint32_t number);
  // Appends the name of piece `number' to the named piece's neighbours; nothing when no
  // piece has that name.
  void AddNeighbour(const TString& pieceName, uint32_t number);
  CJigsawPiece* FindPiece(const TString& name) const;
  // The index of the group holding the name; -1 when none does.
  int32_t FindGroup(const TString& name) const;
  uint32_t GetPieceCount() const { return uint32_t(mPieces.size()); }
  uint32_t GetGroupCount() const { return uint32_t(mGroups.size()); }

  // Carrying: a movable piece goes to (x, y) and its group follows in the picture's shape.
  void MoveGroup(const TString& name, int32_t x, int32_t y);
  // Putting down at (x, y): the piece's group takes in the groups of the neighbours that fit
  // (those of the members it had before this drop), then either sticks at its place in the
  // picture, fixed, or takes the picture's shape around the piece. Neighbour names without
  // a piece are passed over.
  void DropPiece(const TString& name, int32_t x, int32_t y);
  // With sticking: every piece lies within delta of its place. Otherwise with hooking: at
  // most numberOfGroupsToWin groups are left. Otherwise never.
  bool IsWon() const;

  // The window's walk over every piece, in name order (byte order: "jigsawPiece10" before
  // "jigsawPiece2").
  void RewindPieces() { mPieceCursor.Rewind(); }
  bool HasMorePieces() const { return mPieceCursor.HasMore(mPieces); }
  CJigsawPiece* GetNextPiece() { return mPieceCursor.Next(mPieces); }
  // The window's walk over the members of one piece's group, in group order; empty for a
  // name in no group.
  void SelectGroupOf(const TString& name);
  bool HasMoreGroupMembers() const;
  TString GetNextGroupMember();

 private:
  using Group = std::vector<TString>;
  bool InGroup(const Group& group, const TString& name) const;
  // Every other member of the piece's group takes its place in the picture relative to it.
  void AlignGroupTo(const CJigsawPiece& piece);
  bool Fits(const CJigsawPiece& member, const CJigsawPiece& neighbour) const;
  bool Near(int64_t a, int64_t b) const;

  int32_t mNumberOfGroupsToWin = 1;
  int32_t mOffsetX = 0;
  int32_t mOffsetY = 0;
  bool mHookPieces = true;
  bool mStickOnBackground = true;
  std::vector<Group> mGroups;
  CIdCursor<CJigsawPiece>::Map mPieces;
  int32_t mDelta = 10;
  CIdCursor<CJigsawPiece> mPieceCursor;
  int32_t mSelectedGroup = -1;
  size_t mNextMember = 0;
};
