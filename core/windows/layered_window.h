#pragma once
// TLayeredWindow: a window whose children sit in N layers, one layer shown at a time. The
// button builds on it (one layer per visual state). While no layer is current (NoLayer),
// layer 0 is shown and children added go into every layer, so that a label added by a
// script appears whatever the state.

#include <cstdint>
#include <memory>
#include <vector>

#include "windows/window.h"

class TLayeredWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // No current layer: layer 0 shows and new children join every layer.
  static constexpr uint32_t NoLayer = 0xFFFFFFFFu;

  explicit TLayeredWindow(uint32_t layerCount);

  const char* GetClassName() const override { return "TLayeredWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // The child joins the current layer's list (every list when there is no current layer).
  bool AddChild(std::unique_ptr<TWindow>& child, bool activate) override;
  // The child leaves every layer's list.
  std::unique_ptr<TWindow> RemoveChild(TWindow* child) override;

  // Hides every child, then shows the children of that layer (layer 0 for NoLayer). A
  // layer beyond the count comes from a script: it is refused with a log line.
  void SetLayer(uint32_t layer);
  uint32_t GetLayer() const { return mLayer; }
  uint32_t GetLayerCount() const { return uint32_t(mLayers.size()); }
  // Puts a child that is already in the tree into one more layer's list.
  void AddToLayer(TWindow* child, uint32_t layer);
  bool IsInLayer(const TWindow* child, uint32_t layer) const;

 private:
  uint32_t mLayer = 0;
  std::vector<std::vector<TWindow*>> mLayers;  // non-owning: the children are the tree's
};
