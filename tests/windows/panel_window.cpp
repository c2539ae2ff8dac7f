#include "panel_window.h"

#include "graphics/renderer.h"
#include "script/lua_object_wrapper.h"
#include "windows/window_style.h"

namespace {

std::vector<std::string>* gDrawLog = nullptr;

std::string Describe(const TRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

TColor ToColor(const TLuaVec4& v) { return TColor{v[0], v[1], v[2], v[3]}; }

}  // namespace

void TPanel::SetDrawLog(std::vector<std::string>* log) { gDrawLog = log; }

void TPanel::Init(TWindowStyle& style) {
  mColor = ToColor(style.GetQuad("color", {1, 0, 1, 1}));
  mMark = ToColor(style.GetQuad("mark", {0, 0, 0, 0}));
  mOnClick = style.GetFunction("onclick");
  TWindow::Init(style);
}

void TPanel::Draw() {
  TRenderer* renderer = TRenderer::GetInstance();
  if (gDrawLog) {
    TRect viewport, clip;
    renderer->GetViewport(viewport);
    renderer->GetClipRect(clip);
    gDrawLog->push_back(GetName().ToStd() + ":draw vp " + Describe(viewport) + " clip " + Describe(clip));
  }
  TRect all;
  GetClientRect(all);
  renderer->FillRect(all, mColor);
}

void TPanel::PostDraw() {
  if (gDrawLog) gDrawLog->push_back(GetName().ToStd() + ":postdraw");
  if (mMark.a > 0) TRenderer::GetInstance()->FillRect(TRect(0, 0, 8, 8), mMark);
}

bool TPanel::OnMouseUp(TPoint point) {
  if (!mOnClick) return false;
  LuaStackGuard guard(mOnClick->GetState());
  mOnClick->Call();
  return true;
}
