// TJxMiniVecDraw: colours, coverage accumulation, span output (sink or target) and the
// start-up check.

#include <algorithm>
#include <cmath>

#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/mini_vec_draw_internal.h"

namespace {

uint32_t Channel(float v) { return v > 0 ? v < 1 ? uint32_t(v * 255) : 255 : 0; }

}  // namespace

int TJxMiniVecDraw::SlotRow(int slot) {
  if (slot == 255) return 0;
  if (slot == 254) return 1;
  return (slot & 1) ? 3 : 2;
}

void TJxMiniVecDraw::SetColour(int slot, const TColor& colour, float alphaFactor) {
  mAlphaFactor = alphaFactor;
  int row = SlotRow(slot);
  float af = colour.a * alphaFactor * 255;
  uint32_t a = af > 0 ? af < 255 ? uint32_t(af) : 255 : 0;
  TColor32 rgb = MakeColor32(0, Channel(colour.r), Channel(colour.g), Channel(colour.b));
  for (uint32_t k = 0; k < 32; ++k) {
    uint32_t alpha = k < 16 ? a * std::min(16 * (k + 1), 256u) / 256 : a * 255 / 256;
    mColourTable[row][k] = rgb | alpha << 24;
  }
  static const uint32_t EndWeights[4] = {17, 40, 73, 128};
  for (int q = 0; q < 4; ++q) mEndColour[row][q] = rgb | (a * EndWeights[q] / 256) << 24;
}

void TJxMiniVecDraw::BeginDraw(float x, float y, std::shared_ptr<IVecDrawTarget> target) {
  auto split = [](float v, int& whole, int& phase, float& offset) {
    if (!std::isfinite(v) || std::fabs(v) > 1e8f) v = 0;
    float w = std::floor(v);
    float quarters = std::floor((v - w) * 4);
    whole = int(w);
    phase = int(quarters) & 3;
    offset = v - w - quarters / 4;
  };
  split(x, mOriginX, mOriginPhaseX, mOriginOffsetX);
  split(y, mOriginY, mOriginPhaseY, mOriginOffsetY);
  if (target == mTarget) return;
  EndDraw();
  mTarget = std::move(target);
  if (mTarget && !mTarget->Lock(mTargetPixels, mTargetPitch, mTargetWidth, mTargetHeight)) {
    mTargetPixels = nullptr;  // spans for it are dropped
  }
}

void TJxMiniVecDraw::Flush() {
  if (mSpans.empty()) return;
  if (mTarget) {
    if (mTargetPixels) {
      for (const TColorSpan& span : mSpans) BlendIntoTarget(span);
    }
  } else if (mSink) {
    mSink->DrawSpans(mSpans.data(), mSpans.size());
  }
  mSpans.clear();
}

void TJxMiniVecDraw::EndDraw() {
  Flush();
  if (!mTarget) return;
  if (mTargetPixels) mTarget->Unlock();
  mTarget.reset();
  mTargetPixels = nullptr;
  mTargetPitch = mTargetWidth = mTargetHeight = 0;
}

uint32_t TJxMiniVecDraw::GetPixel(int x, int y) const {
  if (!mTargetPixels || x < 0 || y < 0 || x >= mTargetWidth || y >= mTargetHeight) return 0;
  return mTargetPixels[size_t(y) * size_t(mTargetPitch) + size_t(x)];
}

void TJxMiniVecDraw::BlendIntoTarget(const TColorSpan& span) {
  if (span.y < 0 || span.y >= mTargetHeight) return;
  int x0 = std::max(span.x0, 0), x1 = std::min(span.x1, mTargetWidth);
  uint32_t* row = mTargetPixels + size_t(span.y) * size_t(mTargetPitch);
  TColor32 s = span.colour;
  uint32_t sa = Color32Alpha(s);
  for (int x = x0; x < x1; ++x) {
    TColor32 d = row[x];
    if (mReplace) {
      row[x] = s;
    } else if (mAccumulate) {
      if (sa == 0) return;
      uint32_t da = Color32Alpha(d), sum = da + sa;
      auto mix = [&](uint32_t dc, uint32_t sc) { return (dc * da + sc * sa) / sum; };
      row[x] = MakeColor32(std::min(sum, 255u), mix(Color32Red(d), Color32Red(s)),
                           mix(Color32Green(d), Color32Green(s)), mix(Color32Blue(d), Color32Blue(s)));
    } else {
      auto over = [&](uint32_t dc, uint32_t sc) { return (sc * sa + dc * (255 - sa)) / 255; };
      row[x] = MakeColor32(Color32Alpha(d), over(Color32Red(d), Color32Red(s)),
                           over(Color32Green(d), Color32Green(s)), over(Color32Blue(d), Color32Blue(s)));
    }
  }
}

