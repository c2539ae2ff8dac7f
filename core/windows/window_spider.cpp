#include "windows/window_spider.h"

#include <algorithm>

#include "windows/window.h"
#include "windows/window_manager.h"

bool TWindowClearFlags::Process(TWindow* window) {
  window->SetFlags(window->GetFlags() & mMask);
  if (mRecurse) window->VisitChildren(*this);
  return true;
}

bool TModalPoppedSpider::Process(TWindow* window) {
  TModalPoppedSpider children;
  window->VisitChildren(children);
  window->OnModalPopped();
  return true;
}

bool ChildrenDelete::Process(TWindow* window) {
  std::unique_ptr<TWindow> child = mParent->RemoveChild(window);
  TWindowManager* manager = GetWindowManager();
  if (child && manager) manager->DestroyWindowLater(std::move(child));
  // Without a window manager nothing is dispatching: the child goes at once.
  return true;
}

bool GetLargest::Process(TWindow* window) {
  TRect rect = window->GetRect();
  right = std::max(right, rect.right);
  bottom = std::max(bottom, rect.bottom);
  return true;
}

TWindowAnim::~TWindowAnim() {
  if (mWindow) mWindow->ClearAnimLink();
}

bool TWindowAnim::Animate() { return mWindow && mWindow->Animate(); }
