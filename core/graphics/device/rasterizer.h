// Triangle and line set-up and walking: Direct3D's pixel-centre convention (centres
// on integer coordinates) and top-left fill rule on vertices snapped to 1/256 pixel.
#pragma once

#include <cstdint>

#include "graphics/device/raster_types.h"

constexpr int SubPixelBits = 8;

struct TTriangleSetup {
  int64_t X[3], Y[3];  // snapped positions, 1/256 pixel
  // Edge functions E(P) = A * (PX - Xa) + B * (PY - Ya) in snapped units, positive
  // inside; a pixel centre is inside when E >= bias for all three edges (bias 0 on
  // top and left edges, 1 elsewhere).
  int64_t A[3], B[3], Xa[3], Ya[3], bias[3];
  int32_t rowTop = 0, rowBottom = 0;  // rows [rowTop, rowBottom) that may hold pixels
  TAttributePlanes planes;
};

// Culls, orders and sets up a triangle; false when nothing is drawn (culled,
// degenerate or outside the scissor).
bool SetupTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2,
                   TTriangleSetup& out);
// Whether a pixel centre lies inside a set-up triangle (the plain test).
bool TriangleCovers(const TTriangleSetup& t, int32_t x, int32_t y);
// The pixels [x0, x1) of row y inside the triangle and the scissor.
bool TriangleRow(const TTriangleSetup& t, const TDevRect& scissor, int32_t y, int32_t& x0, int32_t& x1);

void DrawTriangle(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2);
// The triangles (v0, v1, v2) and (v0, v2, v3); an axis-aligned rectangle is drawn one
// span per row.
void DrawQuad(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, const TRasterVertex& v2,
              const TRasterVertex& v3);

// The triangles (v0, v1, v2) and (v1, v3, v2) sharing the edge v1-v2, as quads of
// indexed lists come: walked in one pass, with the same pixels as two DrawTriangle
// calls.
void DrawTrianglePair(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1,
                      const TRasterVertex& v2, const TRasterVertex& v3);
// The walk of DrawTrianglePair after the set-up: drawn says which of a and b exist (bit
// 0 and bit 1, as SetupTrianglePair returns it). With a batch, the rows loop may leave
// pixels queued in it for the quads that follow (see TRowBatch).
void WalkTrianglePair(const TRasterState& state, const TTriangleSetup& a, const TTriangleSetup& b, uint32_t drawn,
                      TRowBatch* batch = nullptr);

// A line covers the pixels whose centres lie on [start, end) along its major axis,
// one per column (or row), in the row (column) nearest to the line. A horizontal
// line from (x0, y) to (x1, y) covers exactly [x0, x1).
struct TLineSetup {
  bool xMajor = true;
  int32_t first = 0, last = 0;  // major-axis pixels first..last inclusive (first > last: none)
  int32_t step = 1;             // +1 or -1 along the major axis
  double x0 = 0, y0 = 0, slope = 0;  // minor = y0 + (major - x0) * slope (roles swap for y-major)
  TAttributePlanes planes;      // linear along the major axis (dy unused)
};
bool SetupLine(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1, TLineSetup& out);
// The minor-axis coordinate of a major-axis pixel.
int32_t LineMinor(const TLineSetup& l, int32_t major);
void DrawLine(const TRasterState& state, const TRasterVertex& v0, const TRasterVertex& v1);

// The loop that draws the spans of one triangle or line, chosen once for its state and
// planes: the optimised loops where they apply, else the general one.
struct TSpanJob {
  using TDraw = void (*)(const TSpanJob& job, int32_t y, int32_t x0, int32_t x1);
  TDraw draw = nullptr;
  const TRasterState* state = nullptr;
  const TAttributePlanes* planes = nullptr;
  bool tintConstant = false;  // the diffuse colour is the same at every pixel: tint
  uint32_t tint = 0;
  TDraw sampled = nullptr;  // the fused sample-and-blend loop for spans not copied texel for texel
  // Draws rows of two triangles in one call (see TRowSpan); set when the span loop has
  // such a form. Both jobs must share it and their constant tint.
  // With a batch, pixels may stay queued in it after the call (see TRowBatch).
  using TRowsDraw = void (*)(const TSpanJob& a, const TSpanJob& b, const TRowSpan* rows, int32_t count,
                             TRowBatch* batch);
  TRowsDraw rows = nullptr;
};

