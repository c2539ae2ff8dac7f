#include "windows/window.h"

#include <algorithm>

#include "windows/modal_group.h"
#include "windows/window_service.h"
#include "windows/window_spider.h"
#include "windows/window_style.h"

namespace {

uint32_t gNextWindowId = 0;
bool gSkipNextChar = false;
IWindowService* gWindowService = nullptr;

void InvalidateManager() {
  if (gWindowService) gWindowService->Invalidate();
}

}  // namespace

IWindowService* GetWindowService() { return gWindowService; }
void SetWindowService(IWindowService* service) { gWindowService = service; }

bool RectContains(const TRect& rect, TPoint point) {
  return rect.left <= point.x && point.x < rect.right && rect.top <= point.y && point.y < rect.bottom;
}

void SetSkipNextChar(bool skip) { gSkipNextChar = skip; }
bool GetSkipNextChar() { return gSkipNextChar; }

TWindow::TWindow() : mId(gNextWindowId++) {}

TWindow::~TWindow() {
  if (mAnim) mAnim->ClearWindow();
  mAnim = nullptr;
  InvalidateManager();
  if (IModalGroup* modal = GetModalGroup()) modal->ForgetWindowsIn(this);
  // Children go first, while this window's links are still whole; none of them reaches
  // back into a list that is being taken apart.
  std::list<std::unique_ptr<TWindow>> children;
  children.swap(mChildren);
  while (!children.empty()) children.pop_front();
  if (gWindowService) gWindowService->OnWindowDestroyed(this);
}

std::unique_ptr<TWindow> TWindow::Create() { return std::make_unique<TWindow>(); }

void TWindow::Init(TWindowStyle& style) {
  mName = style.GetString("name", TString());
  DoLayout(style);
}

void TWindow::PostCreate(TWindowStyle& style) {
  if (style.GetBool("fit", false)) FitToChildren();
  DoLayout(style);
}

bool TWindow::OnMouseHover(TPoint point) { return gWindowService && gWindowService->ForwardHover(this, point); }

TString TWindow::GetIdString() const { return TString::Printf("%8x", mId); }

void TWindow::SetFlags(uint32_t newFlags) {
  uint32_t old = mFlags;
  mFlags = (mFlags & 0xFFu) | (newFlags & 0xFF00u);
  if ((old ^ mFlags) & WindowVisible) InvalidateManager();
  if (TWindow* modal = GetModalAncestor())
    UpdateCoverSetOf(*modal->AsModalGroup(), modal->GetWidth(), modal->GetHeight());
}

bool TWindow::IsShown() const {
  for (const TWindow* w = this; w; w = w->mParent) {
    if (!(w->mFlags & WindowVisible)) return false;
    if (w->mFlags & WindowModal) return true;
  }
  return true;
}

TWindow* TWindow::SetParent(TWindow* parent) {
  TWindow* old = mParent;
  mParent = parent;
  return old;
}

TWindow* TWindow::GetModalAncestor() const {
  for (TWindow* w = mParent; w; w = w->mParent) {
    if (w->mFlags & WindowModal) return w->AsModalGroup() ? w : nullptr;
  }
  return nullptr;
}

IModalGroup* TWindow::GetModalGroup() const {
  TWindow* modal = GetModalAncestor();
  return modal ? modal->AsModalGroup() : nullptr;
}

TModalWindow* TWindow::GetModal() const {
  IModalGroup* modal = GetModalGroup();
  return modal ? modal->GetModalWindow() : nullptr;
}

bool TWindow::IsAncestorOf(const TWindow* window) const {
  for (const TWindow* w = window ? window->mParent : nullptr; w; w = w->mParent) {
    if (w == this) return true;
  }
  return false;
}

std::list<std::unique_ptr<TWindow>>::iterator TWindow::FindEntry(const TWindow* child) {
  return std::find_if(mChildren.begin(), mChildren.end(),
                      [child](const std::unique_ptr<TWindow>& entry) { return entry.get() == child; });
}

bool TWindow::AddChild(std::unique_ptr<TWindow>& child, bool activate) {
  if (!child) return false;
  TWindow* raw = child.get();
  mChildren.push_front(std::move(child));
  raw->mParent = this;
  if (!activate || raw->OnActivate()) return true;
  // Refused: the child goes back to the caller, re-sized so that it leaves any cover set.
  auto entry = FindEntry(raw);
  if (entry != mChildren.end()) {
    child = std::move(*entry);
    mChildren.erase(entry);
  }
  raw->mParent = nullptr;
  raw->SetSize(raw->GetWidth(), raw->GetHeight());
  return false;
}

std::unique_ptr<TWindow> TWindow::RemoveChild(TWindow* child) {
  auto entry = FindEntry(child);
  if (entry == mChildren.end()) return nullptr;
  std::unique_ptr<TWindow> removed = std::move(*entry);
  mChildren.erase(entry);
  InvalidateManager();
  // The modal above keeps no link into the subtree that leaves it.
  if (IModalGroup* modal = removed->GetModalGroup()) modal->ForgetWindowsIn(removed.get());
  removed->mParent = nullptr;
  return removed;
}

