#include "graphics/device/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

#include "graphics/device/quad_setup.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define RASTER_MASKS 1
#define MASK_FN __attribute__((target("avx512f,avx512bw,avx512vl,avx512dq")))
#endif

namespace {

using quad_setup::AttrCount;
using quad_setup::Attributes;
using quad_setup::CeilDiv;
using quad_setup::FloorDiv;
using quad_setup::PlaneBits;
using quad_setup::PlaneSlot;
using quad_setup::RoundToInt;
using quad_setup::SetPlane;
using quad_setup::Snap;
using quad_setup::UsedAttributes;

bool SamePlane(const TPlane& a, const TPlane& b) {
  return a.a0 == b.a0 && a.dx == b.dx && a.dy == b.dy && a.xref == b.xref && a.yref == b.yref;
}

bool SamePlanes(const TAttributePlanes& a, const TAttributePlanes& b) {
  if (a.perspective || b.perspective || a.linearFilter != b.linearFilter) return false;
  for (int k = 0; k < 4; ++k)
    if (!SamePlane(a.color[k], b.color[k])) return false;
  for (int k = 0; k < 3; ++k)
    if (!SamePlane(a.specular[k], b.specular[k])) return false;
  return SamePlane(a.u, b.u) && SamePlane(a.v, b.v) && SamePlane(a.z, b.z);
}

}  // namespace

int64_t PerspectiveTexel(double numerator, double q) {
  if (q == 0.0) return 0;
  double t = numerator / q * double(1 << TexelFracBits);
  t = std::clamp(t, -4.0e15, 4.0e15);
  return RoundToInt(t);
}

bool TriangleCovers(const TTriangleSetup& t, int32_t x, int32_t y) {
  int64_t px = int64_t(x) * (1 << SubPixelBits), py = int64_t(y) * (1 << SubPixelBits);
  for (int i = 0; i < 3; ++i)
    if (t.A[i] * (px - t.Xa[i]) + t.B[i] * (py - t.Ya[i]) < t.bias[i]) return false;
  return true;
}

bool TriangleRow(const TTriangleSetup& t, const TDevRect& scissor, int32_t y, int32_t& x0, int32_t& x1) {
  int64_t lo = scissor.left, hi = scissor.right;
  int64_t py = int64_t(y) * (1 << SubPixelBits);
  for (int i = 0; i < 3; ++i) {
    // E(px) = A * 256 * px + c >= bias
    int64_t c = t.B[i] * (py - t.Ya[i]) - t.A[i] * t.Xa[i];
    int64_t a = t.A[i] * (1 << SubPixelBits);
    if (a > 0)
      lo = std::max(lo, CeilDiv(t.bias[i] - c, a));
    else if (a < 0)
      hi = std::min(hi, FloorDiv(c - t.bias[i], -a) + 1);
    else if (c < t.bias[i])
      return false;
  }
  if (lo >= hi) return false;
  x0 = int32_t(lo);
  x1 = int32_t(hi);
  return true;
}

