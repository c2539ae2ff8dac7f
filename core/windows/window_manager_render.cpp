// The window manager's redraw: frame pacing, the frame and modal task lists, the modal
// layers from the first opaque full-screen one up, the overlays and the hit highlight.

#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/task_list.h"
#include "platform/timer.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_spider.h"

namespace {

constexpr uint32_t FramePace = 12;
constexpr uint32_t BackgroundPace = 200;
constexpr int32_t HighlightWidth = 2;

}  // namespace

void TWindowManager::SetCachedLayer(std::shared_ptr<TTexture> texture) { mCachedLayer = std::move(texture); }

void TWindowManager::AddOverlay(std::unique_ptr<TWindow> window) {
  if (window) mOverlays.push_back(std::move(window));
  Invalidate();
}

void TWindowManager::DrawAll(int mode) {
  if (mTreeChanged || mModals.empty() || !mHost->IsDisplayReady()) return;
  TWindow* top = GetTopModal();
  if (mode == DrawUncached || mTopModalOnly) {
    top->DrawTree(mode);
    return;
  }
  // The drawing starts at the highest opaque modal that covers the whole screen.
  auto first = std::prev(mModals.end());
  int32_t width = mScreen ? mScreen->GetWidth() : 0, height = mScreen ? mScreen->GetHeight() : 0;
  for (auto it = mModals.begin(); it != mModals.end(); ++it) {
    TWindow* modal = *it;
    if ((modal->GetFlags() & WindowOpaqueCover) && modal->GetWidth() == width && modal->GetHeight() == height) {
      first = it;
      break;
    }
  }
  // From there up to the top (the list's front).
  std::vector<TWindow*> layers;
  for (auto it = first;; --it) {
    layers.push_back(*it);
    if (it == mModals.begin()) break;
  }
  for (TWindow* layer : layers) {
    if (mode != DrawAllWindows && layer == top) break;
    if (!mHost->IsDisplayReady()) return;
    layer->DrawTree(mode);
    if (mTreeChanged) return;
  }
}

void TWindowManager::ClearCachedFlags() {
  if (mModals.empty()) return;
  TWindow* bottom = mModals.back();
  TWindowClearFlags spider(~uint32_t(WindowInCachedLayer), true);
  spider.Process(bottom);
}

void TWindowManager::Render() {
  mTreeChanged = false;
  if (mDrawSuspended || !mDirty || !mHost->IsFrameDone()) return;
  uint32_t pace = FramePace;
  if (!mHost->HasFocus() && !mHost->KeepsDrawingPace()) pace = BackgroundPace;
  uint32_t now = mHost->GetTimer();
  if (uint32_t(TimeDiff(now, mLastDrawTime)) < pace) return;
  mLastDrawTime = now;

  ClearCachedFlags();
  if (GetTopModal() && mHost->IsFrameDone()) {
    if (TTaskList* tasks = mHost->GetFrameTasks()) tasks->RunTasks(1);
    // The frame tasks (the scripts) may have popped modals: ask again.
    if (TModalWindow* modal = WindowCast<TModalWindow>(GetTopModal())) modal->RunTasks(1);
  }
  TRenderer* renderer = TRenderer::GetInstance();
  if (mCachedLayer) {
    if (renderer->BeginRenderTarget(mCachedLayer, 0)) {
      DrawAll(DrawCachedLayer);
      renderer->EndRenderTarget();
    }
    if (!renderer->BeginDraw(false)) return;
    mDirty = false;
    if (mScreen) mScreen->DrawTree(DrawAllWindows);
    DrawAll(DrawUncached);
  } else {
    if (!renderer->BeginDraw(false)) return;
    mDirty = false;
    DrawAll(DrawAllWindows);
  }
  for (const auto& overlay : mOverlays) overlay->DrawTree(DrawAllWindows);
  DrawHighlight();
  renderer->EndDraw(true);
}

void TWindowManager::DrawHighlight() {
  if (!mHighlightHitWindow || !mLastHitWindow || !mScreen) return;
  TRenderer* renderer = TRenderer::GetInstance();
  TRect screen, hit;
  mScreen->GetScreenRect(screen);
  mLastHitWindow->GetScreenRect(hit);
  renderer->PushViewport(screen);
  renderer->PushClipRect(screen);
  TColor yellow{1, 1, 0, 1};
  renderer->FillRect(TRect(hit.left, hit.top, hit.left + HighlightWidth, hit.bottom), yellow);
  renderer->FillRect(TRect(hit.right - HighlightWidth, hit.top, hit.right, hit.bottom), yellow);
  renderer->FillRect(TRect(hit.left, hit.bottom - HighlightWidth, hit.right, hit.bottom), yellow);
  renderer->FillRect(TRect(hit.left, hit.top, hit.right, hit.top + HighlightWidth), yellow);
  renderer->PopClipRect();
  renderer->PopViewport();
}