// Pixels that a rows loop leaves queued from one call to the next, so that the quads of
// a draw call share the fixed costs of a call (its constants, and the last partly
// filled vector that each quad would leave). The loop draws them when the queue is
// full, before pixels they may overlap, and when another loop or state comes; its
// owner calls Flush before anything else draws to the target, and at the end.
struct TRowBatch {
  static constexpr int32_t Capacity = 1024, Slack = 32;  // a row's last lanes and the padding
  alignas(64) int32_t u[Capacity + Slack];
  alignas(64) int32_t v[Capacity + Slack];
  alignas(64) int32_t offset[Capacity + Slack];  // pixels from the target's first
  alignas(64) uint32_t tint[Capacity + Slack];
  int32_t count = 0;
  // A box around the pixels of the last partly filled vector of sixteen: the pixels of
  // one vector are read before any is written, so a quad reaching into the box is
  // drawn after the queue.
  int32_t openX0 = 0, openX1 = -1, openY0 = 0, openY1 = -1;
  const TRasterState* state = nullptr;
  void (*drain)(TRowBatch& batch) = nullptr;

  TRowBatch() = default;
  TRowBatch(const TRowBatch&) = delete;
  TRowBatch& operator=(const TRowBatch&) = delete;
  ~TRowBatch() { Flush(); }  // queued pixels are never lost
  void Flush() {
    if (count > 0) drain(*this);
  }
};

// The pixels of a pair of triangles a and b no wider than sixteen: in row top + k, bit j
// of inA[k] (inB[k]) says that pixel x0 + j lies in a (b) and the scissor.
struct TPairMasks {
  int32_t x0, top, rows;
  const uint16_t* inA;
  const uint16_t* inB;
};

// One row of two triangles a and b: pixels [x0, xm) with the planes of a and [xm, x1)
// with those of b, or the other way round with secondFirst.
struct TRowSpan {
  int32_t y, x0, xm, x1;
  bool secondFirst;
};
void PrepareSpans(const TRasterState& state, const TAttributePlanes& planes, TSpanJob& job);

// Whether the span loops may use AVX2 where the processor has it (on by default; the
// tests switch it off to cover the SSE2 loops too). Read by PrepareRasterState.
void AllowWideSpans(bool allowed);
// Whether PrepareRasterState chooses the AVX2 loops now.
bool WideSpansInUse();

// Draws one span with the planes (the optimised loops, falling back to the general one).
void DrawSpan(const TRasterState& state, const TAttributePlanes& planes, const TSpan& span);
// The general per-pixel loop: every state, no shortcuts.
void DrawSpanGeneric(const TRasterState& state, const TAttributePlanes& planes, const TSpan& span);

// Texture addressing of one texel index (wrap, mirror, else clamp) and the fetch of
// one texel as ARGB, as every loop does them.
int32_t AddressTexel(int64_t i, int32_t size, uint32_t mode);
uint32_t FetchTexel(const TRasterTexture& texture, int32_t x, int32_t y);

// The most pixels that one call of SampleTexels takes.
constexpr int32_t SampleChunk = 64;
// The texels (ARGB) of the n <= SampleChunk pixels from (x, y) on, with affine
// coordinates (planes.perspective false): the general loop's per-pixel sampling, with
// the coordinates stepped from pixel to pixel and the filter and addressing chosen
// once per call.
void SampleTexels(const TRasterState& state, const TAttributePlanes& planes, int32_t x, int32_t y, int32_t n,
                  uint32_t* out);
