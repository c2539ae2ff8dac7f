#include "model/plotpoint_strip.h"

#include "model/plotpoint.h"
#include "platform/log.h"
#include "script/lua_glue.h"

namespace {

// Adds half and cuts the fraction off, as the page rounds its offsets; kept inside 32 bits.
int32_t Rounded(double value) { return LuaNumberToInt(value + 0.5); }

int32_t Sum(int64_t value) { return LuaNumberToInt(double(value)); }

}  // namespace

CPlotpointStrip::CPlotpointStrip(const CPlotpoint& page, const std::vector<TSize>& pieces)
    : mDirection(page.GetDirection()),
      mBegin{page.GetBeginX(), page.GetBeginY()},
      mEnd{page.GetEndX(), page.GetEndY()} {
  int64_t x = mBegin.x, y = mBegin.y, width = 0, height = 0;
  for (const TSize& size : pieces) {
    switch (mDirection) {
      case CPlotpoint::Up:
        mStarts.push_back({Sum(x), Sum(y)});
        y += size.height;
        height += size.height;
        break;
      case CPlotpoint::Right:
        width += size.width;
        x -= size.width;
        mStarts.push_back({Sum(x), Sum(y)});
        break;
      case CPlotpoint::Down:
        height += size.height;
        y -= size.height;
        mStarts.push_back({Sum(x), Sum(y)});
        break;
      default:
        mStarts.push_back({Sum(x), Sum(y)});
        x += size.width;
        width += size.width;
        break;
    }
    mLastSize = size;
  }
  switch (mDirection) {
    case CPlotpoint::Up: height += int64_t(mBegin.y) - mEnd.y; break;
    case CPlotpoint::Right: width += int64_t(mEnd.x) - mBegin.x; break;
    case CPlotpoint::Down: height += int64_t(mEnd.y) - mBegin.y; break;
    default: width += int64_t(mBegin.x) - mEnd.x; break;
  }
  if (width < 0 || height < 0) {
    LogPrintf("Plot point %d: its end lies behind its begin by more than the strip; the strip stays", page.GetSeqId());
    width = width < 0 ? 0 : width;
    height = height < 0 ? 0 : height;
  }
  mTravelWidth = Sum(width);
  mTravelHeight = Sum(height);
}

CPlotpointStrip::TPoint CPlotpointStrip::GetPieceStart(size_t index) const {
  return index < mStarts.size() ? mStarts[index] : TPoint();
}

CPlotpointStrip::TPoint CPlotpointStrip::GetOffset(double progress) const {
  switch (mDirection) {
    case CPlotpoint::Up: return {0, -Rounded(progress * mTravelHeight)};
    case CPlotpoint::Right: return {Rounded(progress * mTravelWidth), 0};
    case CPlotpoint::Down: return {0, Rounded(progress * mTravelHeight)};
    default: return {-Rounded(progress * mTravelWidth), 0};
  }
}

CPlotpointStrip::TPoint CPlotpointStrip::GetPiecePosition(size_t index, double progress) const {
  TPoint start = GetPieceStart(index), offset = GetOffset(progress);
  return {Sum(int64_t(start.x) + offset.x), Sum(int64_t(start.y) + offset.y)};
}

CPlotpointStrip::TPoint CPlotpointStrip::GetTrailingEdge(double progress) const {
  TPoint offset = GetOffset(progress);
  if (mStarts.empty()) return {Sum(int64_t(mBegin.x) + offset.x), Sum(int64_t(mBegin.y) + offset.y)};
  TPoint edge = GetPiecePosition(mStarts.size() - 1, progress);
  if (mDirection == CPlotpoint::Up) edge.y = Sum(int64_t(edge.y) + mLastSize.height);
  if (mDirection == CPlotpoint::Left) edge.x = Sum(int64_t(edge.x) + mLastSize.width);
  return edge;
}

bool CPlotpointStrip::HasReachedEnd(double progress) const {
  TPoint edge = GetTrailingEdge(progress);
  switch (mDirection) {
    case CPlotpoint::Up: return edge.y <= mEnd.y;
    case CPlotpoint::Right: return edge.x >= mEnd.x;
    case CPlotpoint::Down: return edge.y >= mEnd.y;
    default: return edge.x <= mEnd.x;
  }
}