namespace {

// The row steps must melt into the walking loops.
#if defined(__GNUC__)
#define RASTER_INLINE inline __attribute__((always_inline))
#else
#define RASTER_INLINE inline
#endif

// The rows of a set-up triangle, one after the other. The left and right bounds of
// each edge are stepped from row to row with an exact quotient and remainder, giving
// the same pixels as TriangleRow without its divisions.
class TRowWalker {
 public:
  // False when the triangle has no rows.
  bool Start(const TTriangleSetup& t);
  int32_t Top() const { return mTop; }
  int32_t Bottom() const { return mBottom; }
  // The pixels [x0, x1) of the next row within [left, right); rows are taken in order
  // from Top() to Bottom(), each exactly once.
  RASTER_INLINE bool Next(int64_t left, int64_t right, int32_t& x0, int32_t& x1) {
    return NextOf<TSides::Any>(left, right, x0, x1);
  }
  // Which bound slots hold edges: any, or (three edges, none horizontal) two on the
  // left and one on the right, or one on the left and two on the right.
  enum class TSides { Any, TwoLeft, TwoRight };
  TSides Sides() const { return mSides; }
  // Next for walkers of these sides: the slot without an edge is not stepped.
  template <TSides Sides>
  RASTER_INLINE bool NextOf(int64_t left, int64_t right, int32_t& x0, int32_t& x1) {
    constexpr bool bothLeft = Sides != TSides::TwoRight, bothRight = Sides != TSides::TwoLeft;
    int64_t lo = std::max(left, mLefts[0].q), hi = std::min(right, mRights[0].q + 1);
    if (bothLeft) lo = std::max(lo, mLefts[1].q);
    if (bothRight) hi = std::min(hi, mRights[1].q + 1);
    Advance(mLefts[0]);
    if (bothLeft) Advance(mLefts[1]);
    Advance(mRights[0]);
    if (bothRight) Advance(mRights[1]);
    x0 = int32_t(lo);
    x1 = int32_t(hi);
    return lo < hi;
  }

