#pragma once
// TPanel: a test window type ("Panel") that fills itself with its style's "color", marks its
// top-left corner with "mark" after its children, and on a left-button release runs its
// style's "onclick" function. Draws and post-draws can be recorded.

#include <memory>
#include <string>
#include <vector>

#include "graphics/math/vector_math.h"
#include "script/lua_object_wrapper.h"
#include "windows/window.h"

class TPanel : public TWindow {
 public:
  static std::unique_ptr<TWindow> Create() { return std::make_unique<TPanel>(); }

  void Init(TWindowStyle& style) override;
  void Draw() override;
  void PostDraw() override;
  bool OnMouseUp(TPoint point) override;
  void SetColor(TColor color) { mColor = color; }

  // Where every panel records "name:draw vp L,T,R,B clip L,T,R,B" and "name:postdraw".
  static void SetDrawLog(std::vector<std::string>* log);

 private:
  TColor mColor{1, 0, 1, 1};
  TColor mMark{0, 0, 0, 0};
  std::unique_ptr<TLuaFunction> mOnClick;
};
