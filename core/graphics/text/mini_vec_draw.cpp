// TJxMiniVecDraw: shape parsing, edges, scan conversion and the run cache. The output
// side (colours, spans, targets, the start-up check) is in mini_vec_draw_output.cpp.

#include "graphics/text/mini_vec_draw.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "graphics/text/mini_vec_draw_internal.h"

size_t MeasureShape(const uint8_t* shape, size_t size) {
  size_t at = 0;
  while (at < size) {
    size_t length = 0;
    switch (shape[at]) {
      case 8: return at + 1;
      case 1: length = 1; break;
      case 2:
      case 3: length = 2; break;
      case 4:
      case 5: length = 5; break;
      case 6: length = 9; break;
      case 7: length = 4; break;
      default: return 0;
    }
    at += length;
  }
  return 0;
}

TJxMiniVecDraw::TJxMiniVecDraw()
    : mRows(RowCount, -1), mPathState(4, 0), mBuckets(CacheBuckets) {
  mSpans.reserve(DefaultBatch / 2);
  mEdges.reserve(mEdgeCapacity);
  mBlocks.push_back(std::make_unique<TRunBlock>());
  mSpare = std::make_unique<TCacheEntry>();
  SetColour(255, TColor{0, 0, 0, 1}, 1.0f);
  SetColour(254, TColor{0, 0, 0, 1}, 1.0f);
  SetColour(0, TColor{0, 0, 0, 1}, 1.0f);
  SetColour(1, TColor{0, 0, 0, 1}, 1.0f);
}

TJxMiniVecDraw::~TJxMiniVecDraw() {
  // Buckets are chains of unique pointers: unlink them one by one, not recursively.
  for (auto& bucket : mBuckets) {
    while (bucket) bucket = std::move(bucket->next);
  }
  // The sink may be gone at teardown: only the target is let go.
  if (mTarget && mTargetPixels) mTarget->Unlock();
}

void TJxMiniVecDraw::ClearCache() {
  for (auto& bucket : mBuckets) {
    while (bucket) bucket = std::move(bucket->next);
  }
  mBlocks.resize(1);
  mWriteBlock = 0;
  mWriteIndex = 0;
}

void TJxMiniVecDraw::DrawShape(const uint8_t* shape, int x, int y) { DrawShapeImpl(shape, x, y, true); }

void TJxMiniVecDraw::DrawShapeUncached(const uint8_t* shape, int x, int y) {
  DrawShapeImpl(shape, x, y, false);
}

void TJxMiniVecDraw::DrawShapeImpl(const uint8_t* shape, int x, int y, bool cached) {
  if (!shape) return;
  int64_t qx = int64_t(x) + int64_t(mOriginX) * 4 + mOriginPhaseX;
  int64_t qy = int64_t(y) + int64_t(mOriginY) * 4 + mOriginPhaseY;
  mPhaseX = int(qx & 3);
  mPhaseY = int(qy & 3);
  mColumn = int(qx >> 2) - CellBias;
  mPixelBase = int(qy >> 2);

  mRecording = false;
  if (cached) {
    TCacheKey key = MakeCacheKey(shape);
    auto& bucket = mBuckets[reinterpret_cast<uintptr_t>(shape) % CacheBuckets];
    for (TCacheEntry* e = bucket.get(); e; e = e->next.get()) {
      if (memcmp(&e->key, &key, sizeof(key)) == 0) {
        Replay(*e);
        return;
      }
    }
    if (mBlocks.size() >= size_t(MaxRunBlocks)) ClearCache();
    mSpare->key = key;
    mSpare->block = mWriteBlock;
    mSpare->index = mWriteIndex;
    mSpare->next = std::move(bucket);
    bucket = std::move(mSpare);
    mSpare = std::make_unique<TCacheEntry>();
    mRecording = true;
  }
  ++mScanCount;
  while (!ParseShape(shape)) {
    // The edge array was too small: it has grown, and the shape is parsed again.
    SetColour(0, TColor{0, 0, 0, 0}, mAlphaFactor);
  }
  Scan();
  if (mRecording) {
    RecordRun(TRun{0, 0, 0, 0xFF, 0});
    mRecording = false;
  }
}

void TJxMiniVecDraw::ResetShapeState() {
  for (int y = mLowRow; y <= mHighRow; ++y) {
    if (y >= -RowCount / 2 && y < RowCount / 2) mRows[size_t(y + RowCount / 2)] = -1;
  }
  mEdges.clear();
  mOverflow = false;
  mLowRow = 99999;
  mHighRow = -99999;
  mPathId = 2;
  mColourBase = 0;
  mColourCount = 0;
  mLeftFill = 0;
  mRightFill = 0;
  mPenX = mPenY = 0;
}

namespace {

float Coord(const uint8_t* p) { return float(int16_t(uint16_t(p[0] | p[1] << 8))); }

}  // namespace