 private:
  struct TBound { int64_t q, r, dq, dr, a; };
  // Without a branch: whether the remainder carries changes unpredictably by row.
  RASTER_INLINE static void Advance(TBound& e) {
    int64_t r = e.r + e.dr, carry = r >= e.a ? 1 : 0;
    e.r = r - (e.a & -carry);
    e.q += e.dq + carry;
  }
  // A triangle has one or two edges on each side; a missing one is a bound that never
  // binds, so every row takes the same steps without branches on the count.
  TBound mLefts[2], mRights[2];
  int32_t mTop = 0, mBottom = 0;
  TSides mSides = TSides::Any;
};

bool TRowWalker::Start(const TTriangleSetup& t) {
  // A horizontal edge keeps or drops whole rows (c >= bias, c linear in the row): it
  // narrows the rows once. The others bound x from the left or the right.
  int32_t top = t.rowTop, bottom = t.rowBottom;
  for (int i = 0; i < 3; ++i) {
    if (t.A[i] != 0) continue;
    int64_t c = t.B[i] * ((int64_t(top) << SubPixelBits) - t.Ya[i]) - t.A[i] * t.Xa[i];
    int64_t step = t.B[i] * (1 << SubPixelBits), need = t.bias[i] - c;  // rows need c + k * step >= bias
    if (step > 0 && need > 0)
      top = int32_t(std::min<int64_t>(int64_t(top) + CeilDiv(need, step), bottom));
    else if (step < 0)
      bottom = int32_t(std::min<int64_t>(bottom, need > 0 ? top : int64_t(top) + FloorDiv(-need, -step) + 1));
    else if (step == 0 && need > 0)
      return false;
  }
  if (top >= bottom) return false;
  mTop = top;
  mBottom = bottom;
  // Left: x >= ceil((bias - c) / a); right: x <= floor((c - bias) / -a).
  constexpr int64_t Far = int64_t(1) << 40;  // beyond any target coordinate
  mLefts[0] = mLefts[1] = {-Far, 0, 0, 0, 1};
  mRights[0] = mRights[1] = {Far, 0, 0, 0, 1};
  int leftCount = 0, rightCount = 0;
  int64_t py = int64_t(top) * (1 << SubPixelBits);
  for (int i = 0; i < 3; ++i) {
    int64_t a = t.A[i] * (1 << SubPixelBits);
    if (a == 0) continue;
    int64_t c = t.B[i] * (py - t.Ya[i]) - t.A[i] * t.Xa[i];
    int64_t step = t.B[i] * (1 << SubPixelBits);  // c grows by this per row
    // The side is chosen by selects, not branches: an edge's direction is a coin toss
    // from quad to quad.
    const bool left = a > 0;
    const int slot = left ? leftCount : rightCount;
    if (slot == 2) return false;  // edges of one side sum to zero with the other's
    leftCount += left;
    rightCount += !left;
    TBound& e = (left ? mLefts : mRights)[slot];
    e.a = left ? a : -a;
    int64_t num = left ? t.bias[i] - c + e.a - 1 : c - t.bias[i];
    int64_t dnum = left ? -step : step;
    e.q = FloorDiv(num, e.a);
    e.r = num - e.q * e.a;
    e.dq = FloorDiv(dnum, e.a);
    e.dr = dnum - e.dq * e.a;
  }
  mSides = leftCount + rightCount < 3 ? TSides::Any : leftCount == 2 ? TSides::TwoLeft : TSides::TwoRight;
  return true;
}

void WalkTriangle(const TRasterState& state, const TTriangleSetup& t) {
  TRowWalker rows;
  if (!rows.Start(t)) return;
  TSpanJob job;
  PrepareSpans(state, t.planes, job);
  int32_t x0, x1;
  for (int32_t y = rows.Top(); y < rows.Bottom(); ++y)
    if (rows.Next(state.scissor.left, state.scissor.right, x0, x1)) job.draw(job, y, x0, x1);
}

// The span loops of a pair's two triangles, and how their rows reach them: gathered
// for the loop that draws many at once, or drawn span by span.
struct TPairJobs {
  TSpanJob a, b;
  bool batched = false, same = false;
  TRowBatch* batch = nullptr;
};

void PreparePair(const TRasterState& state, const TTriangleSetup& a, const TTriangleSetup& b, TRowBatch* batch,
                 TPairJobs& jobs) {
  PrepareSpans(state, a.planes, jobs.a);
  PrepareSpans(state, b.planes, jobs.b);
  jobs.batched = jobs.a.rows && jobs.a.rows == jobs.b.rows && jobs.a.tint == jobs.b.tint;
  if (!jobs.batched && batch) batch->Flush();
  // Only rows drawn one by one look at this (comparing all planes costs as much as a row).
  jobs.same = !jobs.batched && SamePlanes(a.planes, b.planes);
  jobs.batch = batch;
}

// Rows gathered for the loop that draws many at once, per call.
constexpr int32_t PairRows = 32;

// Pixels [x0, xm) of one triangle of the pair and [xm, x1) of the other (b first with
// secondFirst) on row y: gathered in rows (count of them so far), or drawn.
RASTER_INLINE void EmitPairSpan(const TPairJobs& jobs, TRowSpan* rows, int32_t& count, int32_t y, int32_t x0,
                                int32_t xm, int32_t x1, bool secondFirst) {
  if (jobs.batched) {
    rows[count++] = {y, x0, xm, x1, secondFirst};
    if (count == PairRows) {
      jobs.a.rows(jobs.a, jobs.b, rows, count, jobs.batch);
      count = 0;
    }
    return;
  }
  const TSpanJob &first = secondFirst ? jobs.b : jobs.a, &second = secondFirst ? jobs.a : jobs.b;
  if (jobs.same) {
    first.draw(first, y, x0, x1);
    return;
  }
  if (x0 < xm) first.draw(first, y, x0, xm);
  if (xm < x1) second.draw(second, y, xm, x1);
}

// One row of the pair, a's pixels [a0, a1) where inA, b's [b0, b1) where inB. Where
// one's pixels end where the other's begin (the top-left rule gives the shared edge's
// pixels to exactly one of them), both are one span, each pixel with the planes of its
// triangle; else a's span comes first, then b's.
RASTER_INLINE void EmitPairRow(const TPairJobs& jobs, TRowSpan* rows, int32_t& count, int32_t y, bool inA, int32_t a0,
                               int32_t a1, bool inB, int32_t b0, int32_t b1) {
  if (inA && inB && a1 == b0) {
    EmitPairSpan(jobs, rows, count, y, a0, a1, b1, false);
  } else if (inA && inB && b1 == a0) {
    EmitPairSpan(jobs, rows, count, y, b0, b1, a1, true);
  } else {
    if (inA) EmitPairSpan(jobs, rows, count, y, a0, a1, a1, false);
    if (inB) EmitPairSpan(jobs, rows, count, y, b0, b1, b1, true);
  }
}

// Two set-up triangles sharing an edge, walked in one pass, row by row (EmitPairRow).
// Every pixel thus sees the same operations in the same order as when the triangles
// are drawn one after the other, even where they overlap. Rows for the loop that draws
// many at once may stay queued in the batch; anything else drawn flushes it first.
void WalkBothTriangles(const TRasterState& state, const TTriangleSetup& a, const TTriangleSetup& b, TRowBatch* batch) {
  TRowWalker ra, rb;
  bool hasA = ra.Start(a), hasB = rb.Start(b);
  if (!hasA || !hasB) {
    if (batch) batch->Flush();
    if (hasA) WalkTriangle(state, a);
    if (hasB) WalkTriangle(state, b);
    return;
  }
  TPairJobs jobs;
  PreparePair(state, a, b, batch, jobs);
  TRowSpan rows[PairRows];
  int32_t count = 0;
  const int64_t left = state.scissor.left, right = state.scissor.right;
  const int32_t top = std::min(ra.Top(), rb.Top()), bottom = std::max(ra.Bottom(), rb.Bottom());
  auto walk = [&](auto sidesA, auto sidesB) {
    for (int32_t y = top; y < bottom; ++y) {
      int32_t a0 = 0, a1 = 0, b0 = 0, b1 = 0;
      bool inA = y >= ra.Top() && y < ra.Bottom() && ra.NextOf<decltype(sidesA)::value>(left, right, a0, a1);
      bool inB = y >= rb.Top() && y < rb.Bottom() && rb.NextOf<decltype(sidesB)::value>(left, right, b0, b1);
      EmitPairRow(jobs, rows, count, y, inA, a0, a1, inB, b0, b1);
    }
  };
  // The sides of each triangle chosen once per pair, so that rows step three bounds
  // each (the common case), not four.
  using TSides = TRowWalker::TSides;
  using TTwoLeft = std::integral_constant<TSides, TSides::TwoLeft>;
  using TTwoRight = std::integral_constant<TSides, TSides::TwoRight>;
  using TAny = std::integral_constant<TSides, TSides::Any>;
  const TSides sa = ra.Sides(), sb = rb.Sides();
  if (sa == TSides::TwoLeft && sb == TSides::TwoLeft)
    walk(TTwoLeft{}, TTwoLeft{});
  else if (sa == TSides::TwoLeft && sb == TSides::TwoRight)
    walk(TTwoLeft{}, TTwoRight{});
  else if (sa == TSides::TwoRight && sb == TSides::TwoLeft)
    walk(TTwoRight{}, TTwoLeft{});
  else if (sa == TSides::TwoRight && sb == TSides::TwoRight)
    walk(TTwoRight{}, TTwoRight{});
  else
    walk(TAny{}, TAny{});
  if (count > 0) jobs.a.rows(jobs.a, jobs.b, rows, count, batch);
}

#if defined(RASTER_MASKS)
// The widest pair the mask walk takes, in pixels, and its tallest.
constexpr int32_t MaskLanes = 16, MaskRows = 64;

#define MASK_INLINE inline __attribute__((always_inline, target("avx512f,avx512bw,avx512vl,avx512dq")))

// Edge i of t less its bias at the pixel centres (x0 + lane, y), and its step from row
// to row.
MASK_INLINE __m512i MaskEdge(const TTriangleSetup& t, int i, int64_t x0, int32_t y, __m512i lane) {
  const int64_t one = 1 << SubPixelBits;
  const int64_t start = t.A[i] * (x0 * one - t.Xa[i]) + t.B[i] * (int64_t(y) * one - t.Ya[i]) - t.bias[i];
  return _mm512_add_epi32(_mm512_set1_epi32(int32_t(start)),
                          _mm512_mullo_epi32(lane, _mm512_set1_epi32(int32_t(t.A[i] * one))));
}
MASK_INLINE __m512i MaskEdgeStep(const TTriangleSetup& t, int i) {
  return _mm512_set1_epi32(int32_t(t.B[i] * (1 << SubPixelBits)));
}

// Small pairs (particles) with AVX-512, sixteen pixel centres of a row at a time: each
// triangle's three edge functions (less their bias) in 32-bit lanes, stepped from row
// to row by additions, instead of edge bounds started with divisions. A pixel is
// covered where none of its triangle's three is negative; a convex triangle's covered
// pixels in a row are contiguous, so the first and last covered lanes give exactly the
// walkers' spans, and the rows go out as WalkBothTriangles sends them, unless the
// state's loop for such pairs draws them straight from the masks. False for pairs
// wider or taller than it takes.
MASK_FN bool WalkPairByMasks(const TRasterState& state, const TTriangleSetup& a, const TTriangleSetup& b,
                             TRowBatch* batch) {
  const int64_t one = 1 << SubPixelBits;
  const int64_t minX = std::min({a.X[0], a.X[1], a.X[2], b.X[0], b.X[1], b.X[2]});
  const int64_t maxX = std::max({a.X[0], a.X[1], a.X[2], b.X[0], b.X[1], b.X[2]});
  const int64_t minY = std::min({a.Y[0], a.Y[1], a.Y[2], b.Y[0], b.Y[1], b.Y[2]});
  const int64_t maxY = std::max({a.Y[0], a.Y[1], a.Y[2], b.Y[0], b.Y[1], b.Y[2]});
  // Covered pixel centres lie within the vertices' box, so its first sixteen columns
  // hold them all; within these limits every edge function stays below 2^27.
  if (maxX - minX > (MaskLanes - 1) * one || maxY - minY > MaskRows * one) return false;
  const int64_t x0 = CeilDiv(minX, one);
  const int32_t top = std::min(a.rowTop, b.rowTop), bottom = std::max(a.rowBottom, b.rowBottom);
  // The lanes within the scissor's columns.
  const int64_t firstLane = std::clamp<int64_t>(state.scissor.left - x0, 0, MaskLanes);
  const int64_t endLane = std::clamp<int64_t>(state.scissor.right - x0, 0, MaskLanes);
  const uint32_t inScissor = ((1u << endLane) - 1) & ~((1u << firstLane) - 1);
  const __m512i lane = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
  // Named, not an array, so that all twelve stay in registers.
  __m512i a0 = MaskEdge(a, 0, x0, top, lane), a1 = MaskEdge(a, 1, x0, top, lane), a2 = MaskEdge(a, 2, x0, top, lane);
  __m512i b0 = MaskEdge(b, 0, x0, top, lane), b1 = MaskEdge(b, 1, x0, top, lane), b2 = MaskEdge(b, 2, x0, top, lane);
  const __m512i da0 = MaskEdgeStep(a, 0), da1 = MaskEdgeStep(a, 1), da2 = MaskEdgeStep(a, 2);
  const __m512i db0 = MaskEdgeStep(b, 0), db1 = MaskEdgeStep(b, 1), db2 = MaskEdgeStep(b, 2);
  uint16_t inA[MaskRows + 1], inB[MaskRows + 1];
  const int32_t count = bottom - top;
  for (int32_t k = 0; k < count; ++k) {
    // A lane's sign bit is set where any of the three is negative (0xFE: or).
    const uint32_t outA = _mm512_movepi32_mask(_mm512_ternarylogic_epi32(a0, a1, a2, 0xFE));
    const uint32_t outB = _mm512_movepi32_mask(_mm512_ternarylogic_epi32(b0, b1, b2, 0xFE));
    a0 = _mm512_add_epi32(a0, da0), a1 = _mm512_add_epi32(a1, da1), a2 = _mm512_add_epi32(a2, da2);
    b0 = _mm512_add_epi32(b0, db0), b1 = _mm512_add_epi32(b1, db1), b2 = _mm512_add_epi32(b2, db2);
    inA[k] = uint16_t(~outA & inScissor);
    inB[k] = uint16_t(~outB & inScissor);
  }
  const int32_t left = int32_t(x0);
  const TRasterState::TMaskedPairLoop direct = state.maskedPairs[a.planes.linearFilter ? 1 : 0];
  if (direct && direct(state, a.planes, b.planes, TPairMasks{left, top, count, inA, inB}, batch)) return true;
  TPairJobs jobs;
  PreparePair(state, a, b, batch, jobs);
  TRowSpan rows[PairRows];
  int32_t queued = 0;
  for (int32_t k = 0; k < count; ++k) {
    const uint32_t maskA = inA[k], maskB = inB[k];
    const int32_t fromA = maskA ? left + __builtin_ctz(maskA) : 0, endA = maskA ? left + 32 - __builtin_clz(maskA) : 0;
    const int32_t fromB = maskB ? left + __builtin_ctz(maskB) : 0, endB = maskB ? left + 32 - __builtin_clz(maskB) : 0;
    EmitPairRow(jobs, rows, queued, top + k, maskA != 0, fromA, endA, maskB != 0, fromB, endB);
  }
  if (queued > 0) jobs.a.rows(jobs.a, jobs.b, rows, queued, batch);
  return true;
}
#endif

}  // namespace

void DrawTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2) {
  TTriangleSetup t;
  if (SetupTriangle(state, v0, v1, v2, t)) WalkTriangle(state, t);
}

void DrawQuad(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2,
              const TRasterVertex& v3) {
  TTriangleSetup a, b;
  bool hasA = SetupTriangle(state, v0, v1, v2, a), hasB = SetupTriangle(state, v0, v2, v3, b);
  if (hasA && hasB && SamePlanes(a.planes, b.planes)) {
    // An axis-aligned rectangle split on its diagonal: by the top-left rule the two
    // halves cover exactly the pixel centres in [left, right) x [top, bottom), and
    // with equal planes one span per row gives the same pixels as two.
    int64_t X[4] = {Snap(v0.x), Snap(v1.x), Snap(v2.x), Snap(v3.x)}, Y[4] = {Snap(v0.y), Snap(v1.y), Snap(v2.y), Snap(v3.y)};
    bool rect = X[0] != X[2] && Y[0] != Y[2] &&
                ((X[1] == X[2] && Y[1] == Y[0] && X[3] == X[0] && Y[3] == Y[2]) ||
                 (X[1] == X[0] && Y[1] == Y[2] && X[3] == X[2] && Y[3] == Y[0]));
    if (rect) {
      const int64_t one = 1 << SubPixelBits;
      int64_t left = std::max<int64_t>(CeilDiv(std::min(X[0], X[2]), one), state.scissor.left);
      int64_t right = std::min<int64_t>(CeilDiv(std::max(X[0], X[2]), one), state.scissor.right);
      int64_t top = std::max<int64_t>(CeilDiv(std::min(Y[0], Y[2]), one), state.scissor.top);
      int64_t bottom = std::min<int64_t>(CeilDiv(std::max(Y[0], Y[2]), one), state.scissor.bottom);
      TSpanJob job;
      PrepareSpans(state, a.planes, job);
      for (int64_t y = top; left < right && y < bottom; ++y) job.draw(job, int32_t(y), int32_t(left), int32_t(right));
      return;
    }
  }
  if (hasA && hasB) {
    WalkBothTriangles(state, a, b, nullptr);
    return;
  }
  if (hasA) WalkTriangle(state, a);
  if (hasB) WalkTriangle(state, b);
}

