#include "menus/rollover_window.h"

#include "scenes/game_flow.h"
#include "scenes/scene_internal.h"
#include "windows/modal_window.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

TRolloverWindow::~TRolloverWindow() {
  if (mHovering) StopHovering();
}

void TRolloverWindow::PostCreate(TWindowStyle& style) {
  TWindow::PostCreate(style);
  mTarget = style.GetString("activate", TString());
  mText = style.GetString("text", TString());
}

void TRolloverWindow::ShowTarget(bool show) {
  TModalWindow* modal = GetModal();
  TWindow* target = modal && !mTarget.IsEmpty() ? modal->FindChild(mTarget) : nullptr;
  if (target) {
    target->SetFlags(show ? target->GetFlags() | WindowVisible : target->GetFlags() & ~uint32_t(WindowVisible));
    if (show && !mText.IsEmpty())
      if (TText* text = WindowCast<TText>(target)) text->SetText(mText);
  }
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
}

void TRolloverWindow::StopHovering() {
  if (TWindowManager* manager = GetWindowManager()) manager->RemoveFromHoverList(this);
  mHovering = false;
  ShowTarget(false);
}

bool TRolloverWindow::OnMouseMove(TPoint point) {
  if (IGameFlow* flow = GetGameFlow()) flow->SetMousePosition(point.x, point.y);
  if (scene::GlobalBool("showBriefingWindow")) return true;
  TRect client;
  GetClientRect(client);
  bool inside = RectContains(client, point);
  // Leaving and entering exclude each other: a move that ends the hover must not start it
  // again at once, or the target would never hide.
  if (mHovering && !inside) {
    StopHovering();
  } else if (!mHovering && inside) {
    mHovering = true;
    if (TWindowManager* manager = GetWindowManager()) manager->AddToHoverList(this);
    ShowTarget(true);
  }
  return false;
}

bool TRolloverWindow::OnMouseLeave() {
  if (!mHovering) return false;
  StopHovering();
  return true;
}
