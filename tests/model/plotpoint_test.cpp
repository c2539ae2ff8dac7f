#include "model/plotpoint.h"

#include <gtest/gtest.h>

#include "model/plotpoint_strip.h"
#include "model_compositor_test_util.h"

namespace {

using TSize = CPlotpointStrip::TSize;

class TPlotpointTest : public TModelTextTest {
 protected:
  CPlotpoint& Load(const std::string& fields) {
    RunOneScene("MakePlotpoint", fields);
    return FirstScene<CPlotpoint>(33);
  }
};

TEST_F(TPlotpointTest, TheStripRunsToItsEnd) {
  CPlotpoint& page = Load(R"(direction = "up", beginX = 100, beginY = 600, endX = 100, endY = 0,
      numberOfTextures = 2, movingTextureDirectory = "plot/", movingTextureName = "piece",
      MakePlotpointTexts{ { "first", 4, "second", 6 } })");
  EXPECT_EQ(page.GetPieceCount(), 2u);
  EXPECT_EQ(page.GetPieceImage(1).ToStd(), "plot/piece1");
  CPlotpointStrip strip(page, {{300, 400}, {300, 400}});
  EXPECT_EQ(strip.GetPieceStart(0).y, 600);
  EXPECT_EQ(strip.GetPieceStart(1).y, 1000);
  EXPECT_EQ(strip.GetTravelHeight(), 1400);

  uint32_t elapsed = 0;
  while (!strip.HasReachedEnd(page.GetProgress(elapsed)) && elapsed < 60000) {
    if (elapsed == 5000) {
      EXPECT_EQ(strip.GetPiecePosition(0, page.GetProgress(elapsed)).y, -100);
      EXPECT_EQ(page.GetTextAt(page.GetProgress(elapsed) * page.GetTotal(), 0).index, 1);
    }
    elapsed += 250;
  }
  EXPECT_EQ(elapsed, 10000u);
  EXPECT_EQ(strip.GetTrailingEdge(1).y, 0);

  // Moving right with begin and end the same, the strip crosses by its own width.
  CPlotpoint& right = Load(R"(direction = "right", beginX = 500, endX = 500, MakePlotpointTexts{ { "t", 2 } })");
  CPlotpointStrip rightStrip(right, {{200, 50}, {300, 50}});
  EXPECT_EQ(rightStrip.GetPieceStart(1).x, 0);
  EXPECT_EQ(rightStrip.GetTravelWidth(), 500);
  EXPECT_FALSE(rightStrip.HasReachedEnd(right.GetProgress(1990)));
  EXPECT_TRUE(rightStrip.HasReachedEnd(right.GetProgress(2000)));
  EXPECT_TRUE(rightStrip.HasReachedEnd(right.GetProgress(90000)));
}

TEST_F(TPlotpointTest, TextsFadeInAndOutInTheirSpans) {
  CPlotpoint& page = Load(R"(MakePlotpointTexts{ { "a", 2, "b", 3, "c", 5 } })");
  const struct {
    double seconds, fade;
    int32_t index;
    float alpha;
  } cases[] = {{0, 1, 0, 0},     {1.5, 1, 0, 0.5f}, {2.5, 1, 1, 0.5f}, {4.5, 1, 1, 0.5f},
               {5, 1, 1, 0},     {7, 1, 2, 1},      {7, 0, 2, 1},      {10.5, 1, -1, 0}};
  for (const auto& c : cases) {
    CPlotpoint::TTextShown shown = page.GetTextAt(c.seconds, c.fade);
    EXPECT_EQ(shown.index, c.index) << c.seconds;
    EXPECT_FLOAT_EQ(shown.alpha, c.alpha) << c.seconds;
  }
  EXPECT_EQ(page.GetTotal(), 10u);
  CPlotpoint& empty = Load("");
  EXPECT_EQ(empty.GetProgress(0), 1);
  EXPECT_EQ(empty.GetTextAt(0, 1).index, -1);
}

// An end behind the begin by more than the strip made the travel negative, which the page
// read as a huge unsigned number; a strip of a billion pieces is laid out as 1024.
TEST_F(TPlotpointTest, AnEndBehindTheBeginStopsTheStrip) {
  CPlotpoint& page = Load(R"(direction = "left", beginX = 0, endX = 5000, numberOfTextures = 1000000000)");
  EXPECT_EQ(page.GetPieceCount(), CPlotpoint::MaxPieces);
  CPlotpointStrip strip(page, {{100, 10}});
  EXPECT_EQ(strip.GetTravelWidth(), 0);
  EXPECT_EQ(strip.GetPiecePosition(0, 1).x, 0);
  EXPECT_TRUE(strip.HasReachedEnd(0));
  EXPECT_NE(ReadLog().find("its end lies behind its begin"), std::string::npos);
}

}  // namespace
