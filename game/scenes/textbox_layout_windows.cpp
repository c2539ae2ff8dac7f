#include "scenes/textbox_layout_windows.h"

#include <array>
#include <memory>
#include <vector>

#include "model/textbox_layout.h"
#include "scenes/scene_internal.h"
#include "scenes/textbox.h"

void AddLayoutTextboxes(TWindow& screen, CTextboxLayout& layout, int32_t style, int32_t lineCount) {
  int32_t width = layout.GetTextboxWidth(), height = layout.GetTextboxHeight();
  std::array<float, 4> rgba = layout.GetTextColor();
  TColor colour{rgba[0], rgba[1], rgba[2], rgba[3]};
  std::vector<std::unique_ptr<TWindow>> boxes;
  for (int32_t i = 0; i < layout.GetTextboxCount(); ++i) {
    auto box = std::make_unique<TTextbox>(false);
    box->Setup(scene::Text(layout.GetTextboxText(i)), width, height, style, layout.GetTextFont(),
               layout.GetLineHeight(), colour, lineCount);
    CTextboxLayout::TPosition position = layout.GetTextboxPosition(i);
    box->SetPosition(position.x, position.y);
    box->SetRotation(layout.GetTextboxRotation(i), width / 2, height / 2);
    layout.AddTextboxWindow(box.get());
    boxes.push_back(std::move(box));
  }
  for (std::unique_ptr<TWindow>& box : boxes) screen.AddChild(box, true);
}
