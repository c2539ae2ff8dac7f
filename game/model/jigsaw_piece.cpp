#include "model/jigsaw_piece.h"

void CJigsawPiece::SetStartPosX(int32_t x) {
  mStartPosX = x;
  mPosX = x;
}

void CJigsawPiece::SetStartPosY(int32_t y) {
  mStartPosY = y;
  mPosY = y;
}
