#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "graphics/text/mini_vec_draw.h"
#include "mini_vec_draw_reference.h"

namespace {

// A memory image that the rasteriser locks, or that the sink draws into.
class TMemoryTarget : public IVecDrawTarget {
 public:
  TMemoryTarget(int width, int height) : width(width), height(height), pixels(size_t(width) * height) {}
  bool Lock(uint32_t*& p, int& pitch, int& w, int& h) override {
    if (failLock) return false;
    p = pixels.data(), pitch = width, w = width, h = height;
    locked = true;
    return true;
  }
  void Unlock() override {
    locked = false;
    ++unlocks;
  }
  uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }

  int width, height;
  std::vector<uint32_t> pixels;
  bool locked = false, failLock = false;
  int unlocks = 0;
};

// The renderer's side for tests: records the spans, or blends them into a render target
// while one is begun. With spansPerBatchLimit set it loses every span of a batch past that
// many, as a device with a too small vertex buffer would.
class TRecordingSink : public ISpanSink {
 public:
  void DrawSpans(const TColorSpan* spans, size_t count) override {
    batches.push_back(count);
    for (size_t i = 0; i < count; ++i) {
      if (spansPerBatchLimit && i >= spansPerBatchLimit) break;
      if (!current) {
        recorded.push_back(spans[i]);
        continue;
      }
      const TColorSpan& s = spans[i];
      for (int x = std::max(s.x0, 0); x < std::min(s.x1, current->width); ++x) {
        if (s.y < 0 || s.y >= current->height) continue;
        uint32_t& d = current->pixels[size_t(s.y) * current->width + x];
        uint32_t a = s.colour >> 24;
        uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
          out |= ((s.colour >> shift & 0xFF) * a + (d >> shift & 0xFF) * (255 - a)) / 255 << shift;
        }
        d = out | 0xFF000000u;
      }
    }
  }
  std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int width, int height) override {
    if (!canMakeTargets) return nullptr;
    made = std::make_shared<TMemoryTarget>(width, height);
    return made;
  }
  bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>& target) override {
    current = static_cast<TMemoryTarget*>(target.get());
    std::fill(current->pixels.begin(), current->pixels.end(), 0);
    return true;
  }
  void EndRenderTarget() override { current = nullptr; }

  std::vector<TColorSpan> recorded;
  std::vector<size_t> batches;
  std::shared_ptr<TMemoryTarget> made;
  TMemoryTarget* current = nullptr;
  bool canMakeTargets = true;
  size_t spansPerBatchLimit = 0;
};

constexpr TColor Red{1, 0, 0, 1}, Blue{0, 0, 1, 1}, Green{0, 1, 0, 1}, Yellow{1, 1, 0, 1};

int RowOfColour(uint32_t colour) {
  switch (colour & 0xFFFFFF) {
    case 0x00FF00: return 0;
    case 0xFFFF00: return 1;
    case 0x0000FF: return 2;
    default: return 3;
  }
}

// Coverage in sixteenths from an alpha of the opaque colour tables.
int CoverageOfAlpha(uint32_t alpha) {
  for (int c = 1; c <= 16; ++c) {
    if (alpha == 255u * std::min(16u * c, 256u) / 256) return c;
  }
  return -1;
}

class MiniVecDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mDraw.SetSpanSink(&mSink);
    mDraw.SetColour(1, Red, 1);
    mDraw.SetColour(2, Blue, 1);
    mDraw.SetColour(255, Green, 1);
    mDraw.SetColour(254, Yellow, 1);
  }

  // Draws at (x, y) quarter pixels and returns the coverage relative to the shape's pixel.
  TCoverageMap Draw(const std::vector<uint8_t>& shape, int x, int y, bool cached = true) {
    mSink.recorded.clear();
    mDraw.BeginDraw(0, 0, nullptr);
    if (cached) {
      mDraw.DrawShape(shape.data(), x, y);
    } else {
      mDraw.DrawShapeUncached(shape.data(), x, y);
    }
    mDraw.EndDraw();
    TCoverageMap map;
    for (const TColorSpan& s : mSink.recorded) {
      EXPECT_LT(s.x0, s.x1);
      for (int px = s.x0; px < s.x1; ++px) {
        auto key = std::make_tuple(RowOfColour(s.colour), s.y - (y >> 2), px - (x >> 2));
        EXPECT_EQ(map.count(key), 0u) << "pixel drawn twice";
        map[key] = CoverageOfAlpha(s.colour >> 24);
      }
    }
    return map;
  }

  TRecordingSink mSink;
  TJxMiniVecDraw mDraw;
};

