#include "windows/layered_window.h"

#include <algorithm>

#include "platform/log.h"
#include "windows/window_manager.h"
#include "windows/window_spider.h"

TLayeredWindow::TLayeredWindow(uint32_t layerCount) : mLayers(layerCount) {}

bool TLayeredWindow::AddChild(std::unique_ptr<TWindow>& child, bool activate) {
  TWindow* raw = child.get();
  if (!TWindow::AddChild(child, activate)) return false;
  if (mLayer == NoLayer) {
    for (auto& list : mLayers) list.push_back(raw);
  } else if (mLayer < mLayers.size()) {
    mLayers[mLayer].push_back(raw);
  }
  return true;
}

std::unique_ptr<TWindow> TLayeredWindow::RemoveChild(TWindow* child) {
  std::unique_ptr<TWindow> removed = TWindow::RemoveChild(child);
  for (auto& list : mLayers) {
    auto it = std::find(list.begin(), list.end(), child);
    if (it != list.end()) list.erase(it);
  }
  return removed;
}

void TLayeredWindow::SetLayer(uint32_t layer) {
  if (layer == mLayer) return;
  if (layer != NoLayer && layer >= mLayers.size()) {
    LogPrintf("Layer %u refused: window '%s' has %u layers", layer, GetName().c_str(), GetLayerCount());
    return;
  }
  mLayer = layer;
  TWindowClearFlags hide(~uint32_t(WindowVisible), false);
  VisitChildren(hide);
  uint32_t shown = layer == NoLayer ? 0 : layer;
  if (shown < mLayers.size()) {
    for (TWindow* child : mLayers[shown]) child->SetFlags(child->GetFlags() | WindowVisible);
  }
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
}

void TLayeredWindow::AddToLayer(TWindow* child, uint32_t layer) {
  if (!child || layer >= mLayers.size() || child->GetParent() != this || IsInLayer(child, layer)) return;
  mLayers[layer].push_back(child);
  if (layer == (mLayer == NoLayer ? 0 : mLayer)) child->SetFlags(child->GetFlags() | WindowVisible);
}

bool TLayeredWindow::IsInLayer(const TWindow* child, uint32_t layer) const {
  if (layer >= mLayers.size()) return false;
  const auto& list = mLayers[layer];
  return std::find(list.begin(), list.end(), child) != list.end();
}