bool TJxMiniVecDraw::ParseShape(const uint8_t* shape) {
  ResetShapeState();
  const uint8_t* p = shape;
  for (;;) {
    switch (*p) {
      case 1:
        ++mPathId;
        mColourBase = mColourCount;
        mLeftFill = mRightFill = 0;
        p += 1;
        break;
      case 2:
        mLeftFill = p[1] ? mColourBase + p[1] : 0;
        p += 2;
        break;
      case 3:
        mRightFill = p[1] ? mColourBase + p[1] : 0;
        p += 2;
        break;
      case 4:
        mPenX = Coord(p + 1);
        mPenY = Coord(p + 3);
        p += 5;
        break;
      case 5: {
        float x = Coord(p + 1), y = Coord(p + 3);
        AddSegment(mPenX, mPenY, x, y);
        mPenX = x;
        mPenY = y;
        p += 5;
        break;
      }
      case 6: {
        float cx = Coord(p + 1), cy = Coord(p + 3), x = Coord(p + 5), y = Coord(p + 7);
        float px = mPenX, py = mPenY;
        for (int i = 1; i <= 3; ++i) {
          float t = i / 3.0f, u = 1 - t;
          float qx = i == 3 ? x : u * u * px + 2 * u * t * cx + t * t * x;
          float qy = i == 3 ? y : u * u * py + 2 * u * t * cy + t * t * y;
          AddSegment(mPenX, mPenY, qx, qy);
          mPenX = qx;
          mPenY = qy;
        }
        p += 9;
        break;
      }
      case 7:
        // Slots 254 and 255 belong to the stroke layers.
        if (mColourCount < 253) {
          ++mColourCount;
          SetColour(mColourCount, TColor{p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f, 1.0f}, mAlphaFactor);
        }
        p += 4;
        break;
      default:  // 8, or a command no shape should hold
        return true;
    }
    if (mOverflow) return false;
  }
}

void TJxMiniVecDraw::AddSegment(float x0, float y0, float x1, float y1) {
  AddEdge(x0, y0, x1, y1, mLeftFill ? mLeftFill : mRightFill, mPathId);
  for (int layer = 0; layer < 2 && mStroke[layer] != 0; ++layer) AddStroke(layer, x0, y0, x1, y1);
}

void TJxMiniVecDraw::AddStroke(int layer, float x0, float y0, float x1, float y1) {
  float dx = x1 - x0, dy = y1 - y0;
  float length = std::sqrt(dx * dx + dy * dy);
  if (!(length > 0) || mScaleX == 0) return;  // no direction to widen along
  float half = mStroke[layer] * 4 / mScaleX;
  float ux = dx / length * half, uy = dy / length * half;  // along, half width long
  float nx = -uy, ny = ux;                                 // across
  float px[6] = {x0 - ux, x0 + nx, x1 + nx, x1 + ux, x1 - nx, x0 - nx};
  float py[6] = {y0 - uy, y0 + ny, y1 + ny, y1 + uy, y1 - ny, y0 - ny};
  for (int i = 0; i < 6; ++i) {
    int j = (i + 1) % 6;
    AddEdge(px[i], py[i], px[j], py[j], 0, layer);
  }
}

void TJxMiniVecDraw::AddEdge(float x0, float y0, float x1, float y1, int colour, int id) {
  if (mItalic) {
    x0 -= y0 / 3;
    x1 -= y1 / 3;
  }
  x0 *= mScaleX, x1 *= mScaleX;
  y0 *= mScaleY, y1 *= mScaleY;
  if (mRotCos != 1 || mRotSin != 0) {
    float rx0 = x0 * mRotCos - y0 * mRotSin, ry0 = x0 * mRotSin + y0 * mRotCos;
    float rx1 = x1 * mRotCos - y1 * mRotSin, ry1 = x1 * mRotSin + y1 * mRotCos;
    x0 = rx0, y0 = ry0, x1 = rx1, y1 = ry1;
  }
  x0 += mPhaseX, x1 += mPhaseX;
  y0 += mPhaseY, y1 += mPhaseY;
  bool swapped = false;
  if (y0 > y1) {
    std::swap(x0, x1);
    std::swap(y0, y1);
    swapped = true;
  }
  // Rows sample at whole values y with y0 < y <= y1; only rows inside the table count,
  // so an edge reaching beyond it is cut there (NaN edges fail these tests and go).
  const float top = -RowCount / 2, bottom = RowCount / 2 - 1;
  if (!(y1 > top && y0 < bottom)) return;
  if (y0 < top) {
    x0 += (x1 - x0) * (top - y0) / (y1 - y0);
    y0 = top;
  }
  if (y1 > bottom) {
    x1 = x0 + (x1 - x0) * (bottom - y0) / (y1 - y0);
    y1 = bottom;
  }
  int row0 = int(std::floor(y0)), row1 = int(std::floor(y1));
  if (row0 == row1) return;
  if (mEdges.size() >= mEdgeCapacity) {
    if (mEdgeCapacity < MaxEdges) {
      mEdgeCapacity *= 2;
      mEdges.reserve(mEdgeCapacity);
      mOverflow = true;
    }
    return;
  }
  TEdge e;
  e.x0 = x0, e.y0 = y0, e.x1 = x1, e.y1 = y1;
  e.colour = id < 2 ? (swapped ? 1 : 0) : colour;
  e.id = id;
  e.nextInRow = mRows[size_t(row0 + RowCount / 2)];
  mRows[size_t(row0 + RowCount / 2)] = int32_t(mEdges.size());
  mEdges.push_back(e);
  mLowRow = std::min(mLowRow, row0);
  mHighRow = std::max(mHighRow, row1);
  if (id >= int(mPathState.size())) mPathState.resize(size_t(id) + 1, 0);
}