std::vector<uint8_t> Square() { return TShapeBuilder().Left(1).Rect(0, 0, 640, 640).End(); }

TEST(MiniVecDrawShapeTest, MeasureAcceptsOnlyWholeStreams) {
  std::vector<uint8_t> shape = TShapeBuilder().NewPath().Left(1).Colour(1, 2, 3).Move(1, 2).Line(3, 4).Quad(1, 2, 3, 4).End();
  EXPECT_EQ(MeasureShape(shape.data(), shape.size()), shape.size());
  EXPECT_EQ(MeasureShape(shape.data(), shape.size() + 5), shape.size());
  for (size_t cut = 0; cut < shape.size(); ++cut) EXPECT_EQ(MeasureShape(shape.data(), cut), 0u) << cut;
  const uint8_t unknown[] = {4, 0, 0, 0, 0, 9, 8};
  EXPECT_EQ(MeasureShape(unknown, sizeof(unknown)), 0u);
}

struct TReferenceCase {
  const char* name;
  std::vector<uint8_t> shape;
  float scale;
  bool italic;
};

// Shapes whose edge positions are exact in floats, so that stepping down the rows and
// computing each row afresh agree to the last bit.
std::vector<TReferenceCase> ExactCases() {
  return {
      {"square", Square(), 1 / 32.0f, false},
      {"triangle", TShapeBuilder().Left(1).Move(0, 0).Line(1024, 512).Line(256, 1024).Line(0, 0).End(), 1 / 32.0f, false},
      {"hole (even-odd)", TShapeBuilder().Left(1).Rect(0, 0, 1024, 1024).Rect(256, 256, 768, 768).End(), 1 / 32.0f, false},
      {"right fill only", TShapeBuilder().Right(1).Rect(0, 0, 384, 512).End(), 1 / 32.0f, false},
      {"later path covers", TShapeBuilder().Left(1).Rect(0, 0, 768, 768).NewPath().Left(2).Rect(256, 256, 1024, 1024).End(), 1 / 32.0f, false},
      {"italic", TShapeBuilder().Left(1).Rect(0, -768, 512, 0).End(), 1 / 32.0f, true},
      {"small scale", TShapeBuilder().Left(1).Move(0, 0).Line(2048, 1024).Line(0, 2048).Line(0, 0).End(), 1 / 128.0f, false},
  };
}

TEST_F(MiniVecDrawTest, CoverageMatchesTheReferenceAtEveryPhase) {
  for (const TReferenceCase& c : ExactCases()) {
    for (int phase = 0; phase < 16; ++phase) {
      SCOPED_TRACE(std::string(c.name) + " phase " + std::to_string(phase));
      TReferenceParams params;
      params.scaleX = params.scaleY = c.scale;
      params.italic = c.italic;
      params.phaseX = phase & 3;
      params.phaseY = phase >> 2;
      mDraw.SetScale(c.scale, c.scale);
      mDraw.SetItalic(c.italic);
      TCoverageMap got = Draw(c.shape, 40 + params.phaseX, 80 + params.phaseY);
      ASSERT_FALSE(got.empty());
      ASSERT_EQ(got, ReferenceCoverage(c.shape, params));
    }
  }
}

