#pragma once
// The text-box windows of a screen's CTextboxLayout: one TTextbox per box, set up with the
// label's text in the layout's font, line height and colour, placed at its position,
// turned about its centre, listed in the layout and attached to the screen with
// activation. The screens differ only in the text layout style and the line count.

#include <cstdint>

class CTextboxLayout;
class TWindow;

void AddLayoutTextboxes(TWindow& screen, CTextboxLayout& layout, int32_t style, int32_t lineCount);
