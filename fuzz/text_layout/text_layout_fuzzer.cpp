// The text tag parser and line breaker on arbitrary bytes as tagged text: laid out in a
// roomy box and in a one-pixel one, measured, hit-tested, scrolled and drawn through the
// text rasteriser into a sink that only counts.
//   corpus: fuzz/text_layout/corpus (tagged texts written for it)

#include <cstddef>
#include <cstdint>

#include "counting_span_sink.h"
#include "graphics/text/font_cache.h"
#include "graphics/text/mini_vec_draw.h"
#include "graphics/text/text_graphic.h"

namespace {

struct TBox {
  int32_t width, height;
  uint32_t align;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TCountingSpanSink sink;
  static TJxMiniVecDraw* draw = [] {
    auto* d = new TJxMiniVecDraw;
    d->SetSpanSink(&sink);
    SetTextRasteriser(d);
    return d;
  }();
  (void)draw;
  // Faces named by the texts stay cached: keep the cache small.
  if (TFontCache::GetCount() > 8) TFontCache::Clear();

  TString text(reinterpret_cast<const char*>(data), size);
  const TBox boxes[] = {{240, 120, 0}, {1, 1, TextAlignCenter | TextAlignMiddle}, {90, 40, TextAlignRight | TextAlignBottom}};
  for (const TBox& box : boxes) {
    auto graphic = TTextGraphic::Create(text, box.width, box.height, box.align, TString(), 16, TColor{1, 1, 1, 1});
    if (!graphic) continue;
    graphic->GetTextBounds();
    graphic->GetTextHeight();
    int scroll = graphic->GetMaxScroll(1.0f, 2.0f);
    graphic->SetScroll(float(scroll) * 0.5f);
    for (float y : {0.0f, 10.0f, float(box.height) - 1})
      graphic->UpdateHoverLink(float(box.width) / 2, y);
    graphic->SetRotation(30.0f, box.width / 2, box.height / 2);
    graphic->DrawAt(TVec2(10.25f, 20.5f), float(box.height));
  }
  return 0;
}
