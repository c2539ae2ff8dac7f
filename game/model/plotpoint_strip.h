#pragma once
// CPlotpointStrip: the strip of a plot-point page laid out from its pieces' sizes (which the
// window measures from their images) and moved by the page's progress. Piece 0 touches the
// begin point and the strip extends away from its direction of motion; over the whole page
// it travels its own length plus the distance from begin to end, so that at full progress
// its trailing edge stands on the end coordinate, which ends the page.

#include <cstddef>
#include <cstdint>
#include <vector>

class CPlotpoint;

class CPlotpointStrip {
 public:
  struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
  };
  struct TSize {
    int32_t width = 0;
    int32_t height = 0;
  };

  // One size per piece, in piece order. An end point behind the begin point by more than the
  // strip's length would make the travel negative; it is taken as 0 with a log line.
  CPlotpointStrip(const CPlotpoint& page, const std::vector<TSize>& pieces);

  size_t GetPieceCount() const { return mStarts.size(); }
  // Piece i's place before the page moves; (0, 0) past the end.
  TPoint GetPieceStart(size_t index) const;
  // How far the strip has moved at that progress (0 to 1).
  TPoint GetOffset(double progress) const;
  TPoint GetPiecePosition(size_t index, double progress) const;
  // The edge of the strip that leads away from the motion, at that progress.
  TPoint GetTrailingEdge(double progress) const;
  // The trailing edge has reached the end coordinate: the page is over.
  bool HasReachedEnd(double progress) const;
  int32_t GetTravelWidth() const { return mTravelWidth; }
  int32_t GetTravelHeight() const { return mTravelHeight; }

 private:
  int32_t mDirection;
  TPoint mBegin;
  TPoint mEnd;
  std::vector<TPoint> mStarts;
  TSize mLastSize;
  int32_t mTravelWidth = 0;
  int32_t mTravelHeight = 0;
};