// Rows sample at whole sub-scanlines y with start < y <= end, columns take the quarters
// from one edge's truncated x up to the next one's: a square on pixel edges gives a quarter
// of its top row to the row below it.
TEST_F(MiniVecDrawTest, SamplingRuleAndSharedEdgesAddUp) {
  mDraw.SetScale(1 / 32.0f, 1 / 32.0f);
  TCoverageMap got = Draw(Square(), 2, 0);  // 5 x 5 pixels, shifted half a pixel
  EXPECT_EQ(got.size(), 36u);
  EXPECT_EQ((got[{3, 0, 0}]), 6);   // 2 quarters x 3 sub-scanlines
  EXPECT_EQ((got[{3, 2, 2}]), 16);
  EXPECT_EQ((got[{3, 4, 5}]), 8);
  EXPECT_EQ((got[{3, 5, 5}]), 2);
  // Two halves of one square drawn as two paths of one colour cover it exactly once.
  std::vector<uint8_t> halves = TShapeBuilder().Left(1).Move(0, 0).Line(640, 0).Line(0, 640).Line(0, 0)
                                    .NewPath().Left(1).Move(640, 0).Line(640, 640).Line(0, 640).Line(640, 0).End();
  EXPECT_EQ(Draw(halves, 0, 0), Draw(Square(), 0, 0));
}

TEST_F(MiniVecDrawTest, CurvesStayCloseToTheReference) {
  std::vector<uint8_t> blob = TShapeBuilder().Left(1).Move(0, 300).Quad(0, 0, 300, 0).Quad(600, 0, 600, 300)
                                  .Quad(600, 600, 300, 600).Quad(0, 600, 0, 300).End();
  mDraw.SetScale(0.05f, 0.05f);
  TReferenceParams params;
  params.scaleX = params.scaleY = 0.05f;
  TCoverageMap got = Draw(blob, 0, 0), want = ReferenceCoverage(blob, params);
  int off = 0;
  for (auto& [key, c] : want) off += std::abs(c - (got.count(key) ? got[key] : 0));
  EXPECT_LE(off, 4);
  EXPECT_GT(want.size(), 40u);
}

TEST_F(MiniVecDrawTest, CachedRunsReplayAtWholePixelsAndPhasesScanAnew) {
  mDraw.SetScale(1 / 32.0f, 1 / 32.0f);
  std::vector<uint8_t> shape = ExactCases()[1].shape;
  TCoverageMap first = Draw(shape, 9, 6);
  EXPECT_EQ(mDraw.GetScanCount(), 1);
  EXPECT_EQ(Draw(shape, 9 + 4, 6 + 8), first);  // same phase: replayed
  EXPECT_EQ(mDraw.GetScanCount(), 1);
  Draw(shape, 10, 6);  // another phase
  EXPECT_EQ(mDraw.GetScanCount(), 2);
  mDraw.SetStrokeWidths(1, 0);  // another key
  Draw(shape, 9, 6);
  EXPECT_EQ(mDraw.GetScanCount(), 3);
  mDraw.SetStrokeWidths(0, 0);
  // A colour change needs no new scan: runs keep their coverage, colours come at replay.
  mDraw.SetColour(1, TColor{1, 0, 0, 0.5f}, 1);
  mSink.recorded.clear();
  mDraw.BeginDraw(0, 0, nullptr);
  mDraw.DrawShape(shape.data(), 9, 6);
  mDraw.EndDraw();
  EXPECT_EQ(mDraw.GetScanCount(), 3);
  ASSERT_FALSE(mSink.recorded.empty());
  for (const TColorSpan& s : mSink.recorded) EXPECT_LE(s.colour >> 24, 127u);
  // Uncached drawing never records nor replays.
  Draw(shape, 9, 6, false);
  Draw(shape, 9, 6, false);
  EXPECT_EQ(mDraw.GetScanCount(), 5);
}

TEST_F(MiniVecDrawTest, ShapesBeyondTheFirstEdgeArrayDrawCompletely) {
  // A 720-gon: more than the 512 edges the array starts with.
  TShapeBuilder ring;
  ring.Left(1).Move(1000, 0);
  for (int i = 1; i <= 720; ++i) {
    double a = i * M_PI / 360;
    ring.Line(int(std::lround(1000 * std::cos(a))), int(std::lround(1000 * std::sin(a))));
  }
  std::vector<uint8_t> shape = ring.End();
  mDraw.SetScale(0.04f, 0.04f);
  TReferenceParams params;
  params.scaleX = params.scaleY = 0.04f;
  TCoverageMap got = Draw(shape, 400, 400), want = ReferenceCoverage(shape, params);
  EXPECT_EQ(mDraw.GetScanCount(), 1);
  int off = 0;
  for (auto& [key, c] : want) off += std::abs(c - (got.count(key) ? got[key] : 0));
  EXPECT_LE(off, 8);
  EXPECT_NEAR(double(got.size()), M_PI * 10 * 10, 40);
}