// Coverage of [xa, xb) quarter pixels (cell coordinates) on one sub-scanline, kept as
// differences: the running sum over the cells of a pixel row is the coverage.
void TJxMiniVecDraw::AddSpan(int xa, int xb, int row) {
  if (xb <= xa || xa >= AccumCells * 4 || xb <= 0) return;
  xa = std::max(xa, 0);
  xb = std::min(xb, AccumCells * 4);
  if (mDirectSpans) {
    DrawDirectSpan(xa, xb, row);
    return;
  }
  uint8_t* acc = mAccum[row];
  int ca = xa >> 2, cb = xb >> 2;
  acc[ca] = uint8_t(acc[ca] + 4 - (xa & 3));
  acc[ca + 1] = uint8_t(acc[ca + 1] + (xa & 3));
  acc[cb] = uint8_t(acc[cb] - (4 - (xb & 3)));
  acc[cb + 1] = uint8_t(acc[cb + 1] - (xb & 3));
  mDirty[row] = true;
  mLowX = std::min(mLowX, ca);
  mHighX = std::max(mHighX, cb + 1);
}

// The self test's drawer: each sub-scanline span at once, partial end pixels in the
// colour of their covered quarters.
void TJxMiniVecDraw::DrawDirectSpan(int xa, int xb, int row) {
  int ca = xa >> 2, cb = xb >> 2, qa = xa & 3, qb = xb & 3;
  if (ca == cb) {
    PushSpan(ca, ca, mPixelRow, mEndColour[row][qb - qa - 1]);
    return;
  }
  int first = ca;
  if (qa) PushSpan(ca, ca, mPixelRow, mEndColour[row][3 - qa]), first = ca + 1;
  if (cb > first) PushSpan(first, cb - 1, mPixelRow, mEndColour[row][3]);
  if (qb) PushSpan(cb, cb, mPixelRow, mEndColour[row][qb - 1]);
}

void TJxMiniVecDraw::FlushRow() {
  for (int row = 0; row < AccumRows; ++row) {
    if (!mDirty[row]) continue;
    mDirty[row] = false;
    uint8_t* acc = mAccum[row];
    uint8_t sum = 255;  // coverage - 1: no coverage is 255
    int start = mLowX;
    uint8_t value = 255;
    for (int c = mLowX; c <= mHighX; ++c) {
      sum = uint8_t(sum + acc[c]);
      acc[c] = 0;
      if (sum != value) {
        if (value != 255) EmitRun(start, c - 1, mPixelRow, value, row, true);
        start = c;
        value = sum;
      }
    }
    if (value != 255) EmitRun(start, mHighX, mPixelRow, value, row, true);
  }
  mLowX = AccumCells - 1;
  mHighX = 0;
}

void TJxMiniVecDraw::EmitRun(int cellStart, int cellEnd, int pixelRow, int value, int row, bool record) {
  if (record && mRecording) {
    RecordRun(TRun{uint16_t(cellStart), uint16_t(cellEnd), uint16_t(pixelRow), uint8_t(value),
                   uint8_t(row)});
  }
  // Coverage beyond 32 (overlapping spans of one row) saturates like 17..32 does.
  PushSpan(cellStart, cellEnd, pixelRow, mColourTable[row][std::min(value, 31)]);
}

void TJxMiniVecDraw::PushSpan(int cellStart, int cellEnd, int pixelRow, TColor32 colour) {
  mSpans.push_back(TColorSpan{mPixelBase + pixelRow, mColumn + cellStart, mColumn + cellEnd + 1, colour});
  if (int(mSpans.size()) * 2 >= mBatchSize) Flush();
}

int TJxMiniVecDraw::RunSelfTest() {
  int faults = RunSelfTestOnce();
  if (faults > 75 && mBatchSize != SafeBatch) {
    mBatchSize = SafeBatch;
    faults = RunSelfTestOnce();
  }
  mDirectSpans = false;
  return faults;
}

// 128 probes 16 quarter pixels apart, each two spans three quarters long on two pixel
// rows, with every horizontal and vertical phase; each span's pixels must be lit and its
// neighbours left and right dark.
int TJxMiniVecDraw::RunSelfTestOnce() {
  constexpr int Tests = 128, Width = 800, Height = 512, Row = 8;
  mDirectSpans = true;
  EndDraw();
  std::shared_ptr<IVecDrawTarget> target = mSink ? mSink->CreateRenderTarget(Width, Height) : nullptr;
  if (!target || !mSink->BeginRenderTarget(target)) {
    mDirectSpans = false;
    return -1;
  }
  SetColour(0, TColor{1, 1, 1, 1}, 1.0f);
  BeginDraw(0, 0, nullptr);
  mColumn = -CellBias;
  mPixelBase = 0;
  auto spanStart = [](int test) { return CellBias * 4 + 16 * test + 8 + (test & 3); };
  for (int test = 0; test < Tests; ++test) {
    int phaseY = (test >> 2) & 3;
    for (int r = 0; r < 2; ++r) {
      mPixelRow = ((Row + r) * 4 + phaseY) >> 2;
      int xa = spanStart(test);
      AddSpan(xa, xa + 3, SlotRow(0));
    }
  }
  Flush();
  mSink->EndRenderTarget();

  BeginDraw(0, 0, target);
  int faults = 0;
  for (int test = 0; test < Tests; ++test) {
    int first = (spanStart(test) >> 2) - CellBias, last = ((spanStart(test) + 2) >> 2) - CellBias;
    for (int r = 0; r < 2; ++r) {
      for (int x = first - 1; x <= last + 1; ++x) {
        bool lit = (GetPixel(x, Row + r) & 0xFFFFFF) != 0;
        if (lit != (x >= first && x <= last)) ++faults;
      }
    }
  }
  EndDraw();
  mDirectSpans = false;
  return faults;
}
