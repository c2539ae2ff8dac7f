#pragma once
// TJxMiniVecDraw: the anti-aliased rasteriser of vector shapes, above all font glyphs.
//
// A shape is a byte stream of commands (coordinates signed 16-bit little-endian in 1/128
// units, y downwards):
//   1            new path (fills of later paths cover earlier ones and all strokes)
//   2 c / 3 c    left / right fill colour of the following segments (0: none, else the
//                path's colour base + c)
//   4 x y        move to        5 x y   line to
//   6 cx cy x y  quadratic curve, drawn as three lines
//   7 r g b      defines the next colour slot (from 1), opaque at the current alpha factor
//   8            end of shape
// Edges are scan-converted at four sub-scanlines per pixel row and quarter-pixel
// precision; fills use the even-odd rule, the two stroke layers (outlines) non-zero
// winding. The coverage becomes horizontal runs of one colour whose alpha is the coverage,
// handed in batches to a span sink (the renderer) or blended into the locked pixels of a
// target. The runs of a shape are cached per shape, quarter-pixel phase and drawing
// parameters, so a glyph drawn again is replayed without scan conversion.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/math/vector_math.h"
#include "platform/color32.h"

// One run of pixels [x0, x1) on row y in one colour; the colour's alpha is the coverage.
struct TColorSpan {
  int32_t y;
  int32_t x0;
  int32_t x1;
  TColor32 colour;
};

// Pixels that the rasteriser can blend into or read back: a texture, a render target, a
// memory image. Lock gives 32-bit pixels 0xAARRGGBB with the pitch counted in pixels.
class IVecDrawTarget {
 public:
  virtual ~IVecDrawTarget() = default;
  virtual bool Lock(uint32_t*& pixels, int& pitch, int& width, int& height) = 0;
  // Writes the pixels back (a texture also asks for a redraw here).
  virtual void Unlock() = 0;
};

// What the rasteriser needs of the renderer. DrawSpans draws each span as a one-pixel-high
// line blended over the current drawing (normal alpha blending, no texture). The other
// three serve the start-up check only: an offscreen target, and a block in which the
// spans go into it (cleared to 0 at its start) instead of the screen.
class ISpanSink {
 public:
  virtual ~ISpanSink() = default;
  virtual void DrawSpans(const TColorSpan* spans, size_t count) = 0;
  virtual std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int width, int height) = 0;
  virtual bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>& target) = 0;
  virtual void EndRenderTarget() = 0;
};

// The length of a well-formed shape stream (through its end command) within size bytes,
// or 0 when it is truncated or holds an unknown command.
size_t MeasureShape(const uint8_t* shape, size_t size);

class TJxMiniVecDraw {
 public:
  // Accumulation rows: stroke layers 0 and 1, then two fill rows.
  static constexpr int AccumRows = 4;
  // Coverage cells (pixels) per accumulation row. Cell 0 lies CellBias pixels left of the
  // shape's origin, so glyph parts left of the pen (italics, negative bearings) stay.
  static constexpr int AccumCells = 3200;
  static constexpr int CellBias = 256;
  // Sub-scanline rows of the row table; the middle is the shape's y origin.
  static constexpr int RowCount = 4096;
  static constexpr int DefaultBatch = 256;  // vertices: two per span
  static constexpr int SafeBatch = 64;
  static constexpr int CacheBuckets = 2039;
  static constexpr int RunsPerBlock = 8192;
  // Past this many run blocks (32 MB) the run cache starts afresh.
  static constexpr int MaxRunBlocks = 512;

  TJxMiniVecDraw();
  ~TJxMiniVecDraw();
  TJxMiniVecDraw(const TJxMiniVecDraw&) = delete;
  TJxMiniVecDraw& operator=(const TJxMiniVecDraw&) = delete;

  // The renderer side; a non-owning link that must outlive drawing through it.
  void SetSpanSink(ISpanSink* sink) { mSink = sink; }

  // Colour tables of the slot's accumulation row (slot 255: stroke layer 0, 254: stroke
  // layer 1, 1 and other odd slots: fill row 3, 0 and other even slots: fill row 2).
  void SetColour(int slot, const TColor& colour, float alphaFactor);

  // Drawing parameters; all but the blend switches are part of the cache key.
  void SetStrokeWidths(float layer0, float layer1) { mStroke[0] = layer0, mStroke[1] = layer1; }
  // Shape units (1/128) to quarter pixels.
  void SetScale(float horizontal, float vertical) { mScaleX = horizontal, mScaleY = vertical; }
  void SetRotation(float cosine, float sine) { mRotCos = cosine, mRotSin = sine; }
  void SetItalic(bool italic) { mItalic = italic; }
  // Blending into a target: replace writes colour and alpha; accumulate grows the alpha
  // and mixes the colours by weight; neither blends the colour over and keeps the alpha.
  void SetBlend(bool replace, bool accumulate) { mReplace = replace, mAccumulate = accumulate; }