TEST_F(MiniVecDrawTest, StrokesWidenSegmentsAndFillsCoverThem) {
  mDraw.SetScale(1 / 32.0f, 1 / 32.0f);
  mDraw.SetStrokeWidths(1, 0);
  // A filled square with an outline of one pixel on either side of its edges.
  TCoverageMap got = Draw(TShapeBuilder().Left(1).Rect(0, 0, 640, 640).End(), 40, 40);
  EXPECT_EQ((got[{3, 2, 2}]), 16);          // inside: fill
  EXPECT_EQ(got.count({0, 2, 2}), 0u);      // the stroke is hidden there
  EXPECT_EQ((got[{0, 2, -1}]), 16);         // left of the left edge: stroke
  EXPECT_EQ((got[{0, -1, 2}]), 12);         // above the top edge (3 of its sub-scanlines)
  EXPECT_EQ(got.count({0, 2, -2}), 0u);     // beyond the stroke width
  EXPECT_EQ(got.count({0, 2, 6}), 0u);
  // Layer 1 has its own colour and lies over layer 0.
  mDraw.SetStrokeWidths(2, 1);
  got = Draw(TShapeBuilder().Move(0, 0).Line(640, 0).End(), 40, 40);
  EXPECT_EQ((got[{1, 0, 2}]), 16);
  EXPECT_EQ(got.count({0, 0, 2}), 0u);
  EXPECT_EQ((got[{0, -2, 2}]), 12);
  EXPECT_EQ((got[{0, -1, 2}]), 4);
  EXPECT_EQ((got[{1, -1, 2}]), 12);
  mDraw.SetStrokeWidths(0, 0);
}

TEST_F(MiniVecDrawTest, SpansAreCutAtTheLastCellAndTheRowTable) {
  mDraw.SetScale(1, 1);
  // Far wider than the 3200 cells, and taller than the row table (1024 pixel rows).
  std::vector<uint8_t> shape = TShapeBuilder().Left(1).Rect(0, -4000, 16000, 4000).End();
  mDraw.BeginDraw(0, 0, nullptr);
  mDraw.DrawShape(shape.data(), 0, 0);
  mDraw.EndDraw();
  int right = -1, top = 0, bottom = 0;
  for (const TColorSpan& s : mSink.recorded) {
    right = std::max(right, s.x1 - 1);
    top = std::min(top, s.y);
    bottom = std::max(bottom, s.y);
  }
  EXPECT_EQ(right, TJxMiniVecDraw::AccumCells - 1 - TJxMiniVecDraw::CellBias);
  EXPECT_GE(top, -512);
  EXPECT_LE(bottom, 511);
}

TEST_F(MiniVecDrawTest, ShapeColoursDefinePerPathSlots) {
  mDraw.SetScale(1 / 32.0f, 1 / 32.0f);
  // Path 1 takes slot 1 (defined as cyan), path 2 its own first colour: slot 2 (magenta).
  std::vector<uint8_t> shape = TShapeBuilder().Colour(0, 255, 255).Left(1).Rect(0, 0, 256, 256)
                                   .NewPath().Colour(255, 0, 255).Left(1).Rect(512, 0, 768, 256).End();
  mSink.recorded.clear();
  mDraw.BeginDraw(0, 0, nullptr);
  mDraw.DrawShape(shape.data(), 0, 0);
  mDraw.EndDraw();
  bool cyan = false, magenta = false;
  for (const TColorSpan& s : mSink.recorded) {
    if (s.colour == 0xFF00FFFFu) cyan = s.x0 < 2;
    if (s.colour == 0xFFFF00FFu) magenta = s.x0 >= 4;
  }
  EXPECT_TRUE(cyan);
  EXPECT_TRUE(magenta);
}

