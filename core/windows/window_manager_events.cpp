// Event dispatch of the window manager: the deferred deletions, the hover (capture) list,
// the hit test from the top modal down, keys to the focus, and the message queue after
// every event.

#include <algorithm>

#include "platform/settings.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

void TWindowManager::HandleEvent(const TPlatformEvent& event) {
  if (event.type == EventNothing) return;
  if (event.type == EventDisplayChanged) mCachedLayer.reset();
  if (event.type == EventClose && mScript && mScript->IsYielded()) mScript->ResumeScript(0);
  DeleteQueuedWindows();
  if (mModals.empty()) return;
  TPlatformEvent copy = event;

  switch (copy.type) {
    case EventIdle:
      if (TModalWindow* top = WindowCast<TModalWindow>(GetTopModal())) top->RunTasks(0);
      ProcessMessages();
      Render();
      ProcessMessages();
      break;
    case EventRedraw:
      Invalidate();
      ProcessMessages();
      Render();
      ProcessMessages();
      break;
    case EventLeftButtonDown:
    case EventButton:
    case EventLeftButtonUp:
    case EventMouseMove:
    case EventHover:
      if (!mHoverList.empty()) {
        HandleMouseWithHoverList(copy);
      } else {
        // Relative moves are deltas for whoever captured the mouse; nobody else wants them.
        if (copy.type == EventMouseMove && mHost->GetMouseMode() == MouseRelative) return;
        HandleMouse(copy);
      }
      ProcessMessages();
      break;
    case EventMouseGone:
      HandleMouseGone();
      ProcessMessages();
      break;
    case EventKeyDown:
    case EventKeyUp:
    case EventChar:
    case EventUnicodeChar:
      if (TWindow* receiver = mFocus ? mFocus : GetTopModal()) receiver->HandleEvent(copy, false);
      ProcessMessages();
      break;
    case EventActivation:
      break;
    default:
      ProcessMessages();
      if (TWindow* top = GetTopModal()) top->HandleEvent(copy, false);
      break;
  }
}

void TWindowManager::HandleMouseWithHoverList(const TPlatformEvent& event) {
  TWindow* top = GetTopModal();
  bool relative = mHost->GetMouseMode() == MouseRelative;
  auto it = mHoverList.begin();
  while (it != mHoverList.end()) {
    TWindow* h = *it;
    mHoverListChanged = false;
    bool deliver = true;
    TRect rect;
    h->GetScreenRect(rect);
    if (!relative && !RectContains(rect, TPoint(event.x, event.y))) {
      h->OnMouseLeave();
      if (GetTopModal() != top) return;
      // A window that let go of the mouse does not get the event; one that holds on does.
      deliver = std::find(mHoverList.begin(), mHoverList.end(), h) != mHoverList.end();
    }
    if (deliver) {
      TPlatformEvent copy = event;
      // A relative move is a delta, the same for everyone.
      if (!(relative && event.type == EventMouseMove)) {
        TPoint point(event.x, event.y);
        h->ScreenToClient(point);
        copy.x = point.x;
        copy.y = point.y;
      }
      h->HandleEvent(copy, false);
      if (GetTopModal() != top) return;
    }
    if (mHoverListChanged) {
      // The list changed under the call: go on after h when it is still there, else stop.
      it = std::find(mHoverList.begin(), mHoverList.end(), h);
      if (it == mHoverList.end()) return;
    }
    ++it;
  }
}

bool TWindowManager::OfferToOverlays(const TPlatformEvent& event) {
  std::vector<TWindow*> overlays;
  for (const auto& overlay : mOverlays) overlays.push_back(overlay.get());
  for (TWindow* overlay : overlays) {
    TPoint point(event.x, event.y);
    overlay->ScreenToClient(point);
    TPoint local = point;
    TWindow* target = overlay->WindowAt(point, AnyDepth, &local);
    if (!target) continue;
    TPlatformEvent copy = event;
    copy.x = local.x;
    copy.y = local.y;
    if (target->HandleEvent(copy, false)) {
      mLastHitWindow = target;
      if (mHighlightHitWindow) Invalidate();
      return true;
    }
  }
  return false;
}

void TWindowManager::HandleMouse(const TPlatformEvent& event) {
  bool overlayMouse = IsEnabled("overlaymouse");
  if (overlayMouse && OfferToOverlays(event)) return;
  TWindow* top = GetTopModal();
  if (!top) return;
  TPoint point(event.x, event.y);
  top->ScreenToClient(point);
  TPoint local = point;
  TWindow* target = top->WindowAt(point, AnyDepth, &local);
  if (!target) return;
  mLastHitWindow = target;
  if (mHighlightHitWindow) Invalidate();
  TPlatformEvent copy = event;
  copy.x = local.x;
  copy.y = local.y;
  bool handled = target->HandleEvent(copy, false);
  if (!handled && overlayMouse && event.type == EventLeftButtonUp)
    PostMessage(std::make_unique<TMessage>(MessagePressAnyKey, "mouse:up"));
}

void TWindowManager::HandleMouseGone() {
  TWindow* top = GetTopModal();
  std::vector<TWindow*> served;
  for (;;) {
    TWindow* h = nullptr;
    for (TWindow* candidate : mHoverList) {
      if (std::find(served.begin(), served.end(), candidate) == served.end()) {
        h = candidate;
        break;
      }
    }
    if (!h) return;
    served.push_back(h);
    h->OnMouseLeave();
    if (GetTopModal() != top) return;
  }
}