  // Sets the origin in pixels; a different target first ends the current drawing and
  // locks the new one (null: draw through the span sink).
  void BeginDraw(float x, float y, std::shared_ptr<IVecDrawTarget> target);
  // Draws a shape (a stream that MeasureShape accepts, kept alive and unchanged while
  // cached: font glyphs) at (x, y) quarter pixels from the origin.
  void DrawShape(const uint8_t* shape, int x, int y);
  // The same without the run cache, for transient paths (underlines).
  void DrawShapeUncached(const uint8_t* shape, int x, int y);
  void Flush();
  // Flushes and unlocks the target.
  void EndDraw();
  // A pixel of the locked target; 0 outside it or without one.
  uint32_t GetPixel(int x, int y) const;

  // The start-up check: draws probe spans into an 800x512 render target through the
  // sink, reads them back and counts the probes that came out wrong; more than 75 switch
  // to the safe batch size and the check runs once more. Returns the last count, -1 when
  // no render target could be used.
  int RunSelfTest();

  int GetBatchSize() const { return mBatchSize; }
  // Scan conversions so far (cache replays do not count).
  int GetScanCount() const { return mScanCount; }
  void ClearCache();

 private:
  struct TEdge;
  struct TRun;
  struct TRunBlock;
  struct TCacheKey;
  struct TCacheEntry;

  TCacheKey MakeCacheKey(const uint8_t* shape) const;
  void DrawShapeImpl(const uint8_t* shape, int x, int y, bool cached);
  bool ParseShape(const uint8_t* shape);
  void ResetShapeState();
  void AddSegment(float x0, float y0, float x1, float y1);
  void AddStroke(int layer, float x0, float y0, float x1, float y1);
  void AddEdge(float x0, float y0, float x1, float y1, int colour, int id);
  void Scan();
  void ScanRow(int y);
  void UpdateVisible(int id, int state);
  void AddSpan(int xa, int xb, int row);
  void DrawDirectSpan(int xa, int xb, int row);
  void FlushRow();
  void EmitRun(int cellStart, int cellEnd, int pixelRow, int value, int row, bool record);
  void PushSpan(int cellStart, int cellEnd, int pixelRow, TColor32 colour);
  void RecordRun(const TRun& run);
  void Replay(const TCacheEntry& entry);
  void BlendIntoTarget(const TColorSpan& span);
  int RunSelfTestOnce();
  static int SlotRow(int slot);

  // Output.
  ISpanSink* mSink = nullptr;
  std::vector<TColorSpan> mSpans;
  int mBatchSize = DefaultBatch;
  bool mDirectSpans = false;

  // Colours per accumulation row: 32 coverage levels and 4 end-coverage colours.
  TColor32 mColourTable[AccumRows][32] = {};
  TColor32 mEndColour[AccumRows][4] = {};
  float mAlphaFactor = 1.0f;

  // Drawing parameters and origin.
  float mStroke[2] = {0, 0};
  float mScaleX = 1, mScaleY = 1;
  float mRotCos = 1, mRotSin = 0;
  bool mItalic = false;
  int mOriginX = 0, mOriginY = 0;            // whole pixels
  int mOriginPhaseX = 0, mOriginPhaseY = 0;  // quarter pixels
  float mOriginOffsetX = 0, mOriginOffsetY = 0;

  // The shape being drawn.
  int mPhaseX = 0, mPhaseY = 0;
  int mColumn = 0, mPixelBase = 0;  // pixel position of the shape's cell CellBias and row 0
  std::vector<TEdge> mEdges;
  size_t mEdgeCapacity = 512;
  bool mOverflow = false;
  std::vector<int32_t> mRows;
  int mLowRow = 99999, mHighRow = -99999;
  int mPathId = 2, mColourBase = 0, mColourCount = 0, mLeftFill = 0, mRightFill = 0;
  float mPenX = 0, mPenY = 0;

  // Scan state.
  uint8_t mAccum[AccumRows][AccumCells + 2] = {};
  bool mDirty[AccumRows] = {};
  int mLowX = AccumCells - 1, mHighX = 0;
  int mPixelRow = 0;
  int32_t mActive = -1;
  int mWinding[2] = {0, 0};
  std::vector<int> mPathState;  // by path id; 0 none, else the fill colour slot
  int mTopId = -1;              // highest id whose state is not zero

  // Run cache.
  std::vector<std::unique_ptr<TCacheEntry>> mBuckets;
  std::vector<std::unique_ptr<TRunBlock>> mBlocks;
  size_t mWriteBlock = 0, mWriteIndex = 0;
  bool mRecording = false;
  std::unique_ptr<TCacheEntry> mSpare;
  int mScanCount = 0;

  // Software target.
  std::shared_ptr<IVecDrawTarget> mTarget;
  uint32_t* mTargetPixels = nullptr;
  int mTargetPitch = 0, mTargetWidth = 0, mTargetHeight = 0;
  bool mReplace = false, mAccumulate = false;
};