TWindow* TWindow::FindChild(const TString& name, int32_t depth) {
  if (mName == name) return this;
  if (depth == 0) return nullptr;
  for (const auto& child : mChildren) {
    if (TWindow* found = child->FindChild(name, depth < 0 ? depth : depth - 1)) return found;
  }
  return nullptr;
}

void TWindow::VisitChildren(TWindowSpider& spider, bool reverse) {
  // The walk works on a snapshot of the pointers: Process may take children out (and the
  // manager may queue them), but never deletes a window during the walk.
  std::vector<TWindow*> children;
  children.reserve(mChildren.size());
  for (const auto& child : mChildren) children.push_back(child.get());
  if (reverse) std::reverse(children.begin(), children.end());
  for (TWindow* child : children) {
    if (!spider.Process(child)) break;
  }
}

void TWindow::DeleteChildren() {
  ChildrenDelete spider(this);
  VisitChildren(spider);
}

void TWindow::FitToChildren() {
  GetLargest spider;
  VisitChildren(spider);
  SetSize(spider.right, spider.bottom);
}

void TWindow::SetZOrder(int position, TWindow* sibling) {
  if (!mParent) return;
  auto& list = mParent->mChildren;
  auto self = mParent->FindEntry(this);
  if (self == list.end()) return;
  switch (position) {
    case ZOrderBack:
      list.splice(list.end(), list, self);
      break;
    case ZOrderFront:
      list.splice(list.begin(), list, self);
      break;
    case ZOrderForward:
      if (self == list.begin()) return;
      list.splice(std::prev(self), list, self);
      break;
    case ZOrderBackward: {
      auto next = std::next(self);
      if (next == list.end()) return;
      list.splice(std::next(next), list, self);
      break;
    }
    default: {
      auto target = sibling && sibling != this ? mParent->FindEntry(sibling) : list.end();
      if (target == list.end()) {
        list.splice(list.end(), list, self);
        return;
      }
      list.splice(target, list, self);
      break;
    }
  }
  InvalidateManager();
}

void TWindow::GetScreenRect(TRect& rect) const {
  TPoint origin(0, 0);
  ClientToScreen(origin);
  rect = TRect(origin.x, origin.y, origin.x + GetWidth(), origin.y + GetHeight());
}

void TWindow::ClientToScreen(TPoint& point) const {
  for (const TWindow* w = this; w; w = w->mParent) w->ClientToParent(point);
}

void TWindow::ScreenToClient(TPoint& point) const {
  for (const TWindow* w = this; w; w = w->mParent) w->ParentToClient(point);
}

void TWindow::ClientToParent(TPoint& point) const {
  point.x += mLeft;
  point.y += mTop;
}

void TWindow::ParentToClient(TPoint& point) const {
  point.x -= mLeft;
  point.y -= mTop;
}

namespace {

int32_t ClampCoordinate(int32_t value) { return std::clamp(value, -CoordinateLimit, CoordinateLimit); }

}  // namespace

void TWindow::SetPosition(int32_t x, int32_t y) {
  x = ClampCoordinate(x);
  y = ClampCoordinate(y);
  int32_t width = GetWidth(), height = GetHeight();
  mLeft = x;
  mTop = y;
  mRight = x + width;
  mBottom = y + height;
  InvalidateManager();
}

void TWindow::SetSize(int32_t width, int32_t height) {
  width = ClampCoordinate(width);
  height = ClampCoordinate(height);
  mRight = mLeft + width;
  mBottom = mTop + height;
  InvalidateManager();
  if (IModalGroup* modal = GetModalGroup()) {
    TWindow* screen = gWindowService ? gWindowService->GetScreen() : nullptr;
    if (screen) UpdateCoverSetOf(*modal, screen->GetWidth(), screen->GetHeight());
  }
}

void TWindow::UpdateCoverSetOf(IModalGroup& modal, int32_t width, int32_t height) {
  bool covers = (mFlags & WindowOpaqueCover) && GetWidth() == width && GetHeight() == height;
  modal.UpdateCoverSet(this, covers);
}

TWindowAnim* TWindow::GetAnim() {
  if (mAnim) return mAnim;
  IModalGroup* modal = AsModalGroup();
  if (!modal) modal = GetModalGroup();
  if (!modal) return nullptr;
  auto anim = std::make_unique<TWindowAnim>(this, &modal->GetClock());
  mAnim = anim.get();
  modal->AddTask(std::move(anim));
  return mAnim;
}

void TWindow::StartAnim(uint32_t delay, bool repeat, bool fromNow, bool catchUp) {
  if (TWindowAnim* anim = GetAnim()) anim->Schedule(delay, repeat, fromNow, catchUp);
}

TWindowAnim* TWindow::DetachAnim() {
  TWindowAnim* anim = mAnim;
  if (anim) anim->ClearWindow();
  mAnim = nullptr;
  return anim;
}