TEST_F(MiniVecDrawTest, BatchesFollowTheBatchSize) {
  mDraw.SetScale(1 / 8.0f, 1 / 8.0f);
  Draw(TShapeBuilder().Left(1).Move(0, 0).Line(4000, 2000).Line(0, 4000).Line(0, 0).End(), 0, 0);
  ASSERT_GT(mSink.batches.size(), 2u);
  for (size_t n : mSink.batches) EXPECT_LE(n * 2, size_t(TJxMiniVecDraw::DefaultBatch));
}

TEST_F(MiniVecDrawTest, BlendingIntoATarget) {
  auto target = std::make_shared<TMemoryTarget>(8, 4);
  mDraw.SetScale(1 / 32.0f, 1 / 32.0f);
  std::vector<uint8_t> pixel = TShapeBuilder().Left(1).Rect(0, 0, 128, 128).End();  // one whole pixel
  auto drawAt = [&](int x) {
    mDraw.BeginDraw(0, 0, target);
    mDraw.DrawShape(pixel.data(), x * 4, 3);  // sub-scanlines 4..7: all of pixel row 1
    mDraw.Flush();
  };
  target->pixels.assign(32, 0x80204060u);
  mDraw.SetColour(1, TColor{1, 1, 1, 0.5f}, 1);  // alpha 127
  mDraw.SetBlend(false, false);
  drawAt(0);
  EXPECT_TRUE(target->locked);
  EXPECT_EQ(mDraw.GetPixel(0, 1), 0x808F9FAFu);  // over: colour mixed, alpha kept
  mDraw.SetBlend(true, false);
  drawAt(1);
  EXPECT_EQ(mDraw.GetPixel(1, 1), 0x7FFFFFFFu);  // replaced
  mDraw.SetBlend(false, true);
  drawAt(2);
  EXPECT_EQ(mDraw.GetPixel(2, 1), 0xFF8F9FAFu);  // alpha grows, colours weighted
  drawAt(-3);  // outside: clipped
  EXPECT_EQ(mDraw.GetPixel(-1, 1), 0u);
  EXPECT_EQ(mDraw.GetPixel(8, 1), 0u);
  mDraw.EndDraw();
  EXPECT_FALSE(target->locked);
  EXPECT_EQ(target->unlocks, 1);
  EXPECT_EQ(mDraw.GetPixel(0, 1), 0u);  // nothing locked any more
  EXPECT_EQ(target->At(3, 1), 0x80204060u);

  auto stubborn = std::make_shared<TMemoryTarget>(4, 4);
  stubborn->failLock = true;
  mDraw.BeginDraw(0, 0, stubborn);
  mDraw.DrawShape(pixel.data(), 0, 0);
  mDraw.EndDraw();
  EXPECT_EQ(stubborn->unlocks, 0);
  EXPECT_TRUE(mSink.recorded.empty());
}

TEST_F(MiniVecDrawTest, SelfTestPassesOnASoundSinkAndFallsBackOnALossyOne) {
  EXPECT_EQ(mDraw.RunSelfTest(), 0);
  EXPECT_EQ(mDraw.GetBatchSize(), TJxMiniVecDraw::DefaultBatch);
  ASSERT_TRUE(mSink.made);
  EXPECT_EQ(mSink.made->width, 800);
  EXPECT_EQ(mSink.made->height, 512);

  TRecordingSink lossy;
  lossy.spansPerBatchLimit = 40;  // loses spans of batches larger than the safe size
  TJxMiniVecDraw draw;
  draw.SetSpanSink(&lossy);
  EXPECT_EQ(draw.RunSelfTest(), 0);
  EXPECT_EQ(draw.GetBatchSize(), TJxMiniVecDraw::SafeBatch);

  TRecordingSink noTargets;
  noTargets.canMakeTargets = false;
  TJxMiniVecDraw plain;
  plain.SetSpanSink(&noTargets);
  EXPECT_EQ(plain.RunSelfTest(), -1);
  EXPECT_EQ(plain.GetBatchSize(), TJxMiniVecDraw::DefaultBatch);
}

}  // namespace
