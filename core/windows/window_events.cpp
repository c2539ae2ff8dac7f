// Hit testing, event dispatch with bubbling, the message walk and the draw walk of TWindow.

#include <vector>

#include "graphics/renderer.h"
#include "platform/settings.h"
#include "windows/message.h"
#include "windows/modal_group.h"
#include "windows/window.h"
#include "windows/window_service.h"

namespace {

bool IsMouseEvent(uint32_t type) {
  return type == EventLeftButtonDown || type == EventButton || type == EventLeftButtonUp || type == EventMouseMove ||
         type == EventHover;
}

}  // namespace

TWindow* TWindow::FindChildAt(TPoint point, std::list<std::unique_ptr<TWindow>>::const_iterator from) {
  for (auto it = from; it != mChildren.cend(); ++it) {
    TWindow* child = it->get();
    if (child->IsShown() && RectContains(child->GetRect(), point)) return child;
  }
  return this;
}

TWindow* TWindow::WindowAt(TPoint point, int32_t depth, TPoint* local) {
  if (depth == 0) return nullptr;
  TWindow* child = ChildAt(point);
  if (child == this) {
    if (local) *local = point;
    return this;
  }
  child->ParentToClient(point);
  return child->WindowAt(point, depth < 0 ? depth : depth - 1, local);
}

bool TWindow::DispatchToHandler(const TPlatformEvent& event) {
  TPoint point(event.x, event.y);
  switch (event.type) {
    case EventLeftButtonDown:
      return OnMouseDown(point);
    case EventButton:
      return OnMouseButton(point, event.code);
    case EventLeftButtonUp:
      return OnMouseUp(point);
    case EventMouseMove:
      return OnMouseMove(point);
    case EventHover:
      return OnMouseHover(point);
    case EventKeyDown:
      return OnKeyDown(event.code, event.extra);
    case EventKeyUp:
      return OnKeyUp(event.code);
    case EventChar:
      if (GetSkipNextChar()) {
        SetSkipNextChar(false);
        return true;
      }
      return OnChar(uint8_t(event.code));
    case EventUnicodeChar: {
      if (GetSkipNextChar()) {
        SetSkipNextChar(false);
        return true;
      }
      TString text = TString::FromCodePoint(uint32_t(event.code));
      if (OnUnicodeChar(text)) return true;
      return text.Length() == 1 && OnChar(uint8_t(text.CharAt(0)));
    }
    default:
      return false;
  }
}

bool TWindow::HandleEvent(const TPlatformEvent& event, bool focusMoved) {
  bool handled = DispatchToHandler(event);
  IWindowService* manager = GetWindowService();
  if (event.type == EventLeftButtonDown && !focusMoved) {
    for (TWindow* w = this; w; w = w->mParent) {
      if (w->mFlags & WindowTakesFocus) {
        if (manager) manager->SetFocus(w);
        focusMoved = true;
        break;
      }
    }
  }
  if (handled) return true;
  if (!(mFlags & WindowModal)) return BubbleEvent(event, focusMoved);

  // The modal stop: raw input that nobody took goes to the scripts as a message (with
  // "overlaymouse" the window manager posts the mouse's own).
  if (!manager || IsEnabled("overlaymouse")) return false;
  TString name;
  if (event.type == EventLeftButtonUp) {
    name = "mouse:up";
  } else if (event.type == EventKeyDown) {
    name = "raw:";
    if (char(event.code) != 0) name += char(event.code);
  }
  if (!name.IsEmpty()) manager->PostMessage(std::make_unique<TMessage>(MessagePressAnyKey, name));
  return false;
}

bool TWindow::BubbleEvent(const TPlatformEvent& event, bool focusMoved) {
  if (!mParent) return false;
  TPlatformEvent copy = event;
  TPoint point(event.x, event.y);
  if (IsMouseEvent(event.type)) ClientToParent(point);
  copy.x = point.x;
  copy.y = point.y;
  auto self = mParent->FindEntry(this);
  if (self != mParent->mChildren.end()) {
    TWindow* sibling = mParent->FindChildAt(point, std::next(self));
    if (sibling != mParent) {
      TPoint inSibling = point;
      sibling->ParentToClient(inSibling);
      TPoint local = inSibling;
      TWindow* target = sibling->WindowAt(inSibling, AnyDepth, &local);
      copy.x = local.x;
      copy.y = local.y;
      return target->HandleEvent(copy, focusMoved);
    }
  }
  return mParent->HandleEvent(copy, focusMoved);
}

void TWindow::SendMessage(std::unique_ptr<TMessage> message) {
  for (TWindow* w = this; w; w = w->mParent) {
    if (w->OnMessage(*message)) return;
    if (!(w->mFlags & WindowModal)) continue;
    // At the modal the walk turns to its focus child, and what that leaves goes to the
    // UI script.
    IModalGroup* modal = w->AsModalGroup();
    TWindow* focusChild = modal ? modal->GetFocusChild() : nullptr;
    if (focusChild && focusChild->OnMessage(message->ForReceivers())) return;
    if (IWindowService* manager = GetWindowService()) manager->PassMessageToScript(std::move(message));
    return;
  }
}

bool TWindow::DrawTree(int mode) {
  if (!(mFlags & WindowVisible)) return false;
  if (mode == DrawCachedLayer) {
    if (!(mFlags & WindowCachedLayer) || !mParent || !(mParent->mFlags & WindowInCachedLayer)) return false;
    mFlags |= WindowInCachedLayer;
  } else if (mode == DrawUncached && (mFlags & WindowInCachedLayer)) {
    return false;
  }
  TRenderer* renderer = TRenderer::GetInstance();
  TRect screenRect, clip;
  GetScreenRect(screenRect);
  renderer->GetClipRect(clip);
  TRect visible = clip.Intersect(screenRect);
  if (visible.IsEmpty()) return true;
  renderer->PushViewport(screenRect);
  renderer->PushClipRect(visible);
  Draw();
  // Back to front: the list's front is drawn last, on top. Modal children are the window
  // manager's layers.
  // A draw that takes children out only queues them, so the snapshot stays valid.
  std::vector<TWindow*> children;
  children.reserve(mChildren.size());
  for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it) children.push_back(it->get());
  for (TWindow* child : children) {
    if (!(child->mFlags & WindowModal)) child->DrawTree(mode);
  }
  PostDraw();
  renderer->PopClipRect();
  renderer->PopViewport();
  return true;
}
