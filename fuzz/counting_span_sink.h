#pragma once
// A span sink for fuzz targets that draw: it only counts, so every span the rasteriser
// emits is produced but nothing is kept.
#include <cstddef>
#include <memory>

#include "graphics/text/mini_vec_draw.h"

class TCountingSpanSink : public ISpanSink {
 public:
  void DrawSpans(const TColorSpan*, size_t count) override { spans += count; }
  std::shared_ptr<IVecDrawTarget> CreateRenderTarget(int, int) override { return nullptr; }
  bool BeginRenderTarget(const std::shared_ptr<IVecDrawTarget>&) override { return false; }
  void EndRenderTarget() override {}
  size_t spans = 0;
};