void TJxMiniVecDraw::Scan() {
  mActive = -1;
  mTopId = -1;
  mPixelRow = mLowRow >> 2;
  for (int y = mLowRow; y <= mHighRow; ++y) {
    ScanRow(y);
    if ((y & 3) == 3) FlushRow();
  }
  FlushRow();
}

void TJxMiniVecDraw::ScanRow(int y) {
  mPixelRow = y >> 2;
  // Drop finished edges and step the others down one sub-scanline.
  for (int32_t* link = &mActive; *link >= 0;) {
    TEdge& e = mEdges[size_t(*link)];
    if (e.y1 < float(y)) {
      *link = e.nextActive;
    } else {
      e.x += e.step;
      link = &e.nextActive;
    }
  }
  // Steps keep the order nearly right: adjacent swaps until none is needed.
  for (bool swapped = true; swapped;) {
    swapped = false;
    for (int32_t* link = &mActive; *link >= 0 && mEdges[size_t(*link)].nextActive >= 0;) {
      TEdge& a = mEdges[size_t(*link)];
      TEdge& b = mEdges[size_t(a.nextActive)];
      if (b.x < a.x) {
        int32_t ia = *link, ib = a.nextActive;
        a.nextActive = b.nextActive;
        b.nextActive = ia;
        *link = ib;
        swapped = true;
      }
      link = &mEdges[size_t(*link)].nextActive;
    }
  }
  // Edges starting in this row join at their place.
  int32_t& rowHead = mRows[size_t(y + RowCount / 2)];
  for (int32_t i = rowHead; i >= 0;) {
    TEdge& e = mEdges[size_t(i)];
    int32_t next = e.nextInRow;
    e.step = (e.x1 - e.x0) / (e.y1 - e.y0);
    e.x = (float(y) - e.y0) * e.step + e.x0;
    int32_t* link = &mActive;
    while (*link >= 0 && mEdges[size_t(*link)].x < e.x) link = &mEdges[size_t(*link)].nextActive;
    e.nextActive = *link;
    *link = i;
    i = next;
  }
  rowHead = -1;

  // Walk left to right: the visible colour is that of the highest id whose state is set.
  int open = 0, openX = 0;
  for (int32_t i = mActive; i >= 0; i = mEdges[size_t(i)].nextActive) {
    const TEdge& e = mEdges[size_t(i)];
    if (!(e.y0 < float(y))) continue;
    float fx = e.x + CellBias * 4;
    int x = fx < -8 ? -8 : fx > AccumCells * 4 + 8 ? AccumCells * 4 + 8 : int(fx);
    if (e.id < 2) {
      mWinding[e.id] += e.colour ? 1 : -1;
      UpdateVisible(e.id, mWinding[e.id] ? 255 - e.id : 0);
    } else {
      UpdateVisible(e.id, mPathState[size_t(e.id)] ? 0 : e.colour);
    }
    int visible = mTopId < 0 ? 0 : mPathState[size_t(mTopId)];
    if (visible != open) {
      if (open) AddSpan(openX, x, SlotRow(open));
      open = visible;
      openX = x;
    }
  }
  // Shapes that do not close leave states set: start the next row clean.
  for (int32_t i = mActive; i >= 0; i = mEdges[size_t(i)].nextActive) {
    mPathState[size_t(mEdges[size_t(i)].id)] = 0;
  }
  mWinding[0] = mWinding[1] = 0;
  mTopId = -1;
}

// mPathState holds every id's visible slot: stroke layers 255 - layer while their
// winding is not zero, paths their fill colour while inside.
void TJxMiniVecDraw::UpdateVisible(int id, int state) {
  int before = mPathState[size_t(id)];
  mPathState[size_t(id)] = state;
  if (state && !before && id > mTopId) mTopId = id;
  if (!state && id == mTopId) {
    while (mTopId >= 0 && !mPathState[size_t(mTopId)]) --mTopId;
  }
}

void TJxMiniVecDraw::RecordRun(const TRun& run) {
  if (mWriteIndex == RunsPerBlock) {
    ++mWriteBlock;
    mWriteIndex = 0;
    if (mWriteBlock == mBlocks.size()) mBlocks.push_back(std::make_unique<TRunBlock>());
  }
  mBlocks[mWriteBlock]->runs[mWriteIndex++] = run;
}

void TJxMiniVecDraw::Replay(const TCacheEntry& entry) {
  size_t block = entry.block, index = entry.index;
  for (;;) {
    if (index == RunsPerBlock) {
      ++block;
      index = 0;
    }
    const TRun& run = mBlocks[block]->runs[index++];
    if (run.value == 0xFF) return;
    EmitRun(run.x0, run.x1, int16_t(run.row), run.value, run.accumRow, false);
  }
}