void DrawTrianglePair(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                      const TRasterVertex& v2, const TRasterVertex& v3) {
  TTriangleSetup a, b;
  WalkTrianglePair(state, a, b, SetupTrianglePair(state, v0, v1, v2, v3, a, b));
}

void WalkTrianglePair(const TRasterState& state, const TTriangleSetup& a, const TTriangleSetup& b, uint32_t drawn,
                      TRowBatch* batch) {
  if (drawn == 3) {
#if defined(RASTER_MASKS)
    if (SpanWidthInUse() == TSpanWidth::Avx512 && WalkPairByMasks(state, a, b, batch)) return;
#endif
    WalkBothTriangles(state, a, b, batch);
    return;
  }
  if (batch) batch->Flush();
  if (drawn == 1)
    WalkTriangle(state, a);
  else if (drawn == 2)
    WalkTriangle(state, b);
}

bool SetupLine(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, TLineSetup& l) {
  double dx = double(v1.x) - v0.x, dy = double(v1.y) - v0.y;
  if (dx == 0 && dy == 0) return false;
  l.xMajor = std::fabs(dx) >= std::fabs(dy);
  double start = l.xMajor ? v0.x : v0.y, end = l.xMajor ? v1.x : v1.y;
  double span = end - start;
  // Pixels whose centres lie on [start, end), walking from start towards end.
  if (span > 0) {
    l.step = 1;
    l.first = int32_t(std::ceil(start));
    l.last = int32_t(std::ceil(end)) - 1;
  } else {
    l.step = -1;
    l.first = int32_t(std::floor(start));
    l.last = int32_t(std::floor(end)) + 1;
  }
  l.x0 = start;
  l.y0 = l.xMajor ? v0.y : v0.x;
  l.slope = (l.xMajor ? dy : dx) / span;
  double a0[AttrCount], a1[AttrCount];
  Attributes(v0, state.texture, a0);
  Attributes(v1, state.texture, a1);
  if (state.flatShade)
    for (int k = 0; k < 7; ++k) a1[k] = a0[k];
  int32_t ref = int32_t(std::floor(start));
  const uint32_t used = UsedAttributes(state);
  for (int k = 0; k < AttrCount; ++k) {
    if (!(used >> k & 1)) {
      *PlaneSlot(l.planes, k) = TPlane{};
      continue;
    }
    double d = (a1[k] - a0[k]) / span;
    double atRef = a0[k] + d * (ref - start);
    if (l.xMajor)
      SetPlane(*PlaneSlot(l.planes, k), atRef, d, 0, ref, 0, PlaneBits(k));
    else
      SetPlane(*PlaneSlot(l.planes, k), atRef, 0, d, 0, ref, PlaneBits(k));
  }
  double du = (a1[7] - a0[7]) / span, dv = (a1[8] - a0[8]) / span;
  l.planes.linearFilter = (du * du + dv * dv) <= 1.0 ? state.magLinear : state.minLinear;
  l.planes.perspective = false;
  return l.step > 0 ? l.first <= l.last : l.first >= l.last;
}

int32_t LineMinor(const TLineSetup& l, int32_t major) {
  return int32_t(std::floor(l.y0 + (double(major) - l.x0) * l.slope + 0.5));
}

void DrawLine(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1) {
  TLineSetup l;
  if (!SetupLine(state, v0, v1, l)) return;
  const TDevRect& s = state.scissor;
  if (l.xMajor && l.slope == 0.0) {
    // A horizontal line is one span.
    TSpan span;
    span.y = LineMinor(l, l.first);
    if (span.y < s.top || span.y >= s.bottom) return;
    span.x0 = std::max(std::min(l.first, l.last), s.left);
    span.x1 = std::min(std::max(l.first, l.last) + 1, s.right);
    if (span.x0 < span.x1) DrawSpan(state, l.planes, span);
    return;
  }
  TSpanJob job;
  PrepareSpans(state, l.planes, job);
  for (int32_t m = l.first;; m += l.step) {
    int32_t minor = LineMinor(l, m);
    int32_t x = l.xMajor ? m : minor, y = l.xMajor ? minor : m;
    if (x >= s.left && x < s.right && y >= s.top && y < s.bottom) job.draw(job, y, x, x + 1);
    if (m == l.last) break;
  }
}
