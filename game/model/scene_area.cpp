#include "model/scene_area.h"

#include "model/record_writer.h"

void CSceneArea::SetCorner(int corner, int32_t x, int32_t y) {
  if (corner < 1 || corner > 4) return;
  mX[corner - 1] = x;
  mY[corner - 1] = y;
}

bool CSceneArea::IsPointInside(int32_t x, int32_t y) const {
  for (int i = 0; i < 4; ++i) {
    int j = (i + 1) % 4;
    // Corners far apart overflow 32 bits in the differences and 64 bits in the products.
    __int128 cross = __int128(int64_t(mX[j]) - mX[i]) * (int64_t(y) - mY[i]) -
                     __int128(int64_t(mY[j]) - mY[i]) * (int64_t(x) - mX[i]);
    if (cross < 0) return false;
  }
  return true;
}

void CSceneArea::WriteCorners(CRecordWriter& record) const {
  for (int i = 0; i < 4; ++i) record.Corner(i + 1, mX[i], mY[i]);
}
