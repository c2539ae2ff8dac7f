// TPlatformData: the cursor and presentation operations the platform, its cursor thread
// and the window procedure use; each forwards to the device context.

#include "graphics/display/platform_data.h"

TPoint TPlatformData::UpdateCursor(int32_t x, int32_t y) { return mContext->UpdateCursor(x, y, false); }

void TPlatformData::RefreshCursor() { mContext->RefreshCursor(); }

void TPlatformData::ShowCursorMoves() { mContext->ShowCursorMoves(); }

TPoint TPlatformData::GetCursorPosition() { return mContext->GetCursorPosition(); }

bool TPlatformData::SetCursorImage(const std::shared_ptr<TTextureBase>& texture, int32_t hotX, int32_t hotY,
                                   bool hardware) {
  return mContext->SetCursorImage(texture, hotX, hotY, hardware);
}

void TPlatformData::SetHardwareCursor(bool on) { mContext->SetHardwareCursor(on); }

// The window asks for its cursor (the pointer came in): the drawn cursor is put on screen
// and the system cursor applied.
bool TPlatformData::SetWindowsCursor() {
  mContext->RefreshCursor();
  return mContext->SetWindowsCursor();
}

void TPlatformData::OnWindowMoved() { mContext->OnWindowMoved(); }

void TPlatformData::ResetCursorState() { mContext->ResetCursor(); }

void TPlatformData::GetWindowOrigin(int32_t& x, int32_t& y) {
  if (mFullScreen) {
    x = y = 0;
    return;
  }
  mContext->GetWindowOrigin(x, y);
}

void TPlatformData::SetVSync(bool on) { mContext->SetVSync(on); }

void TPlatformData::FlipToGDISurface() {
  if (mDirectDraw) mDirectDraw->FlipToGDISurface();
}
